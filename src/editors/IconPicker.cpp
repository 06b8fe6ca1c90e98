#include "editors/IconPicker.h"

#include "dialogs/CDialogs.h"

FileIconPicker::FileIconPicker(DialogBackend& dialogs)
    : m_dialogs(dialogs)
{
}

std::optional<IconPicker::Icon> FileIconPicker::pick(QWidget* owner, const QString& file, int index)
{
    CDialogs dlg(m_dialogs, owner);
    dlg.setDialogTitle(QStringLiteral("Select Icon File"));
    dlg.setFlags(4);
    dlg.setFilename(file);
    dlg.setFilter(QStringLiteral("Icon Files and Archives|*.dll;*.exe;*.ico;*.icl;*.png;*.svg;*.xpm"
                                 "|Icon Files (ICO)|*.ico|Pictures (PNG, SVG, XPM)|*.png;*.svg;*.xpm"
                                 "|Program Files (EXE)|*.exe|DLL Files (DLL)|*.dll|All files|*.*"));
    dlg.showOpen();
    if (dlg.apiReturn() == 0 || dlg.filename().isEmpty())
        return std::nullopt;
    return Icon{dlg.filename(), index >= 1 ? index : 1};
}

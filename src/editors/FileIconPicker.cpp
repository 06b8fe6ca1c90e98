#include "editors/FileIconPicker.h"

#include "dialogs/CDialogs.h"

#include <QFileInfo>

std::optional<IconChoice> FileIconPicker::pick(QWidget* parent, const QString& file, int position)
{
    CDialogs dialog(m_dialogs, parent);
    dialog.setDialogTitle(QStringLiteral("Button Icon"));
    dialog.setFlags(4); // no read-only check box
    dialog.setFilename(file);
    dialog.setFilter(QStringLiteral("Icons (ICO, PNG, SVG, XPM)|*.ico;*.png;*.svg;*.xpm|"
                                    "Programs and Application Entries|*.desktop;*.exe;*.dll|All Files|*.*"));
    if (!file.isEmpty())
        dialog.setInitDir(QFileInfo(file).absolutePath());
    dialog.showOpen();
    if (dialog.fileTitle().trimmed().isEmpty())
        return std::nullopt;
    const QString chosen = dialog.filename();
    return IconChoice{chosen, chosen == file ? position : 0};
}

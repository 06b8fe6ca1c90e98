#pragma once

#include "app/ProgramIcon.h"
#include "dialogs/QtDialogBackend.h"
#include "platform/DesktopShell.h"
#include "icons/FileIconSource.h"
#include "icons/IconCache.h"
#include "platform/MessageBoxPrompter.h"
#include "platform/QtPointer.h"
#include "platform/Services.h"

// Message boxes that carry the program's icon even when one comes before the start is
// over: a start that ends with a message, a toolbar file that could not be read.
class IconedPrompter final : public Prompter {
public:
    explicit IconedPrompter(ProgramIcon& icon) : m_icon(icon) {}
    Answer message(const QString& title, const QString& text, Style style, const QString& details) override
    {
        m_icon.set();
        return m_boxes.message(title, text, style, details);
    }

private:
    ProgramIcon& m_icon;
    MessageBoxPrompter m_boxes;
};

// The real services, made once by main() before App.
class RealServices {
public:
    // Pictures decoded by an earlier run come from the user's cache folder. icon: the
    // program's, made when it is set; none: windows keep the window system's.
    explicit RealServices(std::function<QIcon()> icon = {}) : m_programIcon(std::move(icon))
    {
        m_icons.useCache(IconCache::defaultFile());
    }

    Services services() { return Services{m_prompter, m_shell, m_icons, m_pointer, m_dialogs}; }
    // Writes the icons not yet in the cache file; the process ends without destructors.
    void saveCache() { m_icons.saveCache(); }
    ProgramIcon& programIcon() { return m_programIcon; }

private:
    ProgramIcon m_programIcon;
    IconedPrompter m_prompter{m_programIcon};
    DesktopShell m_shell;
    FileIconSource m_icons;
    QtPointer m_pointer;
    QtDialogBackend m_dialogs{m_shell};
};

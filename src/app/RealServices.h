#pragma once

#include "dialogs/QtDialogBackend.h"
#include "platform/DesktopShell.h"
#include "icons/FileIconSource.h"
#include "icons/IconCache.h"
#include "platform/MessageBoxPrompter.h"
#include "platform/QtPointer.h"
#include "platform/Services.h"

// The real services, made once by main() before App.
class RealServices {
public:
    // Pictures decoded by an earlier run come from the user's cache folder.
    RealServices() { m_icons.useCache(IconCache::defaultFile()); }

    Services services() { return Services{m_prompter, m_shell, m_icons, m_pointer, m_dialogs}; }
    // Writes the icons not yet in the cache file; the process ends without destructors.
    void saveCache() { m_icons.saveCache(); }

private:
    MessageBoxPrompter m_prompter;
    DesktopShell m_shell;
    FileIconSource m_icons;
    QtPointer m_pointer;
    QtDialogBackend m_dialogs{m_shell};
};

#pragma once

#include "store/Result.h"

#include <optional>
#include <string>
#include <vector>

// Starting at login by the XDG autostart rules: an entry vyrelight.desktop in
// $XDG_CONFIG_HOME/autostart (~/.config/autostart). Only the user's own entry is
// written or removed; nothing is installed system-wide.

// The autostart folder for these environment values; empty when there is no home.
std::string autostartFolder(const std::string& xdgConfigHome, const std::string& home);

// The entry's text: it starts command (the program and its arguments).
std::string autostartEntry(const std::vector<std::string>& command);

// One argument of a desktop entry's Exec line, quoted when it must be, with the
// escapes the Exec rules and then the string rules ask for.
std::string execArgument(const std::string& arg);

// Why the entry cannot start command, when it cannot: an entry is UTF-8 text, and
// control characters other than line breaks and tabs have no escape in it.
std::optional<std::string> entryCannotHold(const std::vector<std::string>& command);

// The system-wide autostart folders ($XDG_CONFIG_DIRS, default /etc/xdg, each with
// /autostart), for these environment values.
std::vector<std::string> systemAutostartFolders(const std::string& xdgConfigDirs);

// Writes (on) or removes (off) the entry in folder; says what it did, in words for the
// user. When one of systemFolders holds an entry of the same name, off writes one that
// hides it instead, as the autostart rules ask. Fails, changing nothing, when the
// folder is a file or cannot be written.
Result<std::string> setAutostart(const std::string& folder, bool on, const std::vector<std::string>& command,
                                 const std::vector<std::string>& systemFolders = {});

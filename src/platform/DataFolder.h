#pragma once

#include <string>

// Where Toolbars.cfg and Default.vtb live: the program's own folder when it already
// holds Toolbars.cfg or is writable, otherwise ~/.config/vyrelight (created on demand).
// Returns an empty string when neither can be used.
std::string FindDataFolder(const std::string& programFolder);

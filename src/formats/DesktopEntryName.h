#pragma once

#include <string>

// The name an application entry (.desktop file) gives itself in its [Desktop Entry]
// group, as the menus show it; empty when the file is no readable entry or names nothing.
// Only regular files of a sane size are read, so a pipe or a device never blocks.
std::string desktopEntryName(const std::string& path);

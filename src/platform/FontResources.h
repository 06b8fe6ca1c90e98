#pragma once

#include <string>
#include <vector>

// The X resources that tell how text is drawn (antialiasing, hinting, subpixel order,
// resolution: the "Xft." lines of the root window's resources, which the toolkit reads
// as it starts), one per line; empty on any other window system. Asks the X server once
// per call, a single round trip, and loads no font.
std::string fontResources();

// What fontconfig has read in this process: its configuration files and the folders they
// lie in (a file added to one is read at the next start), its font folders and cache
// folders, and the user's places it would read were they there. Asks fontconfig, which
// must have been started (the toolkit does that as it loads its first font).
std::vector<std::string> fontConfigurationPaths();

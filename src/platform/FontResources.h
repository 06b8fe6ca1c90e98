#pragma once

#include <string>

// The X resources that tell how text is drawn (antialiasing, hinting, subpixel order,
// resolution: the "Xft." lines of the root window's resources, which the toolkit reads
// as it starts), one per line; empty on any other window system. Asks the X server once
// per call, a single round trip, and loads no font.
std::string fontResources();

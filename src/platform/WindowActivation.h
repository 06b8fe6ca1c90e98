#pragma once

#include <cstdint>

class QWidget;

// Taking the keyboard focus for the user, and giving it back.
//
// A key bound in the desktop's shortcut settings runs a command in another process, so
// the launcher's window asks for the focus without any input of its own: X11 window
// managers take that for focus stealing and refuse it (openbox only marks the window as
// wanting attention). The request is therefore made the way a pager or task bar makes
// it for the user who clicked there, which window managers grant. Elsewhere than on X11
// only the toolkit's own request is made.

// Raises a shown window of ours and gives it the keyboard focus.
void activateForUser(QWidget& window);

// The desktop's active window as the window manager announces it (an X11 window id);
// 0 when there is none or it cannot be known.
std::uint32_t desktopActiveWindow();

// Gives the focus to a window of another program (an X11 window id), as a pager would;
// false when it could not be asked.
bool activateDesktopWindow(std::uint32_t window);

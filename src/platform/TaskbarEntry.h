#pragma once

class QWidget;

// Keeps a window out of the desktop's task bar and pager, as the toolbars and the small
// editor windows are kept on every desktop. Qt has no flag for it on X11, so the window
// is given the window manager's own state for it (_NET_WM_STATE_SKIP_TASKBAR and
// _NET_WM_STATE_SKIP_PAGER): written on the window while it is hidden, where Qt keeps it
// when it shows the window, or asked of the window manager while the window is on
// screen. A window manager forgets the state whenever the window is hidden, so this is
// called every time the window is about to show (from its showEvent). Elsewhere than on
// X11 it does nothing.
void keepOutOfTaskbar(QWidget& window);

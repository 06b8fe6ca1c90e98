#pragma once

class QWidget;

// Moves a top-level window so that its frame is centred on the available area of the
// screen it is on (not the primary one). Without a window manager to place it, a new
// window would otherwise open in the screen's corner.
void centreOnItsScreen(QWidget& window);

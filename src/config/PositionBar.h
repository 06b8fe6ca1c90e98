#pragma once

#include <QScrollBar>

// The configuration window's tiny scroll bar that moves the selected button: each step
// on it is one move. An arrow held down with the mouse would repeat its step every few
// milliseconds, so the window stops the repeat after each move; stopping it here leaves
// the bar enabled and focused, where disabling it would hand the focus on (and a screen
// reader would announce the detour at every step).
class PositionBar : public QScrollBar {
    Q_OBJECT
public:
    explicit PositionBar(QWidget* parent = nullptr);

    // Ends the repeat of an arrow held down; the press itself stays until let go.
    void stopRepeat();
};

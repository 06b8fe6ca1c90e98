#pragma once

#include <QIcon>
#include <QTimer>

#include <chrono>
#include <functional>

// The program's icon, which task switchers and taskbars show for every window. It is set
// once the start is over: set before the toolbar windows are made, each of them would
// convert it and send it to the X server twice as it is made, on the way to its first
// paint. Set later, it reaches every window there is then and every one made after.
class ProgramIcon {
public:
    explicit ProgramIcon(std::function<QIcon()> make);

    // Sets it after delay, unless it is set before then.
    void setAfter(std::chrono::milliseconds delay);
    // Sets it now, once: before a window that must not wait for it, such as a message box.
    void set();
    bool isSet() const { return m_set; }

private:
    std::function<QIcon()> m_make;
    bool m_set{false};
    QTimer m_timer;
};

#include "app/ProgramIcon.h"

#include "platform/XcbConnection.h"

#include <QApplication>

ProgramIcon::ProgramIcon(std::function<QIcon()> make) : m_make(std::move(make))
{
    m_timer.setSingleShot(true);
    m_timer.callOnTimeout([this] { set(); });
}

void ProgramIcon::setAfter(std::chrono::milliseconds delay)
{
    if (m_set)
        return;
    m_timer.start(delay);
}

void ProgramIcon::set()
{
    if (m_set)
        return;
    m_set = true;
    m_timer.stop();
    if (!m_make)
        return;
    QApplication::setWindowIcon(m_make());
    // Nothing else may reach the X server for a while: the icon goes now.
    flushX11();
}

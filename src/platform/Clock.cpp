#include "platform/Clock.h"

#include <QTimer>

namespace {

class TimerTicker final : public Ticker {
public:
    TimerTicker()
    {
        m_timer.setTimerType(Qt::PreciseTimer);
        connect(&m_timer, &QTimer::timeout, this, &Ticker::timeout);
    }
    void start(std::chrono::milliseconds interval) override { m_timer.start(interval); }
    void stop() override { m_timer.stop(); }
    bool isActive() const override { return m_timer.isActive(); }
    std::chrono::milliseconds interval() const override { return m_timer.intervalAsDuration(); }

private:
    QTimer m_timer;
};

} // namespace

std::unique_ptr<Ticker> QtClock::makeTicker()
{
    return std::make_unique<TimerTicker>();
}

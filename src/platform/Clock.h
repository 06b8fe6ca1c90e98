#pragma once

#include <QObject>

#include <chrono>
#include <memory>

// A repeating timer: timeout() every interval until stopped. Folding and the watch on an
// unfolded toolbar run on these, so a test can drive them with a clock of its own instead
// of waiting.
class Ticker : public QObject {
    Q_OBJECT
public:
    virtual void start(std::chrono::milliseconds interval) = 0;
    virtual void stop() = 0;
    virtual bool isActive() const = 0;
    virtual std::chrono::milliseconds interval() const = 0;

signals:
    void timeout();
};

// Makes tickers.
class Clock {
public:
    virtual ~Clock() = default;
    virtual std::unique_ptr<Ticker> makeTicker() = 0;
};

// The real one: precise Qt timers.
class QtClock final : public Clock {
public:
    std::unique_ptr<Ticker> makeTicker() override;
};

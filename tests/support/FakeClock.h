#pragma once

#include "platform/Clock.h"

#include <algorithm>
#include <chrono>
#include <vector>

// Time that moves only when the test says so: advance() fires every tick that falls due
// meanwhile, in the order they fall due.
class FakeClock final : public Clock {
public:
    using ms = std::chrono::milliseconds;

    std::unique_ptr<Ticker> makeTicker() override { return std::make_unique<FakeTicker>(*this); }

    void advance(ms span)
    {
        const ms end = m_now + span;
        // Bounded: a zero interval ticks again at the same moment until it is stopped.
        for (int fired = 0; fired < 1'000'000; ++fired) {
            FakeTicker* next = nullptr;
            for (FakeTicker* t : m_tickers)
                if (t->active && t->due <= end && (!next || t->due < next->due))
                    next = t;
            if (!next)
                break;
            m_now = next->due;
            const ms due = next->due;
            emit next->timeout();
            // Still there and not started afresh by its own handler: the next tick is due.
            if (std::find(m_tickers.begin(), m_tickers.end(), next) != m_tickers.end() && next->active
                && next->due == due)
                next->due = m_now + next->period;
        }
        m_now = end;
    }

    // Runs until nothing is due any more within limit.
    void settle(ms limit = ms(10'000)) { advance(limit); }

private:
    struct FakeTicker final : Ticker {
        explicit FakeTicker(FakeClock& c) : clock(c) { clock.m_tickers.push_back(this); }
        ~FakeTicker() override { std::erase(clock.m_tickers, this); }
        void start(ms interval) override
        {
            active = true;
            period = interval;
            due = clock.m_now + interval;
        }
        void stop() override { active = false; }
        bool isActive() const override { return active; }
        ms interval() const override { return period; }

        FakeClock& clock;
        bool active{false};
        ms period{0};
        ms due{0};
    };

    ms m_now{0};
    std::vector<FakeTicker*> m_tickers;
};

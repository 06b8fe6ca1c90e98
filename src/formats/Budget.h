#pragma once

#include <cstddef>

// How much work one outside file may cost: directory entries visited, sections looked up,
// pictures tried. A check on every offset stops reads outside the bytes and a guard
// against revisits stops loops; only a budget stops work that multiplies, such as many
// entries each leading to many more. Once spent, the decoder gives up with what it has.
class Budget {
public:
    explicit Budget(std::size_t steps) : m_limit(steps) {}

    // Takes n steps; false, now and from then on, when the budget cannot pay for them.
    bool spend(std::size_t n = 1)
    {
        if (m_exhausted || n > m_limit - m_spent) {
            m_exhausted = true;
            return false;
        }
        m_spent += n;
        return true;
    }
    bool exhausted() const { return m_exhausted; }
    std::size_t spent() const { return m_spent; }
    std::size_t limit() const { return m_limit; }

private:
    std::size_t m_limit = 0;
    std::size_t m_spent = 0;
    bool m_exhausted = false;
};

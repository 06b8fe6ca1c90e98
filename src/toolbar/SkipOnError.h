#pragma once

#include <utility>

// Window handlers carry on past a failing step: each step runs here, and whatever it
// throws is dropped so that the handler goes on with its next step and nothing ever
// leaves a Qt event handler.
template <class Step>
void skipOnError(Step&& step) noexcept
{
    try {
        std::forward<Step>(step)();
    } catch (...) {
    }
}

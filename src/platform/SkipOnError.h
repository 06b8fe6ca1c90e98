#pragma once

#include "platform/Log.h"

#include <exception>
#include <utility>

// The boundary of an event handler. A handler whose step fails goes on with its next
// step, and nothing ever leaves a Qt event handler; what was skipped is logged, so that
// a fault never vanishes without a trace. what names the step in the log.
template <class Step>
void skipOnError(const char* what, Step&& step) noexcept
{
    try {
        std::forward<Step>(step)();
    } catch (const std::exception& e) {
        qCWarning(lcVyre, "%s: skipped after a failure: %s", what, e.what());
    } catch (...) {
        qCWarning(lcVyre, "%s: skipped after an unknown failure", what);
    }
}

// src/utils/TimeChecker.cpp
#include "utils/TimeChecker.h"

#include "utils/TickCount.h"

namespace keywhirl {

TimeChecker::TimeChecker(const std::atomic<unsigned>* interval) : lastTime(0), interval(interval) {
    reset();
}

void TimeChecker::reset() {
    lastTime.store(utils::tickCount(), std::memory_order_relaxed);
}

DWORD TimeChecker::currentInterval() const {
    return interval->load(std::memory_order_relaxed);
}

DWORD TimeChecker::millisecondsLeft() const {
    DWORD elapsed = utils::tickCount() - lastTime.load(std::memory_order_relaxed);
    DWORD limit = currentInterval();
    // check() acts once strictly more than the interval has passed.
    return elapsed > limit ? 0 : limit - elapsed + 1;
}

void TimeChecker::check() {
    // Unsigned 32-bit subtraction stays right across the counter's wrap.
    DWORD elapsed = utils::tickCount() - lastTime.load(std::memory_order_relaxed);
    if (elapsed > currentInterval()) {
        // Time spent in the action counts towards the next interval.
        reset();
        onTimeElapsed();
    }
}

} // namespace keywhirl

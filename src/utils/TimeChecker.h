// src/utils/TimeChecker.h - fires an action once a given interval has passed.
#pragma once

#include <windows.h>

#include <atomic>

namespace keywhirl {

class TimeChecker {
public:
    // The interval is owned elsewhere and read anew at every check, so a
    // changed setting applies from the next check on.
    explicit TimeChecker(const std::atomic<unsigned>* interval);
    virtual ~TimeChecker() = default;

    // Calls onTimeElapsed() when strictly more than the interval has passed
    // since the last reset; the tick counter's wrap does not disturb it.
    virtual void check();
    virtual void onTimeElapsed() = 0;

    void reset();
    // How long until check() would act: 0 once it is due. A thread that has
    // nothing else to do sleeps this long instead of checking by the clock.
    virtual DWORD millisecondsLeft() const;

protected:
    // The interval in force now; a checker with rules of its own for the
    // setting (a floor, a default for 0) replaces it.
    virtual DWORD currentInterval() const;

private:
    std::atomic<DWORD> lastTime;
    const std::atomic<unsigned>* interval;
};

} // namespace keywhirl

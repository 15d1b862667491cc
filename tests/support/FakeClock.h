// tests/support/FakeClock.h - sets the program's tick count for one test.
#pragma once

#include "utils/TickCount.h"

#include <atomic>

namespace keywhirl::testing {

// While it lives, utils::tickCount() returns the value it holds.
class FakeClock {
public:
    explicit FakeClock(DWORD start = 1000) {
        now().store(start);
        utils::setTickSource(&FakeClock::read);
    }
    ~FakeClock() { utils::setTickSource(nullptr); }
    FakeClock(const FakeClock&) = delete;
    FakeClock& operator=(const FakeClock&) = delete;

    void set(DWORD ticks) { now().store(ticks); }
    void advance(DWORD milliseconds) { now().fetch_add(milliseconds); }

private:
    static std::atomic<DWORD>& now() {
        static std::atomic<DWORD> ticks{0};
        return ticks;
    }
    static DWORD read() { return now().load(); }
};

} // namespace keywhirl::testing

// tests/support/FakeLocalTime.h - sets the program's local date and time for one test.
#pragma once

#include "utils/LocalTime.h"

#include <atomic>
#include <cstdint>

namespace keywhirl::testing {

// While it lives, utils::localTime() returns the time it holds, kept as
// milliseconds since 1970-01-01 00:00 local time.
class FakeLocalTime {
public:
    FakeLocalTime() { utils::setLocalTimeSource(&FakeLocalTime::read); }
    ~FakeLocalTime() { utils::setLocalTimeSource(nullptr); }
    FakeLocalTime(const FakeLocalTime&) = delete;
    FakeLocalTime& operator=(const FakeLocalTime&) = delete;

    // dayNumber counts days from 1970-01-01.
    void set(int dayNumber, int hour, int minute, int second = 0, int millisecond = 0) {
        now().store(std::int64_t(dayNumber) * 86400000 + hour * 3600000LL + minute * 60000LL +
                    second * 1000LL + millisecond);
    }
    void advance(std::int64_t milliseconds) { now().fetch_add(milliseconds); }

private:
    static std::atomic<std::int64_t>& now() {
        static std::atomic<std::int64_t> milliseconds{0};
        return milliseconds;
    }
    static SYSTEMTIME read() {
        const std::int64_t total = now().load();
        std::int64_t days = total / 86400000;
        std::int64_t rest = total % 86400000;
        if (rest < 0) {
            rest += 86400000;
            --days;
        }
        // Days to a civil date, counting the year from March.
        const std::int64_t z = days + 719468;
        const std::int64_t era = (z >= 0 ? z : z - 146096) / 146097;
        const std::int64_t doe = z - era * 146097;
        const std::int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
        const std::int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
        const std::int64_t mp = (5 * doy + 2) / 153;
        SYSTEMTIME time = {};
        time.wDay = static_cast<WORD>(doy - (153 * mp + 2) / 5 + 1);
        time.wMonth = static_cast<WORD>(mp < 10 ? mp + 3 : mp - 9);
        time.wYear = static_cast<WORD>(yoe + era * 400 + (time.wMonth <= 2 ? 1 : 0));
        time.wHour = static_cast<WORD>(rest / 3600000);
        time.wMinute = static_cast<WORD>(rest / 60000 % 60);
        time.wSecond = static_cast<WORD>(rest / 1000 % 60);
        time.wMilliseconds = static_cast<WORD>(rest % 1000);
        return time;
    }
};

} // namespace keywhirl::testing

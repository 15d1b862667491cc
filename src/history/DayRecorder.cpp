// src/history/DayRecorder.cpp
#include "history/DayRecorder.h"

#include "utils/LocalTime.h"
#include "utils/TickCount.h"

#include <algorithm>

namespace keywhirl {

DayRecorder::DayRecorder(const std::atomic<unsigned>& hesitationMilliseconds)
    : hesitationMilliseconds(hesitationMilliseconds) {}

void DayRecorder::continueAfter(CalendarDate latest) {
    utils::Lock guard(lock);
    if (!hasDay || latest > currentDay) {
        currentDay = latest;
        hasDay = true;
    }
}

CalendarDate DayRecorder::dayFor(CalendarDate clockDate) const {
    if (!hasDay || clockDate > currentDay || currentDay - clockDate > 1)
        return clockDate;
    return currentDay;
}

void DayRecorder::handleKey(const KeyInfoWrapper& event) {
    if (event.isKeyUp())
        return;
    const bool symbol = event.isSymbolKey();
    if (!symbol && !event.isBackspace() && !event.isDelete())
        return;
    // Both clocks are read once per press: the tick count measures the gaps
    // (it never jumps when the user sets the clock), the local date names the day.
    const DWORD now = utils::tickCount();
    const CalendarDate clockDate = CalendarDate::fromSystemTime(utils::localTime());

    utils::Lock guard(lock);
    currentDay = dayFor(clockDate);
    hasDay = true;
    DayRecord& record = recorded[currentDay.dayNumber()];
    record.date = currentDay;
    if (symbol) {
        onSymbol(record, now);
    } else if (record.keptSymbols > 0) {
        --record.keptSymbols;
    }
    ++changeCount;
}

void DayRecorder::onSymbol(DayRecord& record, DWORD now) {
    ++record.symbols;
    ++record.keptSymbols;
    if (hasLastSymbol) {
        // Unsigned differences survive the tick counter's wrap.
        const std::uint64_t gap = DWORD(now - lastSymbol);
        if (gap <= kBreakMilliseconds) {
            ++record.intervals;
            record.activeMilliseconds += gap;
            record.intervalSquares += gap * gap;
            if (gap > hesitationMilliseconds.load(std::memory_order_relaxed))
                ++record.hesitations;
        }
    }
    hasLastSymbol = true;
    lastSymbol = now;

    lastMinute.push_back(now);
    while (DWORD(now - lastMinute.front()) > kBestSpeedMilliseconds)
        lastMinute.pop_front();
    const auto speed = static_cast<std::uint32_t>(lastMinute.size() - 1);
    record.bestSpeed = std::max(record.bestSpeed, speed);
}

std::vector<DayRecord> DayRecorder::days() const {
    utils::Lock guard(lock);
    std::vector<DayRecord> result;
    result.reserve(recorded.size());
    for (const auto& entry : recorded)
        result.push_back(entry.second);
    return result;
}

CalendarDate DayRecorder::today() const {
    const CalendarDate clockDate = CalendarDate::fromSystemTime(utils::localTime());
    utils::Lock guard(lock);
    return dayFor(clockDate);
}

unsigned long DayRecorder::changes() const {
    utils::Lock guard(lock);
    return changeCount;
}

} // namespace keywhirl

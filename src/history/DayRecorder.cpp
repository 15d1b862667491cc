// src/history/DayRecorder.cpp
#include "history/DayRecorder.h"

#include "utils/LocalTime.h"

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
    if (!TypingPause::isTypingKey(event))
        return;
    // The key's own time measures the gaps (the tick count never jumps when
    // the user sets the clock); the local date now names the day.
    const DWORD time = event.time();
    const CalendarDate clockDate = CalendarDate::fromSystemTime(utils::localTime());
    const DWORD wait = hesitationMilliseconds.load(std::memory_order_relaxed);

    utils::Lock guard(lock);
    currentDay = dayFor(clockDate);
    hasDay = true;
    DayRecord& record = recorded[currentDay.dayNumber()];
    record.date = currentDay;
    const TypingPause::Step step = pauses.next(event, time, wait);
    if (step.timed && TypingPause::isTyping(step.pause)) {
        const std::uint64_t gap = step.pause;
        ++record.intervals;
        record.activeMilliseconds += gap;
        record.intervalSquares += gap * gap;
        typingClock += gap;
    }
    if (step.hesitation)
        ++record.hesitations;
    if (event.isSymbolKey())
        onSymbol(record);
    else if ((event.isBackspace() || event.isDelete()) && record.keptSymbols > 0)
        --record.keptSymbols;
    ++changeCount;
}

void DayRecorder::onSymbol(DayRecord& record) {
    ++record.symbols;
    ++record.keptSymbols;
    // A minute of typing time never reaches into another day.
    if (lastMinuteDay != record.date) {
        lastMinute.clear();
        lastMinuteDay = record.date;
    }
    // The symbols of the minute of typing time that ends with this one.
    lastMinute.push_back(typingClock);
    while (typingClock - lastMinute.front() >= kBestSpeedMilliseconds)
        lastMinute.pop_front();
    const auto inMinute = static_cast<std::uint32_t>(lastMinute.size());
    record.bestSpeed = std::max(record.bestSpeed, inMinute);
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

// src/history/DayRecord.cpp
#include "history/DayRecord.h"

#include "statistics/LastRhythmMonitor.h"

#include <algorithm>

namespace keywhirl {

namespace {
// A sum stops at its largest value, as a hostile file's may already be,
// instead of starting again from 0.
void addUpTo(std::uint64_t& sum, std::uint64_t more) {
    sum = more > UINT64_MAX - sum ? UINT64_MAX : sum + more;
}
} // namespace

void DayRecord::add(const DayRecord& other) {
    addUpTo(symbols, other.symbols);
    addUpTo(keptSymbols, other.keptSymbols);
    addUpTo(intervals, other.intervals);
    addUpTo(activeMilliseconds, other.activeMilliseconds);
    addUpTo(intervalSquares, other.intervalSquares);
    bestSpeed = std::max(bestSpeed, other.bestSpeed);
    addUpTo(hesitations, other.hesitations);
}

void DayRecord::addDay(const DayRecord& day) {
    add(day);
    bestSpeed = std::max(bestSpeed, std::uint32_t(day.bestMinuteSpeed()));
}

unsigned DayRecord::averageSpeed() const {
    if (activeMilliseconds == 0)
        return 0;
    return static_cast<unsigned>(symbols * 60000 / activeMilliseconds);
}

unsigned DayRecord::bestMinuteSpeed() const {
    const unsigned average = averageSpeed();
    if (activeMilliseconds < kMinuteMilliseconds)
        return average;
    return std::max<unsigned>(bestSpeed, average);
}

std::uint64_t DayRecord::averageSpeedTenths() const {
    if (activeMilliseconds == 0)
        return 0;
    return (symbols * 600000 + activeMilliseconds / 2) / activeMilliseconds;
}

unsigned DayRecord::effectiveness() const {
    if (symbols == 0)
        return 0;
    return static_cast<unsigned>(std::min(keptSymbols, symbols) * 100 / symbols);
}

unsigned DayRecord::evenness() const {
    return LastRhythmMonitor::rhythmOf(intervals, activeMilliseconds, intervalSquares);
}

} // namespace keywhirl

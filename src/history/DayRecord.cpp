// src/history/DayRecord.cpp
#include "history/DayRecord.h"

#include "statistics/LastRhythmMonitor.h"

#include <algorithm>

namespace keywhirl {

void DayRecord::add(const DayRecord& other) {
    symbols += other.symbols;
    keptSymbols += other.keptSymbols;
    intervals += other.intervals;
    activeMilliseconds += other.activeMilliseconds;
    intervalSquares += other.intervalSquares;
    bestSpeed = std::max(bestSpeed, other.bestSpeed);
    hesitations += other.hesitations;
}

unsigned DayRecord::averageSpeed() const {
    if (activeMilliseconds == 0)
        return 0;
    return static_cast<unsigned>(intervals * 60000 / activeMilliseconds);
}

std::uint64_t DayRecord::averageSpeedTenths() const {
    if (activeMilliseconds == 0)
        return 0;
    return (intervals * 600000 + activeMilliseconds / 2) / activeMilliseconds;
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

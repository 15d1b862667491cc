// src/statistics/LastRhythmMonitor.h - evenness of the intervals between recent key presses.
#pragma once

#include "statistics/Monitor.h"
#include "statistics/TimeStampList.h"

#include <cstdint>
#include <optional>

namespace keywhirl {

// 100 for perfectly even typing, falling towards 0 as the intervals scatter:
// 100 * 4^(-sigma/mean), so a coefficient of variation of 0.5 gives 50 and
// of 1 gives 25.
class LastRhythmMonitor : public Monitor {
public:
    explicit LastRhythmMonitor(unsigned periodMinutes);

    void handleKey(const KeyInfoWrapper& event) override;
    std::wstring getTitle() override;
    std::wstring getValue() override;

    // Drops the presses that have left the window, then measures; 0 when
    // the window holds no interval.
    unsigned measureRhythm();
    // As measureRhythm, but empty while the window holds fewer than two
    // presses, which give no interval to judge.
    std::optional<unsigned> measuredRhythm();
    unsigned getPeriodMinutes() const { return periodMinutes; }
    std::size_t storedTimeStamps() const { return keyTimes.size(); }

    // The rhythm of n intervals with the given sum and sum of squares.
    static unsigned rhythmOf(std::uint64_t n, std::uint64_t sum, std::uint64_t sumOfSquares);

private:
    const unsigned periodMinutes;
    TimeStampList keyTimes;
};

} // namespace keywhirl

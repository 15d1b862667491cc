// src/statistics/LastSpeedMonitor.h - typing speed over the last few minutes.
#pragma once

#include "statistics/Monitor.h"
#include "statistics/TimeStampList.h"

namespace keywhirl {

// Symbols per minute: the gaps between the key presses kept in the window,
// divided by the time from the oldest of them to now. So the speed sinks
// while the user pauses and is 0 once fewer than two presses remain.
class LastSpeedMonitor : public Monitor {
public:
    explicit LastSpeedMonitor(unsigned periodMinutes);

    void handleKey(const KeyInfoWrapper& event) override;
    std::wstring getTitle() override;
    std::wstring getValue() override;

    // Drops the presses that have left the window, then measures.
    unsigned measureSpeed();
    unsigned getPeriodMinutes() const { return periodMinutes; }
    // Presses kept at the moment, old ones included until the next append or measure.
    std::size_t storedTimeStamps() const { return keyTimes.size(); }

private:
    const unsigned periodMinutes;
    TimeStampList keyTimes;
};

} // namespace keywhirl

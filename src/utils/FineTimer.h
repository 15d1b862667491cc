// src/utils/FineTimer.h - asks the system for 1 ms timer ticks while it lives.
#pragma once

namespace keywhirl::utils {

// The system's timer ticks every 15.6 ms unless asked for finer ones; a
// thread that must wake on time (a fade's steps, a metronome's beats) holds
// one of these for as long as it runs.
class FineTimer {
public:
    FineTimer();
    ~FineTimer();
    FineTimer(const FineTimer&) = delete;
    FineTimer& operator=(const FineTimer&) = delete;

private:
    bool granted;
};

} // namespace keywhirl::utils

// src/sound/Metronome.h - beats at the configured interval on a thread of its own.
#pragma once

#include "utils/Thread.h"
#include "utils/TimeChecker.h"

namespace keywhirl {

// Polls about once a millisecond; the beat plays synchronously, so the time
// the sound takes counts towards the next interval.
class Metronome : public TimeChecker, public utils::Thread {
public:
    Metronome();
    ~Metronome() override;

    void onTimeElapsed() override;
    void process() override;
};

} // namespace keywhirl

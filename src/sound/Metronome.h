// src/sound/Metronome.h - beats at the configured interval on a thread of its own.
#pragma once

#include "utils/Thread.h"
#include "utils/TimeChecker.h"

#include <vector>

namespace keywhirl {

// Polls about once a millisecond; the beat plays synchronously, so the time
// the sound takes counts towards the next interval. The interval and the
// on/off setting (metronomeRunning) are read anew at every poll and beat,
// so a change applies from the next beat on. The clock runs also while the
// metronome is off. The owner starts the thread (at time-critical
// priority); the destructor stops it and waits for the current poll.
class Metronome : public TimeChecker, public utils::Thread {
public:
    Metronome();
    ~Metronome() override;

    // The beat: plays the metronome sound when the metronome is on and the
    // sound is there.
    void onTimeElapsed() override;
    // One poll: check(), then a millisecond's sleep while the metronome is
    // on and kIdlePollMilliseconds while it is off.
    void process() override;

    static constexpr unsigned kIdlePollMilliseconds = 20;

protected:
    // Plays a whole in-memory WAV file and returns when it has ended. A
    // test that counts beats replaces it.
    virtual void playSound(const std::vector<char>& wav);
};

} // namespace keywhirl

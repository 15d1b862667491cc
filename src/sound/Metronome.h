// src/sound/Metronome.h - beats at the configured interval on a thread of its own.
#pragma once

#include "utils/CriticalSection.h"
#include "utils/Thread.h"
#include "utils/TimeChecker.h"

#include <vector>

namespace keywhirl {

// The shortest time between two beats: faster than twenty beats a second a
// metronome is only noise, and each beat costs a PlaySound.
constexpr DWORD kShortestBeatInterval = 50;
// A metronomeInterval of 0 in the file stands for the default.
constexpr DWORD kDefaultBeatInterval = 500;
// After a beat the system could not play (no sound device), the next try
// comes no sooner than this: a silent metronome costs next to nothing.
constexpr DWORD kRetryAfterSilentBeat = 5000;

// The time between beats for a metronomeInterval setting.
DWORD beatIntervalFor(unsigned setting);

// While on, its thread sleeps until the next beat is due; the beat plays
// synchronously, so the time the sound takes counts towards the next
// interval. The interval and the on/off setting (metronomeRunning) are read
// anew at every beat, and wake() cuts the sleep short, so a change applies
// from the next beat on. Switched off, its thread ends, and wake() starts a
// new one (at time-critical priority) when it is switched on again, which
// beats at once when more than an interval has passed since the last beat.
// The owner opens it with start(); the destructor stops
// it and waits for the current beat.
class Metronome : public TimeChecker, public utils::Thread {
public:
    Metronome();
    ~Metronome() override;

    // The beat: plays the metronome sound when the metronome is on and the
    // sound is there.
    void onTimeElapsed() override;
    // Opens the metronome; the thread starts at once if it is on.
    void start() override;
    // Holds the system's timer at 1 ms for as long as the thread beats.
    void run() override;
    // One beat if it is due, then a sleep until the next one while the
    // metronome is on; once it is off, the thread ends.
    void process() override;
    // Called whenever metronomeRunning has been switched.
    void wake();
    // True while its thread runs.
    bool isRunning() const;
    // Ends the thread without waiting for a beat that is playing: the
    // sound is cut off first. The program's shutdown must not wait for a
    // long metronome sound.
    void stopNow();

protected:
    DWORD currentInterval() const override;
    // Plays a whole in-memory WAV file and returns when it has ended; false
    // when the system could not play it. A test that counts beats replaces it.
    virtual bool playSound(const std::vector<char>& wav);
    // Cuts off a sound that playSound() is playing on the thread.
    virtual void stopSound();

private:
    // Starts a thread, once one that ended by itself has gone; the caller
    // holds the lock.
    void launch();

    mutable utils::CriticalSection lock;
    bool open = false;    // guarded by lock: between start() and stopNow()
    bool running = false; // guarded by lock: a thread exists that polls on
    // Written and read by the beating thread only.
    bool lastBeatSilent = false;
};

} // namespace keywhirl

// src/sound/Metronome.cpp
#include "sound/Metronome.h"

#include "input/QuietState.h"
#include "settings/FileResources.h"
#include "settings/Settings.h"
#include "sound/WavParser.h"
#include "utils/FineTimer.h"

#include <mmsystem.h>

namespace keywhirl {

DWORD beatIntervalFor(unsigned setting) {
    if (setting == 0)
        return kDefaultBeatInterval;
    return setting < kShortestBeatInterval ? kShortestBeatInterval : setting;
}

Metronome::Metronome() : TimeChecker(&Settings::instance()->metronomeInterval) {}

DWORD Metronome::currentInterval() const {
    const DWORD interval = beatIntervalFor(TimeChecker::currentInterval());
    return lastBeatSilent && interval < kRetryAfterSilentBeat ? kRetryAfterSilentBeat : interval;
}

Metronome::~Metronome() {
    stopNow();
}

namespace {
bool isOn() {
    return Settings::instance()->metronomeRunning.load(std::memory_order_relaxed);
}
} // namespace

void Metronome::start() {
    utils::Lock guard(lock);
    open = true;
    if (isOn() && !running)
        launch();
}

void Metronome::launch() {
    // A thread that ended by itself marked so under this lock; all it had
    // left to do was to return.
    waitUntilEnded();
    Thread::start();
    setPriority(THREAD_PRIORITY_TIME_CRITICAL);
    running = true;
}

void Metronome::wake() {
    utils::Lock guard(lock);
    if (!open)
        return;
    if (running)
        resume();
    else if (isOn())
        launch();
}

bool Metronome::isRunning() const {
    utils::Lock guard(lock);
    return running;
}

void Metronome::stopNow() {
    {
        utils::Lock guard(lock);
        open = false;
    }
    stop();
    stopSound();
    stopAndWait();
    utils::Lock guard(lock);
    running = false;
}

void Metronome::run() {
    utils::FineTimer fineTimer;
    Thread::run();
}

void Metronome::process() {
    check();
    if (isOn()) {
        // wake() and stops cut the sleep short.
        suspend(millisecondsLeft());
        return;
    }
    // Switched off: the thread ends, unless it was switched on again
    // before wake() could see this thread as gone.
    utils::Lock guard(lock);
    if (isOn())
        return;
    running = false;
    stop();
}

void Metronome::onTimeElapsed() {
    if (!Settings::instance()->metronomeRunning.load(std::memory_order_relaxed) ||
        !QuietState::current().allowsShowing())
        return;
    const std::vector<char>& sound = FileResources::instance()->getMetronomeSound();
    // PlaySoundW gets no size with SND_MEMORY and trusts the file's own
    // lengths; bytes that would lead it past their end (a truncated or
    // damaged file) stay silent, like a missing file.
    if (sound.empty() || !isSelfContainedWav(sound.data(), sound.size()))
        return;
    lastBeatSilent = !playSound(sound);
}

bool Metronome::playSound(const std::vector<char>& wav) {
    // Synchronous: returns when the beat has ended.
    return ::PlaySoundW(reinterpret_cast<LPCWSTR>(wav.data()), nullptr,
                        SND_MEMORY | SND_NODEFAULT) != FALSE;
}

void Metronome::stopSound() {
    // Stops whatever the process plays, on whichever thread it plays.
    ::PlaySoundW(nullptr, nullptr, 0);
}

} // namespace keywhirl

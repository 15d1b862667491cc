// src/sound/Metronome.cpp
#include "sound/Metronome.h"

#include "settings/FileResources.h"
#include "settings/Settings.h"
#include "sound/WavParser.h"

#include <mmsystem.h>

namespace keywhirl {

Metronome::Metronome() : TimeChecker(&Settings::instance()->metronomeInterval) {}

Metronome::~Metronome() {
    stopNow();
}

void Metronome::stopNow() {
    stop();
    stopSound();
    stopAndWait();
}

void Metronome::process() {
    check();
    if (Settings::instance()->metronomeRunning.load(std::memory_order_relaxed))
        sleep(1);
    else
        suspend();
}

void Metronome::onTimeElapsed() {
    if (!Settings::instance()->metronomeRunning.load(std::memory_order_relaxed))
        return;
    const std::vector<char>& sound = FileResources::instance()->getMetronomeSound();
    // PlaySoundW gets no size with SND_MEMORY and trusts the file's own
    // lengths; bytes that would lead it past their end (a truncated or
    // damaged file) stay silent, like a missing file.
    if (sound.empty() || !isSelfContainedWav(sound.data(), sound.size()))
        return;
    playSound(sound);
}

void Metronome::playSound(const std::vector<char>& wav) {
    // Synchronous: returns when the beat has ended. Its result is of no use.
    ::PlaySoundW(reinterpret_cast<LPCWSTR>(wav.data()), nullptr, SND_MEMORY | SND_NODEFAULT);
}

void Metronome::stopSound() {
    // Stops whatever the process plays, on whichever thread it plays.
    ::PlaySoundW(nullptr, nullptr, 0);
}

} // namespace keywhirl

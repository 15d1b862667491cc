// src/sound/Metronome.cpp
#include "sound/Metronome.h"

#include "settings/FileResources.h"
#include "settings/Settings.h"

#include <mmsystem.h>

namespace keywhirl {

Metronome::Metronome() : TimeChecker(&Settings::instance()->metronomeInterval) {}

Metronome::~Metronome() {
    stopAndWait();
}

void Metronome::process() {
    check();
    sleep(1);
}

void Metronome::onTimeElapsed() {
    if (!Settings::instance()->metronomeRunning.load(std::memory_order_relaxed))
        return;
    const std::vector<char>& sound = FileResources::instance()->getMetronomeSound();
    if (sound.empty())
        return;
    ::PlaySoundW(reinterpret_cast<LPCWSTR>(sound.data()), nullptr, SND_MEMORY | SND_NODEFAULT);
}

} // namespace keywhirl

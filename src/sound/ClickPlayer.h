// src/sound/ClickPlayer.h - a click on every key press, through a ring of ten voices.
#pragma once

#include "input/KeyHandler.h"
#include "settings/Paths.h"
#include "settings/Settings.h"
#include "sound/TWAVDirectSound.h"
#include "utils/CyclicList.h"

#include <atomic>
#include <exception>
#include <memory>
#include <string>

namespace keywhirl {

// Each key press plays the current voice and steps on, so fast typing gives
// overlapping clicks; the eleventh click within the length of one restarts
// the oldest voice. The ring holds ten voices of "/Sounds/Click.wav" beside
// the program, or none: without DirectSound or without a usable file the
// click stays silent for the whole run.
//
// Voice is TWAVDirectSound in the program (see ClickPlayer below): made
// from a window handle, throwing a std::exception when there is no sound
// device, with bool loadFile(const wchar_t*) and bool play().
//
// init() and stop() run on the main window's thread, handleKey() on the
// dispatcher thread; the player is added to the dispatcher only after
// init() and stop() runs only after the dispatcher has stopped, so the
// ring needs no lock.
template <typename Voice> class BasicClickPlayer : public KeyHandler {
public:
    static constexpr int kVoiceCount = 10;

    BasicClickPlayer() = default;
    ~BasicClickPlayer() override { stop(); }
    BasicClickPlayer(const BasicClickPlayer&) = delete;
    BasicClickPlayer& operator=(const BasicClickPlayer&) = delete;

    // Builds the ring of voices for the window; true when all of them
    // loaded the click. There is no retry after a failure.
    bool init(HWND window);
    // Silences the player and destroys its voices.
    void stop();
    // Clicks on the first key-down of a key while enableKeyPressSound is on.
    void handleKey(const KeyInfoWrapper& event) override;

    bool isReady() const { return ready.load(std::memory_order_acquire); }

private:
    std::atomic<bool> ready{false};
    utils::CyclicList<Voice> voices;
};

template <typename Voice> bool BasicClickPlayer<Voice>::init(HWND window) {
    ready.store(false, std::memory_order_release);
    const std::wstring path = getClickSoundFile();
    voices.clear();
    try {
        bool loaded = true;
        for (int i = 0; i < kVoiceCount && loaded; ++i) {
            auto voice = std::make_unique<Voice>(window);
            voices.add(voice.get());
            voice.release();
            loaded = voices.current().loadFile(path.c_str());
        }
        if (!loaded)
            voices.clear();
        ready.store(loaded, std::memory_order_release);
        return loaded;
    } catch (const std::exception&) {
        // No sound device: the click stays silent, and nobody is told.
        stop();
        return false;
    }
}

template <typename Voice> void BasicClickPlayer<Voice>::stop() {
    ready.store(false, std::memory_order_release);
    voices.clear();
}

template <typename Voice> void BasicClickPlayer<Voice>::handleKey(const KeyInfoWrapper& event) {
    // Holding a key down clicks once, not at every automatic repeat.
    if (event.isKeyUp() || event.wasDown())
        return;
    if (!Settings::instance()->enableKeyPressSound.load(std::memory_order_relaxed))
        return;
    if (!ready.load(std::memory_order_acquire))
        return;
    // A voice that fails to play is skipped like one that played.
    voices.current().play();
    voices.next();
}

using ClickPlayer = BasicClickPlayer<TWAVDirectSound>;
extern template class BasicClickPlayer<TWAVDirectSound>;

// The program's one click player, a static object that lives until the
// program exits. The main window calls clickPlayer().init(itself) during
// its initialisation, then adds &clickPlayer() to the dispatcher as the
// first key handler, and calls clickPlayer().stop() at shutdown after the
// dispatcher has stopped.
ClickPlayer& clickPlayer();

} // namespace keywhirl

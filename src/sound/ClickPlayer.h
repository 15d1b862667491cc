// src/sound/ClickPlayer.h - a click on every key press, through a ring of ten voices.
#pragma once

#include "input/KeyHandler.h"
#include "input/QuietState.h"
#include "settings/Paths.h"
#include "settings/Settings.h"
#include "sound/TWAVDirectSound.h"
#include "utils/CriticalSection.h"
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
// dispatcher thread, at any time: the main window opens the voices when
// the click is switched on and closes them (and with the last of them the
// sound device) when it is switched off. A new ring is built outside the
// lock and swapped in under it, so a key press never waits for files.
template <typename Voice> class BasicClickPlayer : public KeyHandler {
public:
    static constexpr int kVoiceCount = 10;

    BasicClickPlayer() = default;
    ~BasicClickPlayer() override { stop(); }
    BasicClickPlayer(const BasicClickPlayer&) = delete;
    BasicClickPlayer& operator=(const BasicClickPlayer&) = delete;

    // Builds the ring of voices for the window, replacing any earlier one;
    // true when all of them loaded the click.
    bool init(HWND window);
    // Silences the player and destroys its voices.
    void stop();
    // init() when on, stop() when off.
    void switchTo(bool on, HWND window);
    // Clicks on the first key-down of a key while enableKeyPressSound is on.
    void handleKey(const KeyInfoWrapper& event) override;

    bool isReady() const { return ready.load(std::memory_order_acquire); }

private:
    std::atomic<bool> ready{false};
    utils::CriticalSection lock;
    utils::CyclicList<Voice> voices; // guarded by lock
};

template <typename Voice> bool BasicClickPlayer<Voice>::init(HWND window) {
    stop();
    const std::wstring path = getClickSoundFile();
    utils::CyclicList<Voice> ring;
    bool loaded = true;
    try {
        for (int i = 0; i < kVoiceCount && loaded; ++i) {
            auto voice = std::make_unique<Voice>(window);
            ring.add(voice.get());
            voice.release();
            loaded = ring.current().loadFile(path.c_str());
        }
    } catch (const std::exception&) {
        // No sound device: the click stays silent, and nobody is told.
        loaded = false;
    }
    if (!loaded)
        return false;
    {
        utils::Lock guard(lock);
        voices.swap(ring);
    }
    ready.store(true, std::memory_order_release);
    return true;
}

template <typename Voice> void BasicClickPlayer<Voice>::stop() {
    ready.store(false, std::memory_order_release);
    utils::CyclicList<Voice> gone;
    {
        utils::Lock guard(lock);
        voices.swap(gone);
    }
    // The voices are destroyed here, outside the lock.
}

template <typename Voice> void BasicClickPlayer<Voice>::switchTo(bool on, HWND window) {
    if (on)
        init(window);
    else
        stop();
}

template <typename Voice> void BasicClickPlayer<Voice>::handleKey(const KeyInfoWrapper& event) {
    // Holding a key down clicks once, not at every automatic repeat.
    if (event.isKeyUp() || event.wasDown())
        return;
    if (!Settings::instance()->enableKeyPressSound.load(std::memory_order_relaxed) ||
        !QuietState::current().allowsShowing())
        return;
    if (!ready.load(std::memory_order_acquire))
        return;
    utils::Lock guard(lock);
    if (voices.empty())
        return;
    // A voice that fails to play is skipped like one that played.
    voices.current().play();
    voices.next();
}

using ClickPlayer = BasicClickPlayer<TWAVDirectSound>;
extern template class BasicClickPlayer<TWAVDirectSound>;

// The program's one click player, a static object that lives until the
// program exits. The main window switches it on during its initialisation
// when the click is on, adds &clickPlayer() to the dispatcher as the first
// key handler, switches it with the tray menu's item, and calls
// clickPlayer().stop() at shutdown after the dispatcher has stopped.
ClickPlayer& clickPlayer();

} // namespace keywhirl

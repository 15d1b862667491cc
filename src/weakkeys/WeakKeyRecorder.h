// src/weakkeys/WeakKeyRecorder.h - counts, per physical key, the presses that end a hesitation.
#pragma once

#include "input/KeyHandler.h"
#include "input/TypingPause.h"

#include <windows.h>

#include <atomic>

namespace keywhirl {

// A key handler on the dispatcher. For every typing key press (TypingPause
// says which keys and pauses count) it counts, for the physical key (scan
// code and extended flag, whatever the layout):
// - presses;
// - hesitations: the pause before the press was one (TypingPause);
// - the lead time: a moving average of the pauses up to the break limit.
// Pauses are measured between the keys' own times (KeyInfoWrapper::time).
// Counters only: no key order, no characters.
//
// handleKey runs on the dispatcher thread and writes a fixed table; it
// neither allocates nor locks. Everybody else reads the table at any time;
// the main thread loads, sets and clears it.
class WeakKeyRecorder : public KeyHandler {
public:
    // One table slot per scan code, and as many again for extended keys.
    static constexpr unsigned kKeyCount = 512;
    // A longer pause is a break, not a hesitation about the next key.
    static constexpr DWORD kBreakLimit = TypingPause::kBreakLimit;
    // Weight of the newest pause in the lead time's average.
    static constexpr float kLeadTimeWeight = 0.1f;

    struct KeyCounts {
        unsigned presses = 0;
        unsigned hesitations = 0;
        // Milliseconds; only meaningful with hasLeadTime.
        float leadTime = 0;
        bool hasLeadTime = false;
    };

    // waitInterval (ms) is read at every press, so a changed setting applies
    // at once; it is owned elsewhere.
    explicit WeakKeyRecorder(const std::atomic<unsigned>* waitInterval);
    WeakKeyRecorder(const WeakKeyRecorder&) = delete;
    WeakKeyRecorder& operator=(const WeakKeyRecorder&) = delete;

    void handleKey(const KeyInfoWrapper& event) override;

    // The table slot of a key: scan code, plus 256 for an extended key.
    static unsigned keyIndex(unsigned scanCode, bool extended) {
        return (scanCode & 0xFF) | (extended ? 0x100u : 0u);
    }
    static unsigned keyIndex(const KeyInfoWrapper& event);

    KeyCounts counts(unsigned index) const;
    void setCounts(unsigned index, const KeyCounts& counts);
    // Forgets every count.
    void clear();

    // True once after each change since the last call: whether there is
    // anything new to save.
    bool takeChanged() { return changed.exchange(false, std::memory_order_relaxed); }
    // Puts back a change that takeChanged() handed out and that could not
    // be saved.
    void markChanged() { changed.store(true, std::memory_order_relaxed); }
    // Grows with every recorded press and every clear; tells a painter
    // whether what it shows is still current.
    unsigned revision() const { return revisionCount.load(std::memory_order_relaxed); }

private:
    struct Slot {
        std::atomic<unsigned> presses{0};
        std::atomic<unsigned> hesitations{0};
        // Negative while no pause has been measured.
        std::atomic<float> leadTime{-1.0f};
    };

    // A change made on the main thread.
    void touched();

    const std::atomic<unsigned>* waitInterval;
    Slot slots[kKeyCount];
    // Dispatcher thread only.
    TypingPause pauses;
    std::atomic<bool> changed{false};
    std::atomic<unsigned> revisionCount{0};
};

} // namespace keywhirl

// src/input/QuietState.h - the quiet level that the threads share.
#pragma once

#include "input/QuietDecision.h"

#include <atomic>

namespace keywhirl {

// The main thread judges the foreground program and the pause when they
// change; the dispatcher judges the focused control when it delivers keys.
// Everybody else only reads: one relaxed load per key, beat or hint.
class QuietState {
public:
    // Main thread.
    void setPaused(bool on) { paused.store(on, std::memory_order_relaxed); }
    void setForegroundLevel(QuietLevel level) {
        foreground.store(level, std::memory_order_relaxed);
    }
    // Dispatcher thread; the main thread clears it when the foreground changes.
    void setFocusLevel(QuietLevel level) { focus.store(level, std::memory_order_relaxed); }

    bool isPaused() const { return paused.load(std::memory_order_relaxed); }
    QuietLevel foregroundLevel() const { return foreground.load(std::memory_order_relaxed); }
    QuietLevel level() const {
        return strictest(foregroundLevel(), focus.load(std::memory_order_relaxed));
    }
    // Hints, clicks and metronome beats.
    bool allowsShowing() const { return level() == QuietLevel::Normal; }

    // The program's one state.
    static QuietState& current();

private:
    std::atomic<bool> paused{false};
    std::atomic<QuietLevel> foreground{QuietLevel::Normal};
    std::atomic<QuietLevel> focus{QuietLevel::Normal};
};

} // namespace keywhirl

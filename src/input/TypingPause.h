// src/input/TypingPause.h - which keys are typing, and which pauses are hesitations or breaks.
#pragma once

#include "input/KeyInfoWrapper.h"

namespace keywhirl {

// The one rule by which every figure times the user's pauses: the weak keys
// and the day-by-day history alike.
//
// A typing key is any key going down except a modifier or lock key alone
// (Shift, Ctrl, Alt, the three locks): letters, Backspace, Delete, the
// arrows and the function keys all are. A typing key press is a typing key
// that is no auto-repeat. The pause before a typing key press is the time
// since the previous typing key, a held key's repeats included: holding a
// key down is no hesitation about the next one.
//
// Feed it every event with its time, in order; it keeps the time of the last
// typing key. One object per consumer thread.
class TypingPause {
public:
    // A longer pause is a break: neither a hesitation nor typing time.
    static constexpr DWORD kBreakLimit = 10000;

    static bool isTypingKey(const KeyInfoWrapper& event) {
        return !event.isKeyUp() && !event.isModifier();
    }
    static bool isTypingPress(const KeyInfoWrapper& event) {
        return isTypingKey(event) && !event.wasDown();
    }
    // Typing time: a measured pause up to the break limit.
    static bool isTyping(DWORD pause) { return pause <= kBreakLimit; }
    // Longer than the keyboard hint's wait, and no break.
    static bool isHesitation(DWORD pause, DWORD wait) { return pause > wait && isTyping(pause); }

    struct Step {
        // False for the first typing key seen, and for any other event.
        bool timed = false;
        // Milliseconds since the previous typing key, when timed.
        DWORD pause = 0;
        // The event is a typing key press (not a repeat) ...
        bool press = false;
        // ... and its pause is a hesitation.
        bool hesitation = false;
    };

    // Takes the next event; time is its tick count. An event that is no
    // typing key gives an empty step and changes nothing.
    Step next(const KeyInfoWrapper& event, DWORD time, DWORD wait);

private:
    DWORD lastTime = 0;
    bool any = false;
};

} // namespace keywhirl

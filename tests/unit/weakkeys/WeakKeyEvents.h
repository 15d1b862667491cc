// tests/unit/weakkeys/WeakKeyEvents.h - made-up key records for the weak key tests.
#pragma once

#include "input/KeyInfoWrapper.h"
#include "utils/TickCount.h"

#include <cstring>

namespace keywhirl::testing {

enum class Stroke { Press, Repeat, Release };

inline KeyInfoWrapper keyAt(UINT virtualKey, unsigned scanCode, bool extended = false,
                            Stroke stroke = Stroke::Press) {
    KeyRecord record;
    std::memset(&record, 0, sizeof record);
    record.virtualKey = virtualKey;
    record.keyData = 1 | (scanCode << 16) | (extended ? 1u << 24 : 0u);
    // Timed as the hook times it, on the program's (here the fake) clock.
    record.time = utils::tickCount();
    if (stroke == Stroke::Repeat)
        record.keyData |= 0x40000000u;
    if (stroke == Stroke::Release)
        record.keyData |= 0xC0000000u;
    return KeyInfoWrapper(record);
}

// The event as if it came now, on the program's (here the fake) clock.
inline KeyInfoWrapper timedNow(KeyInfoWrapper event) {
    event.setTime(utils::tickCount());
    return event;
}

inline KeyInfoWrapper keyA(Stroke stroke = Stroke::Press) {
    return keyAt('A', 0x1E, false, stroke);
}
inline KeyInfoWrapper keyJ(Stroke stroke = Stroke::Press) {
    return keyAt('J', 0x24, false, stroke);
}

} // namespace keywhirl::testing

// tests/unit/statistics/KeyEvents.h - made-up key events as the dispatcher hands them on.
#pragma once

#include "input/KeyInfoWrapper.h"
#include "utils/TickCount.h"
#include "statistics/Monitor.h"

#include <cstring>
#include <initializer_list>

namespace keywhirl::testing {

enum class Stroke { Press, Repeat, Release };

inline KeyInfoWrapper keyEvent(UINT virtualKey, unsigned scanCode, Stroke stroke = Stroke::Press) {
    KeyRecord record;
    std::memset(&record, 0, sizeof record);
    record.virtualKey = virtualKey;
    record.keyData = 1 | (scanCode << 16);
    // Timed as the hook times it, on the program's (here the fake) clock.
    record.time = utils::tickCount();
    if (stroke == Stroke::Repeat)
        record.keyData |= 0x40000000u;
    if (stroke == Stroke::Release)
        record.keyData |= 0xC0000000u;
    return KeyInfoWrapper(record);
}

inline KeyInfoWrapper letter(Stroke stroke = Stroke::Press) {
    return keyEvent('A', 30, stroke);
}
inline KeyInfoWrapper backspace(Stroke stroke = Stroke::Press) {
    return keyEvent(VK_BACK, 14, stroke);
}
inline KeyInfoWrapper deleteKey() {
    return keyEvent(VK_DELETE, 83);
}

inline void press(std::initializer_list<Monitor*> monitors, const KeyInfoWrapper& event,
                  int times = 1) {
    for (int i = 0; i < times; ++i)
        for (Monitor* monitor : monitors)
            monitor->handleKey(event);
}

} // namespace keywhirl::testing

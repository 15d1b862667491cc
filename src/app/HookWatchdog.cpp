// src/app/HookWatchdog.cpp
#include "app/HookWatchdog.h"

namespace keywhirl {

void HookWatchdog::keyRecordArrived(DWORD now) {
    lastRecord = now;
    everRecorded = true;
    unanswered = false;
}

void HookWatchdog::keyTyped(DWORD now) {
    if (unanswered)
        return;
    // Unsigned differences stay right across the tick counter's wrap.
    if (everRecorded && now - lastRecord <= kAnswerMs)
        return;
    unanswered = true;
    unansweredSince = now;
}

bool HookWatchdog::hookSeemsLost(DWORD now) const {
    return unanswered && now - unansweredSince > kSilenceMs;
}

void HookWatchdog::hookInstalled(DWORD now) {
    unanswered = false;
    lastRecord = now;
    everRecorded = true;
}

} // namespace keywhirl

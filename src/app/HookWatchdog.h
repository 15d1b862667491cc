// src/app/HookWatchdog.h - tells when the keyboard hook has been lost.
#pragma once

#include <windows.h>

namespace keywhirl {

// The system removes a low-level hook that answers too late and never says
// so. The user's typing is also seen apart from the hook (raw input); when
// typing goes on for a while and no key record comes, the hook is gone.
// Times are tick counts; the owner passes them in.
class HookWatchdog {
public:
    // How long typing may go unanswered by key records.
    static constexpr DWORD kSilenceMs = 3000;
    // A record this shortly before the typing seen counts as its answer:
    // the two signals take different roads and either may come first.
    static constexpr DWORD kAnswerMs = 1000;

    void keyRecordArrived(DWORD now);
    void keyTyped(DWORD now);
    // True once typing has gone unanswered for longer than kSilenceMs.
    bool hookSeemsLost(DWORD now) const;
    // True while typing has been seen that no key record has answered yet.
    bool awaitsAnswer() const { return unanswered; }
    // After the hook was installed again: the watch starts afresh.
    void hookInstalled(DWORD now);
    // Whether typing needs to be seen through raw input now: only once key
    // records have stopped for longer than kAnswerMs. While they come, the
    // hook is plainly there, and raw input would only wake the program a
    // second time for every key.
    bool needsRawInput(DWORD now) const { return now - lastRecord > kAnswerMs; }

private:
    DWORD lastRecord = 0;
    bool everRecorded = false;
    bool unanswered = false;
    DWORD unansweredSince = 0;
};

} // namespace keywhirl

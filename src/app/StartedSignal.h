// src/app/StartedSignal.h - tells other programs that this copy's start has
// ended.
#pragma once

#include "ui/AppMessages.h"
#include "utils/Handles.h"

#include <windows.h>

#include <optional>
#include <string>

namespace keywhirl {

// A manual-reset event named kStartedEventPrefix plus the process id, set
// once the tray icon, the hook and the windows are in place. Whoever timed
// the start (the benchmarks, the setup's "Start Keywhirl") can wait on it
// instead of guessing from the windows.
class StartedSignal {
public:
    StartedSignal() = default;
    StartedSignal(const StartedSignal&) = delete;
    StartedSignal& operator=(const StartedSignal&) = delete;

    static std::wstring nameFor(DWORD processId) {
        return std::wstring(kStartedEventPrefix) + std::to_wstring(processId);
    }
    // Sets the event; it stays set for as long as the program runs.
    void raise();

private:
    // Made at the first raise: before it the name does not exist.
    std::optional<utils::Event> event;
};

} // namespace keywhirl

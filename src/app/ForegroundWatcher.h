// src/app/ForegroundWatcher.h - follows the foreground program and judges how quiet Keywhirl keeps.
#pragma once

#include "input/QuietDecision.h"
#include "utils/Handles.h"

#include <string>
#include <vector>

namespace keywhirl {

class Desktop;
class QuietState;

// Told by the system whenever another window comes to the foreground (an
// event hook, delivered on the main thread): finds that window's program
// once, judges the full screen and the ignored programs, and leaves the
// verdict in the quiet state, where the key path reads it with one load.
// A window that goes full screen without a foreground change is seen at the
// next refresh, which the main window's timer asks for.
class ForegroundWatcher {
public:
    ForegroundWatcher(Desktop& desktop, QuietState& state);
    ~ForegroundWatcher();
    ForegroundWatcher(const ForegroundWatcher&) = delete;
    ForegroundWatcher& operator=(const ForegroundWatcher&) = delete;

    // Main thread: the event hook's callbacks come to this thread.
    void start();
    void stop();

    // Judges the foreground anew against the pause and this list of
    // ignored programs; the program is looked up only for a new window.
    void refresh(const std::vector<std::wstring>& ignored);

    // The program the user last worked in, neither Keywhirl itself nor the
    // desktop or taskbar; empty until there was one.
    const std::wstring& lastProgram() const { return lastProgram_; }

private:
    static void CALLBACK onForegroundEvent(HWINEVENTHOOK hook, DWORD event, HWND window,
                                           LONG object, LONG child, DWORD thread, DWORD time);

    Desktop& desktop;
    QuietState& state;
    utils::UniqueWinEventHook hook;
    HWND window = nullptr;
    DesktopFacts facts;
    std::wstring lastProgram_;
};

} // namespace keywhirl

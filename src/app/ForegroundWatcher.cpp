// src/app/ForegroundWatcher.cpp
#include "app/ForegroundWatcher.h"

#include "app/TrayMenu.h"
#include "input/Desktop.h"
#include "input/QuietState.h"
#include "settings/Settings.h"

namespace keywhirl {

namespace {
// The hook's callback has no context of its own: main thread only.
ForegroundWatcher* watching = nullptr;
} // namespace

ForegroundWatcher::ForegroundWatcher(Desktop& desktop, QuietState& state)
    : desktop(desktop), state(state) {}

ForegroundWatcher::~ForegroundWatcher() {
    stop();
}

void ForegroundWatcher::start() {
    watching = this;
    hook.reset(::SetWinEventHook(EVENT_SYSTEM_FOREGROUND, EVENT_SYSTEM_FOREGROUND, nullptr,
                                 &ForegroundWatcher::onForegroundEvent, 0, 0,
                                 WINEVENT_OUTOFCONTEXT));
}

void ForegroundWatcher::stop() {
    hook.reset();
    if (watching == this)
        watching = nullptr;
}

void CALLBACK ForegroundWatcher::onForegroundEvent(HWINEVENTHOOK, DWORD, HWND, LONG, LONG, DWORD,
                                                   DWORD) {
    if (watching)
        watching->refresh(Settings::instance()->ignoredPrograms);
}

void ForegroundWatcher::refresh(const std::vector<std::wstring>& ignored) {
    HWND foreground = desktop.foregroundWindow();
    desktop.describeWindow(foreground, facts);
    if (foreground != window) {
        window = foreground;
        facts.program = foreground ? desktop.programOf(foreground) : std::wstring();
        if (foreground && !facts.shellWindow && !facts.program.empty() &&
            !desktop.isOwnWindow(foreground)) {
            lastProgram_ = facts.program;
            setIgnorableProgram(lastProgram_);
        }
        // The dispatcher judges the new window's focused control at its next key.
        state.setFocusLevel(QuietLevel::Normal);
    }
    facts.paused = state.isPaused();
    facts.notificationState = desktop.notificationState();
    facts.ignoredPrograms = &ignored;
    state.setForegroundLevel(decideQuiet(facts));
    facts.ignoredPrograms = nullptr;
}

} // namespace keywhirl

// src/app/HookGuard.h - keeps the keyboard hook in place while the program runs.
#pragma once

#include "app/HookLibrary.h"
#include "app/HookWatchdog.h"
#include "utils/Handles.h"

#include <windows.h>

namespace keywhirl {

// Installs the hook again after the computer wakes from sleep, after the
// user's session is unlocked, and when keys are typed (seen through raw
// input, which needs no hook) but no key record comes. It says nothing to
// the user unless installing the hook again fails. The functions it needs
// beyond Windows 2000 are looked up at run time; without them that part of
// the watch is simply off.
class HookGuard {
public:
    explicit HookGuard(HookLibrary& hook) : hook(hook) {}
    HookGuard(const HookGuard&) = delete;
    HookGuard& operator=(const HookGuard&) = delete;
    ~HookGuard() { detach(); }

    // Starts watching for the main window, whose hook is in place.
    void attach(HWND mainWindow);
    void detach();

    // The main window's messages: every WM_COPYDATA from the hook library,
    // WM_INPUT, WM_POWERBROADCAST, WM_WTSSESSION_CHANGE, and WM_TIMER, of
    // which it takes only its own timer (true then).
    void onHookMessage();
    bool onTimer(UINT_PTR id);
    void onRawInput();
    void onPowerBroadcast(WPARAM event);
    void onSessionChange(WPARAM event);

private:
    void reinstall();
    void startChecking();
    void stopChecking();
    void listenToRawInput(bool on);

    HookLibrary& hook;
    HookWatchdog watchdog;
    HWND window = nullptr;
    utils::UniqueModule sessionLibrary;
    // After a failed re-install the user has been told; no more tries.
    bool givenUp = false;
    // The check timer runs only while typing waits for its key records, so
    // that an idle program is never woken.
    bool checking = false;
    // Raw input is heard only while key records are not coming (see
    // HookWatchdog::needsRawInput); a timer runs while they come, to turn it
    // on again once they stop.
    bool hearingRawInput = false;
    static constexpr UINT kCheckMilliseconds = 500;
};

} // namespace keywhirl

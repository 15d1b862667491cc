// src/app/HookGuard.h - keeps the keyboard hook in place while the program runs.
#pragma once

#include "app/HookLibrary.h"
#include "app/HookWatchdog.h"
#include "ui/Handles.h"

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
    // its 50 ms timer, WM_INPUT, WM_POWERBROADCAST, WM_WTSSESSION_CHANGE.
    void onHookMessage();
    void onTimer();
    void onRawInput();
    void onPowerBroadcast(WPARAM event);
    void onSessionChange(WPARAM event);

private:
    void reinstall();

    HookLibrary& hook;
    HookWatchdog watchdog;
    HWND window = nullptr;
    ui::UniqueModule sessionLibrary;
    // After a failed re-install the user has been told; no more tries.
    bool givenUp = false;
};

} // namespace keywhirl

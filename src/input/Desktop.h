// src/input/Desktop.h - what the desktop shows, replaceable in tests.
#pragma once

#include "input/QuietDecision.h"

#include <windows.h>

#include <string>

namespace keywhirl {

// The questions the quiet decision asks of the desktop, behind one small
// interface, so that it can be tried with made-up desktops.
class Desktop {
public:
    virtual ~Desktop() = default;

    virtual HWND foregroundWindow() = 0;
    // Fills in the window's rectangle, its monitor's, and whether it is the
    // shell's or a maximized window with a title bar.
    virtual void describeWindow(HWND window, DesktopFacts& facts) = 0;
    // File name of the program that owns the window; empty when unknown.
    virtual std::wstring programOf(HWND window) = 0;
    // Whether the window belongs to this process.
    virtual bool isOwnWindow(HWND window) = 0;
    // SHQueryUserNotificationState, where the system has it; 0 otherwise.
    virtual int notificationState() = 0;
    // Fills in the class and style of the control with the keyboard focus
    // in the foreground thread. Called on the dispatcher thread.
    virtual void describeFocus(DesktopFacts& facts) = 0;

    // The desktop in use: the system's, unless a test has set another.
    static Desktop& current();
    // nullptr puts the system's desktop back.
    static void setCurrent(Desktop* desktop);
};

} // namespace keywhirl

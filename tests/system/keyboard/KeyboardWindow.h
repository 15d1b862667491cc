// tests/system/keyboard/KeyboardWindow.h - the keyboard window of a running Keywhirl.
#pragma once

#include <windows.h>

namespace keywhirl::testing {

// The top-level window of the process that carries the minimize button
// (control 1006), visible or not; null if the process has none.
HWND findKeyboardWindow(DWORD processId);

// The window's layered alpha, or -1 if it has none set.
int layeredAlpha(HWND window);

// Polls the condition every 20 ms until it holds or the time is up.
template <typename Condition> bool eventually(Condition condition, DWORD milliseconds) {
    DWORD start = ::GetTickCount();
    while (!condition()) {
        if (::GetTickCount() - start > milliseconds)
            return false;
        ::Sleep(20);
    }
    return true;
}

} // namespace keywhirl::testing

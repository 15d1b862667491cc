// tests/window/keyboard/MouseInput.h - real mouse input and message pumping for window tests.
#pragma once

#include "support/Waiting.h"

#include <windows.h>

namespace keywhirl::testing {

inline void sendMouse(DWORD flags, POINT screen = {0, 0}) {
    INPUT input = {};
    input.type = INPUT_MOUSE;
    input.mi.dwFlags = flags;
    if (flags & MOUSEEVENTF_ABSOLUTE) {
        int width = ::GetSystemMetrics(SM_CXSCREEN);
        int height = ::GetSystemMetrics(SM_CYSCREEN);
        input.mi.dx = static_cast<LONG>((screen.x * 65535LL + width / 2) / (width - 1));
        input.mi.dy = static_cast<LONG>((screen.y * 65535LL + height / 2) / (height - 1));
    }
    ::SendInput(1, &input, sizeof input);
}

inline void moveMouseTo(POINT screen) {
    sendMouse(MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE, screen);
}

inline POINT centreOf(HWND window) {
    RECT rect;
    ::GetWindowRect(window, &rect);
    return {(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
}

} // namespace keywhirl::testing

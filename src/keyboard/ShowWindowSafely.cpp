// src/keyboard/ShowWindowSafely.cpp
#include "keyboard/ShowWindowSafely.h"

namespace keywhirl {

void showWindowSafely(HWND window, int command) {
    if (!window || !::IsWindow(window))
        return;
    if (::GetWindowThreadProcessId(window, nullptr) == ::GetCurrentThreadId())
        ::ShowWindow(window, command);
    else
        ::ShowWindowAsync(window, command);
}

void putOnTopSafely(HWND window) {
    if (!window || !::IsWindow(window))
        return;
    UINT flags = SWP_NOACTIVATE | SWP_NOMOVE | SWP_NOSIZE;
    if (::GetWindowThreadProcessId(window, nullptr) != ::GetCurrentThreadId())
        flags |= SWP_ASYNCWINDOWPOS;
    ::SetWindowPos(window, HWND_TOPMOST, 0, 0, 0, 0, flags);
}

} // namespace keywhirl

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

} // namespace keywhirl

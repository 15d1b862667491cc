// tests/system/keyboard/KeyboardWindow.h - the keyboard window of a running Keywhirl.
#pragma once

#include "support/Waiting.h"

#include <windows.h>

namespace keywhirl::testing {

// The top-level window of the process that carries the minimize button
// (control 1006), visible or not; null if the process has none.
HWND findKeyboardWindow(DWORD processId);

// The window's layered alpha, or -1 if it has none set.
int layeredAlpha(HWND window);

} // namespace keywhirl::testing

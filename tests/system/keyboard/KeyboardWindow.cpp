// tests/system/keyboard/KeyboardWindow.cpp
#include "KeyboardWindow.h"

#include "Probe.h"

namespace keywhirl::testing {

namespace {
const int kMinimizeButton = 1006;

} // namespace

HWND findKeyboardWindow(DWORD processId) {
    return probe::findWindowOf(processId,
                               [](HWND window) { return ::GetDlgItem(window, kMinimizeButton); });
}

int layeredAlpha(HWND window) {
    BYTE alpha = 0;
    DWORD flags = 0;
    if (!::GetLayeredWindowAttributes(window, nullptr, &alpha, &flags) || !(flags & LWA_ALPHA))
        return -1;
    return alpha;
}

} // namespace keywhirl::testing

// tests/system/keyboard/KeyboardWindow.cpp
#include "KeyboardWindow.h"

namespace keywhirl::testing {

namespace {
const int kMinimizeButton = 1006;

struct Search {
    DWORD processId;
    HWND found;
};

BOOL CALLBACK findButtonOwner(HWND window, LPARAM parameter) {
    auto* search = reinterpret_cast<Search*>(parameter);
    DWORD owner = 0;
    ::GetWindowThreadProcessId(window, &owner);
    if (owner == search->processId && ::GetDlgItem(window, kMinimizeButton)) {
        search->found = window;
        return FALSE;
    }
    return TRUE;
}
} // namespace

HWND findKeyboardWindow(DWORD processId) {
    Search search{processId, nullptr};
    ::EnumWindows(findButtonOwner, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

int layeredAlpha(HWND window) {
    BYTE alpha = 0;
    DWORD flags = 0;
    if (!::GetLayeredWindowAttributes(window, nullptr, &alpha, &flags) || !(flags & LWA_ALPHA))
        return -1;
    return alpha;
}

} // namespace keywhirl::testing

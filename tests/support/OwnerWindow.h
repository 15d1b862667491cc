// tests/support/OwnerWindow.h - a plain window in the role of the main window.
#pragma once

#include "utils/Handles.h"

#include <windows.h>

#include <vector>

namespace keywhirl::testing {

// Owns the window under test and receives what the program's windows send
// the main window (the tray menu's commands among them); it notes every
// message and the last command.
class OwnerWindow {
public:
    OwnerWindow() {
        WNDCLASSW windowClass = {};
        windowClass.lpfnWndProc = &OwnerWindow::procedure;
        windowClass.hInstance = ::GetModuleHandleW(nullptr);
        windowClass.lpszClassName = L"KeywhirlTestOwner";
        ::RegisterClassW(&windowClass);
        lastCommand() = 0;
        window.reset(::CreateWindowExW(0, windowClass.lpszClassName, L"Keywhirl", WS_POPUP, 0, 0,
                                       10, 10, nullptr, nullptr, windowClass.hInstance, nullptr));
    }
    HWND get() const { return window.get(); }

    static std::vector<UINT>& messages() {
        static std::vector<UINT> seen;
        return seen;
    }
    static UINT& lastCommand() {
        static UINT command = 0;
        return command;
    }

private:
    static LRESULT CALLBACK procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
        messages().push_back(message);
        if (message == WM_COMMAND)
            lastCommand() = LOWORD(wParam);
        return ::DefWindowProcW(window, message, wParam, lParam);
    }

    utils::UniqueWindow window;
};

} // namespace keywhirl::testing

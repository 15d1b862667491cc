// src/app/SingleInstance.h - one running Keywhirl per session, and the way a
// later start reaches it.
#pragma once

#include "utils/Handles.h"

#include <windows.h>

namespace keywhirl {

// Holds a named mutex of the user's session from the very start of the
// program, so that of copies started at the same moment exactly one runs on.
class SingleInstance {
public:
    explicit SingleInstance(const wchar_t* mutexName = kMutexName);
    SingleInstance(const SingleInstance&) = delete;
    SingleInstance& operator=(const SingleInstance&) = delete;

    // False when another copy holds the mutex already.
    bool isFirst() const { return first; }

    // The running copy's main window, told apart from any other dialog
    // with the same class and caption (a message box of that copy, say)
    // by asking each; null when none answers.
    static HWND findMainWindow();
    // Asks the running copy to show its keyboard, waiting up to waitMs for
    // its main window to come up. False when no main window answered.
    static bool showRunningKeyboard(DWORD waitMs);

    // The registered message that only the main window answers, with
    // kMainWindowAnswer (ui/AppMessages.h).
    static UINT identifyMessage();
    static constexpr const wchar_t* kMutexName = L"Local\\Keywhirl.SingleInstance";

private:
    utils::UniqueHandle mutex;
    bool first;
};

} // namespace keywhirl

// src/app/SingleInstance.cpp
#include "app/SingleInstance.h"

#include "ui/AppMessages.h"

namespace keywhirl {

namespace {
constexpr DWORD kAnswerTimeoutMs = 2000;
constexpr DWORD kPollMs = 50;
} // namespace

SingleInstance::SingleInstance(const wchar_t* mutexName)
    : mutex(::CreateMutexW(nullptr, FALSE, mutexName)),
      // Without a mutex at all there is no way to tell: run rather than not.
      first(!mutex || ::GetLastError() != ERROR_ALREADY_EXISTS) {}

UINT SingleInstance::identifyMessage() {
    static const UINT message = ::RegisterWindowMessageW(kIdentifyMessageName);
    return message;
}

HWND SingleInstance::findMainWindow() {
    for (HWND candidate = nullptr;
         (candidate = ::FindWindowExW(nullptr, candidate, kMainWindowClass, kProductName));) {
        DWORD_PTR answer = 0;
        if (::SendMessageTimeoutW(candidate, identifyMessage(), 0, 0, SMTO_ABORTIFHUNG,
                                  kAnswerTimeoutMs, &answer) &&
            static_cast<LRESULT>(answer) == kMainWindowAnswer)
            return candidate;
    }
    return nullptr;
}

bool SingleInstance::showRunningKeyboard(DWORD waitMs) {
    // The first copy may still be starting up: its main window answers
    // once its initialisation is over.
    DWORD start = ::GetTickCount();
    for (;;) {
        if (HWND running = findMainWindow()) {
            DWORD_PTR ignored = 0;
            ::SendMessageTimeoutW(running, kShowKeyboardMessage, 0, 0, SMTO_ABORTIFHUNG,
                                  kAnswerTimeoutMs, &ignored);
            return true;
        }
        if (::GetTickCount() - start >= waitMs)
            return false;
        ::Sleep(kPollMs);
    }
}

} // namespace keywhirl

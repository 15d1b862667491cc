// tests/support/Waiting.h - waiting for something another thread or process does.
#pragma once

#include <windows.h>

namespace keywhirl::testing {

// Polls until the condition holds or the time is up; true when it held.
// The times are generous: a test never fails because a machine was slow.
template <typename Condition> bool eventually(Condition condition, DWORD milliseconds = 2000) {
    const DWORD start = ::GetTickCount();
    while (!condition()) {
        if (::GetTickCount() - start > milliseconds)
            return false;
        ::Sleep(10);
    }
    return true;
}

// Dispatches the calling thread's waiting messages.
inline void pumpMessages() {
    MSG message;
    while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        ::TranslateMessage(&message);
        ::DispatchMessageW(&message);
    }
}

// Dispatches the calling thread's messages for about the given time.
inline void pump(DWORD milliseconds) {
    const DWORD start = ::GetTickCount();
    do {
        pumpMessages();
        ::Sleep(5);
    } while (::GetTickCount() - start < milliseconds);
}

// The same as eventually, for window tests: the calling thread's messages
// are dispatched while it waits.
template <typename Condition> bool pumpUntil(Condition condition, DWORD milliseconds = 3000) {
    const DWORD start = ::GetTickCount();
    while (!condition()) {
        if (::GetTickCount() - start > milliseconds)
            return false;
        pumpMessages();
        ::Sleep(5);
    }
    return true;
}

} // namespace keywhirl::testing

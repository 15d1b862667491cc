// tests/window/keyboard/WindowThread.h - runs a call on another thread while this one pumps.
#pragma once

#include "MouseInput.h"

#include <windows.h>

#include <functional>

namespace keywhirl::testing {

// Calls work on a thread of its own, as the key event dispatcher calls the
// keyboard window, and handles this thread's messages until it returns.
// False if it did not return within five seconds.
inline bool runOnOtherThread(std::function<void()> work) {
    struct Call {
        static DWORD WINAPI run(void* context) {
            (*static_cast<std::function<void()>*>(context))();
            return 0;
        }
    };
    HANDLE thread = ::CreateThread(nullptr, 0, &Call::run, &work, 0, nullptr);
    if (!thread)
        return false;
    DWORD start = ::GetTickCount();
    bool finished = false;
    while (!finished && ::GetTickCount() - start < 5000) {
        DWORD wait = ::MsgWaitForMultipleObjects(1, &thread, FALSE, 50, QS_ALLINPUT);
        finished = wait == WAIT_OBJECT_0;
        pump(0);
    }
    if (!finished)
        ::WaitForSingleObject(thread, INFINITE);
    ::CloseHandle(thread);
    return finished;
}

} // namespace keywhirl::testing

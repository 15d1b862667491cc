// src/utils/Thread.cpp
#include "utils/Thread.h"

#include <process.h>

namespace keywhirl::utils {

Thread::Thread() : stopped(true), handle(nullptr), suspended(false) {}

Thread::~Thread() {
    stopAndWait();
}

void Thread::start() {
    stopped = false;
    // The runtime's own thread function sets up per-thread runtime state.
    uintptr_t created = _beginthreadex(nullptr, 0, &Thread::entry, this, 0, nullptr);
    handle = reinterpret_cast<HANDLE>(created);
}

unsigned __stdcall Thread::entry(void* self) {
    static_cast<Thread*>(self)->run();
    return 0;
}

void Thread::run() {
    while (!isStopped())
        process();
}

void Thread::suspend() {
    HANDLE thread = handle;
    if (!thread)
        return;
    suspended = true;
    ::SuspendThread(thread);
}

void Thread::resume() {
    HANDLE thread = handle;
    if (!thread)
        return;
    bool flagged = suspended.exchange(false);
    // ResumeThread returns the previous suspend count, or (DWORD)-1 on failure;
    // a failure must end the loop, not feed it.
    DWORD previous = ::ResumeThread(thread);
    DWORD count = previous;
    while (count != static_cast<DWORD>(-1) && count > 1)
        count = ::ResumeThread(thread);
    // The thread flagged itself but had not suspended yet: this wake-up is
    // lost. The flag stays, so the next resume of whoever looks at
    // isSuspended() (the main window's timer) wakes it after all.
    if (flagged && (previous == 0 || previous == static_cast<DWORD>(-1)))
        suspended = true;
}

void Thread::stop() {
    stopped = true;
    resume();
}

void Thread::stopAndWait() {
    stop();
    HANDLE thread = handle;
    if (!thread)
        return;
    // A thread that was about to suspend itself when stop() woke it would
    // sleep for ever; waking it again until it ends closes that gap. There
    // is still no time-out: the current unit of work always finishes.
    while (::WaitForSingleObject(thread, kRewakeMilliseconds) == WAIT_TIMEOUT)
        resume();
    handle = nullptr;
    ::CloseHandle(thread);
}

void Thread::setPriority(int priority) {
    HANDLE thread = handle;
    if (thread)
        ::SetThreadPriority(thread, priority);
}

void Thread::sleep(unsigned milliseconds) {
    ::Sleep(milliseconds);
}

} // namespace keywhirl::utils

// src/utils/Thread.cpp
#include "utils/Thread.h"

#include <process.h>

namespace keywhirl::utils {

Thread::Thread() : stopped(true), suspended(false), wakeUp() {}

Thread::~Thread() {
    stopAndWait();
}

void Thread::start() {
    stopped = false;
    // A wake-up left over from the last run must not skip the first sleep.
    wakeUp.clear();
    // The runtime's own thread function sets up per-thread runtime state.
    uintptr_t created = _beginthreadex(nullptr, kStackReservation, &Thread::entry, this,
                                       STACK_SIZE_PARAM_IS_A_RESERVATION, nullptr);
    thread.reset(reinterpret_cast<HANDLE>(created));
}

unsigned __stdcall Thread::entry(void* self) {
    static_cast<Thread*>(self)->run();
    return 0;
}

void Thread::run() {
    while (!isStopped())
        process();
}

bool Thread::suspend(DWORD timeoutMilliseconds) {
    suspended = true;
    bool woken = wakeUp.wait(timeoutMilliseconds);
    suspended = false;
    return woken;
}

void Thread::resume() {
    wakeUp.set();
}

void Thread::forgetWakeUp() {
    wakeUp.clear();
}

void Thread::stop() {
    stopped = true;
    resume();
}

void Thread::stopAndWait() {
    stop();
    // No time-out: the current unit of work always finishes.
    waitUntilEnded();
}

void Thread::waitUntilEnded() {
    if (!thread)
        return;
    ::WaitForSingleObject(thread.get(), INFINITE);
    thread.reset();
}

void Thread::setPriority(int priority) {
    if (thread)
        ::SetThreadPriority(thread.get(), priority);
}

void Thread::sleep(unsigned milliseconds) {
    ::Sleep(milliseconds);
}

} // namespace keywhirl::utils

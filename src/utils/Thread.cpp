// src/utils/Thread.cpp
#include "utils/Thread.h"

#include <process.h>

namespace keywhirl::utils {

Thread::Thread() : stopped(true), suspended(false), wakeUp(ui::makeEvent()) {}

Thread::~Thread() {
    stopAndWait();
}

void Thread::start() {
    stopped = false;
    // A wake-up left over from the last run must not skip the first sleep.
    ::ResetEvent(wakeUp.get());
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
    DWORD result = ::WaitForSingleObject(wakeUp.get(), timeoutMilliseconds);
    suspended = false;
    return result == WAIT_OBJECT_0;
}

void Thread::resume() {
    ::SetEvent(wakeUp.get());
}

void Thread::forgetWakeUp() {
    ::ResetEvent(wakeUp.get());
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

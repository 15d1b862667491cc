// src/utils/Thread.h - a worker thread that repeats one unit of work until stopped.
#pragma once

#include "utils/Handles.h"

#include <windows.h>

#include <atomic>

namespace keywhirl::utils {

class Thread {
public:
    // Address space kept for each thread's stack. The threads run short
    // units of work with small frames, far from the runtime's 2 MB default.
    static constexpr unsigned kStackReservation = 256 * 1024;

    Thread();
    virtual ~Thread();
    Thread(const Thread&) = delete;
    Thread& operator=(const Thread&) = delete;

    virtual void start();
    // Calls process() until a stop is requested; a unit of work is never cut short.
    virtual void run();
    virtual void process() = 0;
    // Called by the thread on itself: sleeps until the next resume(), or
    // until the time-out has passed; false when it woke by the time-out. A
    // resume() that came before it is kept, so no wake-up is ever lost.
    virtual bool suspend(DWORD timeoutMilliseconds = INFINITE);
    // Wakes the thread; wake-ups do not pile up, one wakes one suspend().
    virtual void resume();

    virtual void stop();
    // Stops and waits without time-out for the current unit of work to end.
    virtual void stopAndWait();
    bool isStopped() const { return stopped.load(std::memory_order_relaxed); }
    // True while the thread sleeps in suspend().
    bool isSuspended() const { return suspended.load(std::memory_order_relaxed); }
    void setPriority(int priority);
    void sleep(unsigned milliseconds);

protected:
    // Forgets a wake-up that has come but was not slept on: for a thread
    // that has already seen, by other means, the work it was woken for.
    void forgetWakeUp();
    // Waits for a thread that ends by itself, without asking it to stop,
    // and lets its handle go; at once when there is none.
    void waitUntilEnded();

private:
    static unsigned __stdcall entry(void* self);

    // A late reader of either flag only runs one more unit or one more wake-up.
    std::atomic<bool> stopped;
    std::atomic<bool> suspended;
    utils::UniqueHandle thread;
    // Auto-reset: it remembers one wake-up until the thread waits for it.
    utils::Event wakeUp;
};

} // namespace keywhirl::utils

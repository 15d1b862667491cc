// src/utils/Thread.h - a worker thread that repeats one unit of work until stopped.
#pragma once

#include <windows.h>

#include <atomic>

namespace keywhirl::utils {

class Thread {
public:
    Thread();
    virtual ~Thread();
    Thread(const Thread&) = delete;
    Thread& operator=(const Thread&) = delete;

    virtual void start();
    // Calls process() until a stop is requested; a unit of work is never cut short.
    virtual void run();
    virtual void process() = 0;
    // Meant to be called by the thread on itself: it returns once resumed.
    virtual void suspend();
    // Wakes the thread however many suspensions have piled up.
    virtual void resume();

    void stop();
    // Stops and waits without time-out for the current unit of work to end.
    void stopAndWait();
    bool isStopped() const { return stopped.load(std::memory_order_relaxed); }
    bool isSuspended() const { return suspended.load(std::memory_order_relaxed); }
    void setPriority(int priority);
    void sleep(unsigned milliseconds);

private:
    static unsigned __stdcall entry(void* self);
    static constexpr DWORD kRewakeMilliseconds = 50;

    // A late reader of either flag only runs one more unit or one more wake-up.
    std::atomic<bool> stopped;
    std::atomic<HANDLE> handle;
    std::atomic<bool> suspended;
};

} // namespace keywhirl::utils

// src/app/CSplashThread.h - the thread that creates the splash and runs its messages.
#pragma once

#include "app/CSplashWnd.h"
#include "utils/Handles.h"

#include <memory>

namespace keywhirl {

using SplashFactory = std::unique_ptr<CSplashWnd> (*)();

class CSplashThread {
public:
    explicit CSplashThread(SplashFactory windowClass);
    ~CSplashThread();
    CSplashThread(const CSplashThread&) = delete;
    CSplashThread& operator=(const CSplashThread&) = delete;

    // Starts the thread at idle priority; false when it cannot be started.
    bool start();
    // Waits until the window exists or its creation has failed.
    void waitUntilCreated();
    void waitUntilEnded();
    DWORD threadId() const { return id; }
    CSplashWnd* splashWindow() const { return window.get(); }

private:
    static DWORD WINAPI threadMain(void* self);
    void run();

    SplashFactory windowClass;
    std::unique_ptr<CSplashWnd> window;
    utils::Event created;
    utils::UniqueHandle thread;
    DWORD id = 0;
};

} // namespace keywhirl

// src/app/SplashHolder.h - starts the splash at start-up and closes it when the program is ready.
#pragma once

#include "app/CSplashThread.h"

#include <memory>

namespace keywhirl {

class SplashHolder {
public:
    SplashHolder() = default;
    ~SplashHolder() { hide(nullptr); }
    SplashHolder(const SplashHolder&) = delete;
    SplashHolder& operator=(const SplashHolder&) = delete;

    bool create(SplashFactory windowClass);
    // Closes the splash, gives the focus to the window (or, if null, the
    // thread's active window) and waits for the splash thread to end.
    // False when no splash is running.
    bool hide(HWND windowToActivate);

    // The running splash window, or null.
    HWND window() const;

private:
    std::unique_ptr<CSplashThread> thread;
};

} // namespace keywhirl

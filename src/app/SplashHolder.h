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
    // Closes the splash and waits for the splash thread to end. If a window
    // of this program has taken the foreground meanwhile, it goes to
    // windowToActivate or, if that is null, back to the window that had it
    // when the splash was created; either only if it still exists and is
    // visible. False when no splash is running.
    bool hide(HWND windowToActivate);

    // The running splash window, or null.
    HWND window() const;

private:
    std::unique_ptr<CSplashThread> thread;
    HWND previousForeground = nullptr;
};

} // namespace keywhirl

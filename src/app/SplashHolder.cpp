// src/app/SplashHolder.cpp
#include "app/SplashHolder.h"

namespace keywhirl {

namespace {
bool belongsToThisProcess(HWND window) {
    DWORD process = 0;
    ::GetWindowThreadProcessId(window, &process);
    return process == ::GetCurrentProcessId();
}
} // namespace

bool SplashHolder::create(SplashFactory windowClass) {
    previousForeground = ::GetForegroundWindow();
    auto candidate = std::make_unique<CSplashThread>(windowClass);
    if (!candidate->start())
        return false;
    thread = std::move(candidate);
    return true;
}

HWND SplashHolder::window() const {
    if (!thread)
        return nullptr;
    thread->waitUntilCreated();
    CSplashWnd* splash = thread->splashWindow();
    return splash ? splash->handle() : nullptr;
}

bool SplashHolder::hide(HWND windowToActivate) {
    if (!thread)
        return false;
    thread->waitUntilCreated();
    // Nothing of ours should have taken the foreground; if something did,
    // the user's window gets it back. A hidden window never gets it, and a
    // program the user switched to meanwhile keeps it.
    HWND foreground = ::GetForegroundWindow();
    HWND target = windowToActivate ? windowToActivate : previousForeground;
    if ((!foreground || belongsToThisProcess(foreground)) && target && target != foreground &&
        ::IsWindow(target) && ::IsWindowVisible(target))
        ::SetForegroundWindow(target);
    if (CSplashWnd* splash = thread->splashWindow()) {
        splash->allowClose();
        ::PostMessageW(splash->handle(), WM_CLOSE, 0, 0);
    }
    thread->waitUntilEnded();
    thread.reset();
    return true;
}

} // namespace keywhirl

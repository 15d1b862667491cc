// src/app/SplashHolder.cpp
#include "app/SplashHolder.h"

namespace keywhirl {

bool SplashHolder::create(SplashFactory windowClass) {
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
    ::AttachThreadInput(::GetCurrentThreadId(), thread->threadId(), TRUE);
    HWND focus = windowToActivate ? windowToActivate : ::GetActiveWindow();
    if (focus) {
        ::SetFocus(focus);
        ::SetForegroundWindow(focus);
    }
    if (CSplashWnd* splash = thread->splashWindow()) {
        splash->allowClose();
        ::PostMessageW(splash->handle(), WM_CLOSE, 0, 0);
    }
    thread->waitUntilEnded();
    thread.reset();
    return true;
}

} // namespace keywhirl

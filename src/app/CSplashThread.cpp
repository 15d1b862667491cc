// src/app/CSplashThread.cpp
#include "app/CSplashThread.h"

#include "utils/Thread.h"

namespace keywhirl {

CSplashThread::CSplashThread(SplashFactory windowClass) : windowClass(windowClass), created(true) {}

CSplashThread::~CSplashThread() {
    // The window belongs to the splash thread: it must have ended first.
    waitUntilEnded();
}

bool CSplashThread::start() {
    thread.reset(::CreateThread(nullptr, utils::Thread::kStackReservation,
                                &CSplashThread::threadMain, this,
                                CREATE_SUSPENDED | STACK_SIZE_PARAM_IS_A_RESERVATION, &id));
    if (!thread)
        return false;
    ::SetThreadPriority(thread.get(), THREAD_PRIORITY_IDLE);
    ::ResumeThread(thread.get());
    return true;
}

DWORD WINAPI CSplashThread::threadMain(void* self) {
    static_cast<CSplashThread*>(self)->run();
    return 0;
}

void CSplashThread::run() {
    std::unique_ptr<CSplashWnd> candidate = windowClass ? windowClass() : nullptr;
    if (!candidate || !candidate->createSplashWindow()) {
        candidate.reset();
        created.set();
        return;
    }
    window = std::move(candidate);
    created.set();

    MSG message;
    while (::GetMessageW(&message, nullptr, 0, 0) > 0) {
        ::TranslateMessage(&message);
        ::DispatchMessageW(&message);
    }
}

void CSplashThread::waitUntilCreated() {
    if (thread)
        created.wait();
}

void CSplashThread::waitUntilEnded() {
    if (thread)
        ::WaitForSingleObject(thread.get(), INFINITE);
}

} // namespace keywhirl

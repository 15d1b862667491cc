// tests/support/GtestNotification.h - GoogleTest's thread start signal on a
// Win32 event. GoogleTest's own one is built on std::mutex, which the
// compiler's win32 thread model does not have; everything else of its
// threading already uses Win32 on Windows.
#pragma once

#include <windows.h>

namespace testing::internal {

class Notification {
public:
    Notification() : event_(::CreateEventW(nullptr, TRUE, FALSE, nullptr)) {}
    ~Notification() { ::CloseHandle(event_); }
    Notification(const Notification&) = delete;
    Notification& operator=(const Notification&) = delete;

    void Notify() { ::SetEvent(event_); }
    void WaitForNotification() { ::WaitForSingleObject(event_, INFINITE); }

private:
    HANDLE event_;
};

} // namespace testing::internal

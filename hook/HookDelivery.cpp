// hook/HookDelivery.cpp
#include "HookDelivery.h"

namespace keywhirl::hook {

HookDelivery::HookDelivery()
    : target(nullptr), stopping(false), wakeEvent(::CreateEventW(nullptr, FALSE, FALSE, nullptr)),
      thread(nullptr) {
    ::InitializeCriticalSection(&lock);
}

HookDelivery::~HookDelivery() {
    stop();
    ::CloseHandle(wakeEvent);
    ::DeleteCriticalSection(&lock);
}

bool HookDelivery::start(HWND newTarget) {
    setTarget(newTarget);
    if (thread)
        return true;
    ::EnterCriticalSection(&lock);
    stopping = false;
    pending.clear();
    ::LeaveCriticalSection(&lock);
    thread = ::CreateThread(nullptr, 0, &HookDelivery::threadMain, this, 0, nullptr);
    return thread != nullptr;
}

void HookDelivery::stop() {
    if (!thread)
        return;
    ::EnterCriticalSection(&lock);
    stopping = true;
    ::LeaveCriticalSection(&lock);
    ::SetEvent(wakeEvent);
    ::WaitForSingleObject(thread, INFINITE);
    ::CloseHandle(thread);
    thread = nullptr;
}

void HookDelivery::setTarget(HWND newTarget) {
    ::EnterCriticalSection(&lock);
    target = newTarget;
    ::LeaveCriticalSection(&lock);
}

void HookDelivery::push(const Message& message) {
    ::EnterCriticalSection(&lock);
    bool room = pending.size() < kMaximumPending;
    if (room)
        pending.push_back(message);
    ::LeaveCriticalSection(&lock);
    if (room)
        ::SetEvent(wakeEvent);
}

void HookDelivery::pushKey(const KeyRecord& record) {
    push(Message{kKeyRecordMessage, record});
}

void HookDelivery::pushLayout(HKL layout) {
    Message message{kLayoutReportMessage, {}};
    message.record.keyboardLayout = layout;
    push(message);
}

DWORD WINAPI HookDelivery::threadMain(void* self) {
    auto* delivery = static_cast<HookDelivery*>(self);
    for (;;) {
        ::WaitForSingleObject(delivery->wakeEvent, INFINITE);
        ::EnterCriticalSection(&delivery->lock);
        bool stopping = delivery->stopping;
        ::LeaveCriticalSection(&delivery->lock);
        if (stopping)
            return 0;
        delivery->deliverAll();
    }
}

void HookDelivery::deliverAll() {
    HWND window;
    ::EnterCriticalSection(&lock);
    sending.swap(pending);
    window = target;
    ::LeaveCriticalSection(&lock);

    for (Message& message : sending) {
        ::EnterCriticalSection(&lock);
        bool stopNow = stopping;
        ::LeaveCriticalSection(&lock);
        if (stopNow)
            break;

        COPYDATASTRUCT data;
        data.dwData = message.kind;
        if (message.kind == kKeyRecordMessage) {
            data.cbData = sizeof(KeyRecord);
            data.lpData = &message.record;
        } else {
            data.cbData = kLayoutReportSize;
            data.lpData = &message.record.keyboardLayout;
        }
        DWORD_PTR result;
        ::SendMessageTimeoutW(window, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&data),
                              SMTO_NORMAL | SMTO_ABORTIFHUNG, kSendTimeoutMilliseconds, &result);
    }
    sending.clear();
}

} // namespace keywhirl::hook

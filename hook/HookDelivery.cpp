// hook/HookDelivery.cpp
#include "HookDelivery.h"

namespace keywhirl::hook {

using utils::Lock;

HookDelivery::HookDelivery() : target(nullptr), stopping(false), wakeEvent(ui::makeEvent()) {}

HookDelivery::~HookDelivery() {
    stop();
}

bool HookDelivery::start(HWND newTarget) {
    setTarget(newTarget);
    if (thread)
        return true;
    {
        Lock guard(lock);
        stopping = false;
        pending.clear();
    }
    thread.reset(::CreateThread(nullptr, kStackReservation, &HookDelivery::threadMain, this,
                                STACK_SIZE_PARAM_IS_A_RESERVATION, nullptr));
    return static_cast<bool>(thread);
}

void HookDelivery::stop() {
    if (!thread)
        return;
    {
        Lock guard(lock);
        stopping = true;
    }
    ::SetEvent(wakeEvent.get());
    ::WaitForSingleObject(thread.get(), INFINITE);
    thread.reset();
}

void HookDelivery::setTarget(HWND newTarget) {
    Lock guard(lock);
    target = newTarget;
}

bool HookDelivery::isStopping() {
    Lock guard(lock);
    return stopping;
}

void HookDelivery::push(const Message& message) {
    bool room;
    {
        Lock guard(lock);
        room = pending.size() < kMaximumPending;
        if (room)
            pending.push_back(message);
    }
    if (room)
        ::SetEvent(wakeEvent.get());
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
        ::WaitForSingleObject(delivery->wakeEvent.get(), INFINITE);
        if (delivery->isStopping())
            return 0;
        delivery->deliverAll();
    }
}

void HookDelivery::deliverAll() {
    HWND window;
    {
        Lock guard(lock);
        sending.swap(pending);
        window = target;
    }
    for (Message& message : sending) {
        // At most one more message waits its time-out once a stop is asked for.
        if (isStopping())
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

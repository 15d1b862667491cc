// hook/HookDelivery.cpp
#include "HookDelivery.h"

namespace keywhirl::hook {

using utils::Lock;

HookDelivery::HookDelivery() : target(nullptr), stopping(false), wakeEvent() {}

HookDelivery::~HookDelivery() {
    stop();
}

namespace {
// The layout of the program the user types in.
HKL foregroundLayout() {
    DWORD thread = ::GetWindowThreadProcessId(::GetForegroundWindow(), nullptr);
    return ::GetKeyboardLayout(thread);
}
} // namespace

bool HookDelivery::start(HWND newTarget) {
    setTarget(newTarget);
    if (thread)
        return true;
    {
        Lock guard(lock);
        stopping = false;
        pending.clear();
    }
    tracker.seedFromSystem();
    layoutReported = false;
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
    wakeEvent.set();
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

void HookDelivery::pushKey(const LowLevelKey& key) {
    bool wake;
    {
        Lock guard(lock);
        if (pending.size() >= kMaximumPending)
            return;
        // A queue that held keys already has its wake-up on the way.
        wake = pending.empty();
        pending.push_back(key);
    }
    if (wake)
        wakeEvent.set();
}

DWORD WINAPI HookDelivery::threadMain(void* self) {
    auto* delivery = static_cast<HookDelivery*>(self);
    for (;;) {
        delivery->wakeEvent.wait();
        if (delivery->isStopping())
            return 0;
        ::Sleep(kHeadStartMilliseconds);
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
    for (const LowLevelKey& key : sending) {
        // At most one more message waits its time-out once a stop is asked for.
        if (isStopping())
            break;
        HKL layout = foregroundLayout();
        if (!layoutReported || layout != lastReportedLayout) {
            send(window, kLayoutReportMessage, &layout, kLayoutReportSize);
            lastReportedLayout = layout;
            layoutReported = true;
        }
        KeyRecord record;
        tracker.track(key, layout, record);
        send(window, kKeyRecordMessage, &record, sizeof record);
    }
    sending.clear();
}

void HookDelivery::send(HWND window, ULONG_PTR kind, const void* data, DWORD size) {
    COPYDATASTRUCT copy;
    copy.dwData = kind;
    copy.cbData = size;
    copy.lpData = const_cast<void*>(data);
    DWORD_PTR result;
    ::SendMessageTimeoutW(window, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&copy),
                          SMTO_NORMAL | SMTO_ABORTIFHUNG, kSendTimeoutMilliseconds, &result);
}

} // namespace keywhirl::hook

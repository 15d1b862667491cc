// hook/KeywhirlHook.cpp - Keywhirl.dll: a low-level keyboard hook that sends
// every key press and release to the program's main window.
#include "HookDelivery.h"
#include "utils/Handles.h"

#include <windows.h>

#include <optional>

namespace {

using keywhirl::hook::HookDelivery;
using keywhirl::hook::LowLevelKey;
namespace utils = keywhirl::utils;

HINSTANCE moduleInstance = nullptr;

// Serialises setKeywhirlHook and clearKeywhirlHook.
CRITICAL_SECTION apiLock;

HookDelivery* delivery = nullptr;
utils::UniqueHandle hookThread;
DWORD hookThreadId = 0;
// Set from outside the process by a test: the hook is taken away silently,
// as the system does with a hook that answered too late. The program must
// notice by itself and install it again.
std::optional<utils::Event> dropEvent;

LRESULT CALLBACK lowLevelKeyboardProc(int code, WPARAM message, LPARAM data) {
    if (code == HC_ACTION) {
        // Every key waits for this procedure: it only queues the event.
        const auto* info = reinterpret_cast<const KBDLLHOOKSTRUCT*>(data);
        LowLevelKey key;
        key.virtualKey = info->vkCode;
        key.scanCode = info->scanCode;
        key.extended = (info->flags & LLKHF_EXTENDED) != 0;
        key.altDown = (info->flags & LLKHF_ALTDOWN) != 0;
        key.released = message == WM_KEYUP || message == WM_SYSKEYUP;
        // The time the key really came, before any queue could delay it.
        key.time = info->time;
        delivery->pushKey(key);
    }
    return ::CallNextHookEx(nullptr, code, message, data);
}

struct HookThreadStart {
    utils::Event ready{true};
    bool installed = false;
};

// A low-level hook is called on the thread that installed it, through that
// thread's message loop; this thread does nothing else.
DWORD WINAPI hookThreadMain(void* parameter) {
    auto* start = static_cast<HookThreadStart*>(parameter);
    MSG message;
    ::PeekMessageW(&message, nullptr, WM_USER, WM_USER, PM_NOREMOVE);

    utils::UniqueHook hook(
        ::SetWindowsHookExW(WH_KEYBOARD_LL, lowLevelKeyboardProc, moduleInstance, 0));
    start->installed = static_cast<bool>(hook);
    start->ready.set();
    if (!hook)
        return 1;

    HANDLE drop = dropEvent && *dropEvent ? dropEvent->get() : nullptr;
    const DWORD waitCount = drop ? 1 : 0;
    for (;;) {
        DWORD woken = ::MsgWaitForMultipleObjects(waitCount, &drop, FALSE, INFINITE, QS_ALLINPUT);
        if (waitCount && woken == WAIT_OBJECT_0) {
            hook.reset();
            continue;
        }
        while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            if (message.message == WM_QUIT)
                return 0;
            ::DispatchMessageW(&message);
        }
    }
}

// "Local\KeywhirlHookDrop.<process id>", auto-reset.
void createDropEvent() {
    wchar_t name[64];
    ::wsprintfW(name, L"Local\\KeywhirlHookDrop.%lu", ::GetCurrentProcessId());
    dropEvent.emplace(false, false, name);
}

bool installHook(HWND window) {
    if (!delivery)
        delivery = new HookDelivery();
    if (!dropEvent || !*dropEvent)
        createDropEvent();
    if (!delivery->start(window))
        return false;

    HookThreadStart start;
    if (start.ready) {
        hookThread.reset(::CreateThread(nullptr, HookDelivery::kStackReservation, hookThreadMain,
                                        &start, STACK_SIZE_PARAM_IS_A_RESERVATION, &hookThreadId));
        if (hookThread)
            start.ready.wait();
    }
    if (!start.installed) {
        if (hookThread) {
            ::WaitForSingleObject(hookThread.get(), INFINITE);
            hookThread.reset();
        }
        delivery->stop();
        return false;
    }
    return true;
}

void removeHook() {
    if (hookThread) {
        ::PostThreadMessageW(hookThreadId, WM_QUIT, 0, 0);
        ::WaitForSingleObject(hookThread.get(), INFINITE);
        hookThread.reset();
    }
    if (delivery)
        delivery->stop();
}

} // namespace

extern "C" {

// Installs the hook for the given window; a second call only changes the
// window. Nonzero means the hook is in place.
int WINAPI setKeywhirlHook(HWND window) {
    ::EnterCriticalSection(&apiLock);
    int result = 1;
    if (hookThread)
        delivery->setTarget(window);
    else
        result = installHook(window) ? 1 : 0;
    ::LeaveCriticalSection(&apiLock);
    return result;
}

// Removes the hook; harmless when there is none.
int WINAPI clearKeywhirlHook(HWND) {
    ::EnterCriticalSection(&apiLock);
    removeHook();
    ::LeaveCriticalSection(&apiLock);
    return 1;
}

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, void*) {
    if (reason == DLL_PROCESS_ATTACH) {
        moduleInstance = instance;
        ::DisableThreadLibraryCalls(instance);
        ::InitializeCriticalSection(&apiLock);
    }
    return TRUE;
}

} // extern "C"

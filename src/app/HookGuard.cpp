// src/app/HookGuard.cpp
#include "app/HookGuard.h"

#include "ui/AppMessages.h"
#include "localization/LocalizationManager.h"
#include "settings/Paths.h"
#include "ui/PlacedMessageBox.h"
#include "utils/TickCount.h"

namespace keywhirl {

namespace {

constexpr USHORT kGenericDesktopPage = 0x01;
constexpr USHORT kKeyboardUsage = 0x06;
constexpr DWORD kThisSessionOnly = 0; // NOTIFY_FOR_THIS_SESSION

using RegisterRawInputFunction = BOOL(WINAPI*)(const RAWINPUTDEVICE*, UINT, UINT);
using SessionNotificationFunction = BOOL(WINAPI*)(HWND, DWORD);
using SessionUnregisterFunction = BOOL(WINAPI*)(HWND);

template <typename Function> Function libraryFunction(HMODULE library, const char* name) {
    if (!library)
        return nullptr;
    return reinterpret_cast<Function>(reinterpret_cast<void*>(::GetProcAddress(library, name)));
}

// Keyboard input for the window also while another program has the focus.
// The window learns that keys were typed, never which.
void registerRawKeyboard(HWND window, DWORD flags) {
    auto registerDevices = libraryFunction<RegisterRawInputFunction>(
        ::GetModuleHandleW(L"user32.dll"), "RegisterRawInputDevices");
    if (!registerDevices)
        return;
    RAWINPUTDEVICE device{kGenericDesktopPage, kKeyboardUsage, flags, window};
    registerDevices(&device, 1, sizeof device);
}

} // namespace

void HookGuard::attach(HWND mainWindow) {
    window = mainWindow;
    givenUp = false;
    watchdog.hookInstalled(utils::tickCount());
    listenToRawInput(true);
    sessionLibrary.reset(loadSystemLibrary(L"wtsapi32.dll"));
    auto notify = libraryFunction<SessionNotificationFunction>(sessionLibrary.get(),
                                                               "WTSRegisterSessionNotification");
    if (notify)
        notify(window, kThisSessionOnly);
}

void HookGuard::detach() {
    if (!window)
        return;
    stopChecking();
    ::KillTimer(window, kRawInputTimer);
    listenToRawInput(false);
    auto unregister = libraryFunction<SessionUnregisterFunction>(
        sessionLibrary.get(), "WTSUnRegisterSessionNotification");
    if (unregister)
        unregister(window);
    sessionLibrary.reset();
    window = nullptr;
}

void HookGuard::onHookMessage() {
    watchdog.keyRecordArrived(utils::tickCount());
    if (hearingRawInput && window) {
        listenToRawInput(false);
        ::SetTimer(window, kRawInputTimer, HookWatchdog::kAnswerMs, nullptr);
    }
}

void HookGuard::listenToRawInput(bool on) {
    if (on == hearingRawInput)
        return;
    if (on)
        registerRawKeyboard(window, RIDEV_INPUTSINK);
    else
        registerRawKeyboard(nullptr, RIDEV_REMOVE);
    hearingRawInput = on;
}

void HookGuard::onRawInput() {
    if (!window)
        return;
    watchdog.keyTyped(utils::tickCount());
    if (watchdog.awaitsAnswer())
        startChecking();
}

void HookGuard::startChecking() {
    if (checking || !window)
        return;
    checking = ::SetTimer(window, kHookCheckTimer, kCheckMilliseconds, nullptr) != 0;
}

void HookGuard::stopChecking() {
    if (checking && window)
        ::KillTimer(window, kHookCheckTimer);
    checking = false;
}

bool HookGuard::onTimer(UINT_PTR id) {
    if (id == kRawInputTimer) {
        if (window && watchdog.needsRawInput(utils::tickCount())) {
            ::KillTimer(window, kRawInputTimer);
            listenToRawInput(true);
        }
        return true;
    }
    if (id != kHookCheckTimer)
        return false;
    if (window && !givenUp && watchdog.hookSeemsLost(utils::tickCount()))
        reinstall();
    if (!watchdog.awaitsAnswer() || givenUp)
        stopChecking();
    return true;
}

void HookGuard::onPowerBroadcast(WPARAM event) {
    if (event == PBT_APMRESUMEAUTOMATIC || event == PBT_APMRESUMESUSPEND)
        reinstall();
}

void HookGuard::onSessionChange(WPARAM event) {
    if (event == WTS_SESSION_UNLOCK || event == WTS_SESSION_LOGON)
        reinstall();
}

void HookGuard::reinstall() {
    if (!window || givenUp)
        return;
    if (hook.reinstall(window)) {
        watchdog.hookInstalled(utils::tickCount());
        return;
    }
    givenUp = true;
    std::wstring text =
        LocalizationManager::instance()->getBundle(L"Messages").getString(L"Error.cannotSetHook");
    ui::PlacedMessageBox::show(window, text, kProductName, MB_OK | MB_ICONWARNING);
}

} // namespace keywhirl

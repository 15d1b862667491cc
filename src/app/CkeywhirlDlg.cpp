// src/app/CkeywhirlDlg.cpp
#include "app/CkeywhirlDlg.h"

#include "app/HelpFileChoice.h"
#include "app/SingleInstance.h"
#include "app/SplashHolder.h"
#include "about/AboutDlg.h"
#include "app/TrayMenu.h"
#include "localization/LocalizationManager.h"
#include "resource.h"
#include "settings/FileResources.h"
#include "settings/Paths.h"
#include "settings/Registry.h"
#include "settings/Settings.h"
#include "settings/SettingsDlg.h"
#include "sound/ClickPlayer.h"

#include <shellapi.h>

namespace keywhirl {

namespace {
constexpr UINT kTrayIconId = 128;
constexpr UINT_PTR kWakeTimer = 1;
constexpr UINT kWakeMilliseconds = 50;
// While the shell is still starting at logon it refuses the icon; it is
// offered again every second for a minute.
constexpr UINT_PTR kTrayRetryTimer = 3;
constexpr UINT kTrayRetryMilliseconds = 1000;
constexpr int kTrayRetries = 60;
constexpr UINT_PTR kWeakKeysTimer = 4;
constexpr UINT kWeakKeysSaveMilliseconds = 10 * 60 * 1000;
constexpr DWORD kStartPauseMilliseconds = 3000;
// The size of NOTIFYICONDATAW up to and including the item GUID.
constexpr DWORD kNotifyIconDataSize = 952;
constexpr UINT kKeySelect = WM_USER + 1; // NIN_KEYSELECT
constexpr DWORD kHelpContext = 0x20066;
const wchar_t kProductName[] = L"Keywhirl";
const wchar_t kRunValuePath[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run\\Keywhirl";

// The running program file's full path, quoted: an unquoted path with a
// space is read by the shell as a program name plus arguments.
std::wstring quotedProgramPath() {
    wchar_t path[MAX_PATH + 1] = {};
    DWORD length = ::GetModuleFileNameW(nullptr, path, MAX_PATH + 1);
    if (length == 0 || length > MAX_PATH)
        return L"\"" + getProgramFolder() + L"\\Keywhirl.exe\"";
    return L"\"" + std::wstring(path, length) + L"\"";
}

NOTIFYICONDATAW trayIconData(HWND window) {
    NOTIFYICONDATAW data = {};
    data.cbSize = kNotifyIconDataSize;
    data.hWnd = window;
    data.uID = kTrayIconId;
    return data;
}
} // namespace

CkeywhirlDlg::CkeywhirlDlg()
    : bigIcon(::LoadIconW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDI_KEYWHIRL))),
      smallIcon(static_cast<HICON>(::LoadImageW(::GetModuleHandleW(nullptr),
                                                MAKEINTRESOURCEW(IDI_KEYWHIRL), IMAGE_ICON, 16, 16,
                                                LR_DEFAULTCOLOR))) {}

CkeywhirlDlg::~CkeywhirlDlg() {
    controller.reset();
}

INT_PTR CkeywhirlDlg::run() {
    return runModal(IDD_KEYWHIRL_DIALOG, nullptr);
}

bool CkeywhirlDlg::onInitDialog() {
    try {
        return initialise();
    } catch (...) {
        // Whatever failed, the program never runs on half started.
        ResourceBundle messages = LocalizationManager::instance()->getBundle(L"Messages");
        std::wstring text = messages.getString(L"Error.cannotStart") + L"\n" +
                            messages.getString(L"Error.keywhirlWillClose");
        ::MessageBoxW(handle(), text.c_str(), kProductName, MB_OK | MB_ICONERROR | MB_TOPMOST);
        abandonStart();
        return false;
    }
}

void CkeywhirlDlg::abandonStart() {
    // A start that ends early leaves the user's settings and logon value
    // as they were.
    Settings::keepFileUnchanged();
    if (splash)
        splash->hide(nullptr);
    endDialog(IDCANCEL);
}

bool CkeywhirlDlg::initialise() {
    ::Sleep(kStartPauseMilliseconds);
    HWND window = handle();
    send(WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(bigIcon.get()));
    send(WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(bigIcon.get()));

    FileResources::instance();
    taskbarCreatedMessage = ::RegisterWindowMessageW(L"TaskbarCreated");
    showTrayIcon();

    controller = std::make_unique<KeywhirlController>(window);
    HWND keyboard = controller->keyboardWindow();
    if (!keyboard || !::IsWindow(keyboard)) {
        // The keyboard has reported its missing picture and closed this
        // window.
        abandonStart();
        return false;
    }
    controller->start();
    controller->setPriority(THREAD_PRIORITY_NORMAL);
    startWeakKeys();

    if (hook.set(window)) {
        hookGuard.attach(window);
    } else {
        std::wstring text = LocalizationManager::instance()
                                ->getBundle(L"Messages")
                                .getString(L"Error.cannotSetHook");
        ::MessageBoxW(window, text.c_str(), kProductName, MB_OK);
    }
    setTimer(kWakeTimer, kWakeMilliseconds);
    setTimer(kWeakKeysTimer, kWeakKeysSaveMilliseconds);

    addKeyHandlers();
    createStatisticsWindow();
    applyAutorun();
    if (splash)
        splash->hide(nullptr);
    // No default focus: the window is never shown, and the user may be
    // typing in another program.
    return false;
}

void CkeywhirlDlg::addKeyHandlers() {
    clickPlayer().init(handle());
    controller->addKeyHandler(&clickPlayer());
    // Removed first, so that no monitor is ever in the list twice.
    for (Monitor* monitor : statistics.getMonitors()) {
        controller->removeKeyHandler(monitor);
        controller->addKeyHandler(monitor);
    }
    if (weakKeys) {
        controller->removeKeyHandler(weakKeys.get());
        controller->addKeyHandler(weakKeys.get());
    }
}

void CkeywhirlDlg::startWeakKeys() {
    weakKeys = std::make_unique<WeakKeyRecorder>(&Settings::instance()->keyboardWaitInterval);
    weakKeyStore = std::make_unique<WeakKeyStore>(WeakKeyStore::defaultPath());
    // An unreadable file is set aside inside; the record then starts empty.
    weakKeyStore->load(*weakKeys);
    controller->keyboardDialog().setWeakKeys(weakKeys.get());
}

void CkeywhirlDlg::toggleWeakKeys() {
    Settings* settings = Settings::instance();
    settings->showWeakKeys = !settings->showWeakKeys.load(std::memory_order_relaxed);
    if (controller)
        controller->keyboardDialog().refreshWeakKeys();
}

void CkeywhirlDlg::resetWeakKeys() {
    if (dialogOpen || !weakKeys)
        return;
    dialogOpen = true;
    std::wstring question = LocalizationManager::instance()
                                ->getBundle(L"Messages")
                                .getString(L"Question.resetWeakKeys");
    int answer = ::MessageBoxW(handle(), question.c_str(), kProductName,
                               MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2);
    dialogOpen = false;
    if (answer != IDYES)
        return;
    weakKeys->clear();
    // Gone for good, also if the program should not get to its exit.
    saveWeakKeys(true);
    if (controller)
        controller->keyboardDialog().refreshWeakKeys();
}

void CkeywhirlDlg::saveWeakKeys(bool always) {
    if (!weakKeys || !weakKeyStore)
        return;
    bool changed = weakKeys->takeChanged();
    if ((changed || always) && !weakKeyStore->save(*weakKeys) && changed)
        weakKeys->markChanged();
}

void CkeywhirlDlg::createStatisticsWindow() {
    statisticsWindow.create(handle());
    for (Monitor* monitor : statistics.getMonitors())
        statisticsWindow.addMonitor(monitor);
    bool shown = Settings::instance()->showShortStatistics.load(std::memory_order_relaxed);
    // The user is typing elsewhere: the window must not take the focus.
    statisticsWindow.show(shown ? SW_SHOWNOACTIVATE : SW_HIDE);
}

bool CkeywhirlDlg::addTrayIcon() {
    NOTIFYICONDATAW data = trayIconData(handle());
    data.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    data.uCallbackMessage = kTrayCallbackMessage;
    data.hIcon = smallIcon.get();
    ::lstrcpynW(data.szTip, kProductName, ARRAYSIZE(data.szTip));
    return ::Shell_NotifyIconW(NIM_ADD, &data) != FALSE;
}

void CkeywhirlDlg::showTrayIcon() {
    if (addTrayIcon())
        return;
    trayRetriesLeft = kTrayRetries;
    setTimer(kTrayRetryTimer, kTrayRetryMilliseconds);
}

void CkeywhirlDlg::retryTrayIcon() {
    // A shell that answers late may have taken the icon all the same; then
    // only a change finds it.
    NOTIFYICONDATAW data = trayIconData(handle());
    data.uFlags = NIF_TIP;
    ::lstrcpynW(data.szTip, kProductName, ARRAYSIZE(data.szTip));
    bool present = ::Shell_NotifyIconW(NIM_MODIFY, &data) || addTrayIcon();
    if (present || --trayRetriesLeft <= 0) {
        trayRetriesLeft = 0;
        killTimer(kTrayRetryTimer);
    }
}

void CkeywhirlDlg::removeTrayIcon() {
    NOTIFYICONDATAW data = trayIconData(handle());
    data.uFlags = NIF_ICON;
    ::Shell_NotifyIconW(NIM_DELETE, &data);
}

void CkeywhirlDlg::applyAutorun() {
    registry_string<std::wstring> runValue(kRunValuePath, HKEY_CURRENT_USER);
    if (Settings::instance()->autoRun.load(std::memory_order_relaxed))
        runValue.set(quotedProgramPath());
    else if (runValue.exists())
        runValue.remove();
}

bool CkeywhirlDlg::onMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    // A later start tells this window from our message boxes by asking.
    if (message == SingleInstance::identifyMessage()) {
        result = SingleInstance::kMainWindowAnswer;
        return true;
    }
    switch (message) {
    case WM_COPYDATA:
        hookGuard.onHookMessage();
        if (controller && lParam)
            controller->receive(*reinterpret_cast<const COPYDATASTRUCT*>(lParam));
        return false;
    case WM_TIMER:
        if (wParam == kTrayRetryTimer) {
            retryTrayIcon();
            return false;
        }
        if (wParam == kWeakKeysTimer) {
            saveWeakKeys(false);
            return false;
        }
        if (controller && controller->isSuspended())
            controller->wake();
        hookGuard.onTimer();
        return false;
    case WM_INPUT:
        hookGuard.onRawInput();
        return false; // the platform frees the input's data
    case WM_POWERBROADCAST:
        hookGuard.onPowerBroadcast(wParam);
        return false;
    case WM_WTSSESSION_CHANGE:
        hookGuard.onSessionChange(wParam);
        return false;
    case kTrayCallbackMessage:
        onTrayIcon(static_cast<UINT>(lParam));
        result = 0;
        return true;
    case kShowKeyboardMessage:
        if (controller) {
            HWND keyboard = controller->keyboardWindow();
            if (keyboard && ::IsWindowVisible(keyboard))
                controller->refreshKeyboard();
            else
                controller->toggleKeyboard();
        }
        result = 0;
        return true;
    case WM_WINDOWPOSCHANGING: {
        // The modal loop tries to show the window; it stays hidden, and it
        // never takes the focus from the program the user is typing in.
        auto* position = reinterpret_cast<WINDOWPOS*>(lParam);
        position->flags &= ~SWP_SHOWWINDOW;
        position->flags |= SWP_NOACTIVATE;
        return false;
    }
    case WM_CLOSE:
        endDialog(IDCANCEL);
        result = 0;
        return true;
    case WM_ENDSESSION:
        // A cancelled end of the session leaves the program running as it was.
        if (wParam) {
            // As at a normal exit, the keyboard window goes first: it keeps
            // its position and visibility in the settings that shutdown saves.
            if (HWND keyboard = controller ? controller->keyboardWindow() : nullptr)
                ::DestroyWindow(keyboard);
            shutdown();
        }
        return false;
    case WM_QUERYDRAGICON:
        result = reinterpret_cast<LRESULT>(bigIcon.get());
        return true;
    default:
        if (message == taskbarCreatedMessage && taskbarCreatedMessage != 0) {
            // Explorer restarted: the icon has to be added again.
            showTrayIcon();
            return true;
        }
        return false;
    }
}

void CkeywhirlDlg::onTrayIcon(UINT mouseMessage) {
    switch (mouseMessage) {
    case WM_LBUTTONUP:
        if (controller)
            controller->toggleKeyboard();
        break;
    case WM_MBUTTONUP:
        toggleStatistics();
        break;
    case WM_RBUTTONUP:
    case WM_CONTEXTMENU:
    case kKeySelect:
        showTrayMenu();
        break;
    default:
        break;
    }
}

void CkeywhirlDlg::showTrayMenu() {
    HMENU popup = buildTrayMenu();
    if (!popup)
        return;
    POINT cursor;
    ::GetCursorPos(&cursor);
    // The menu needs the foreground to close when the user clicks elsewhere.
    HWND previous = ::GetForegroundWindow();
    ::SetForegroundWindow(handle());
    UINT command = static_cast<UINT>(
        ::TrackPopupMenu(popup, TPM_RIGHTALIGN | TPM_RIGHTBUTTON | TPM_RETURNCMD | TPM_NONOTIFY,
                         cursor.x, cursor.y, 0, handle(), nullptr));
    post(WM_NULL);
    // Afterwards the program the user was typing in gets the keys back,
    // unless the command opens a window of ours, which takes them itself.
    bool opensWindow =
        command == ID_TRAY_SETTINGS || command == ID_TRAY_ABOUT || command == ID_TRAY_HELP;
    if (!opensWindow && previous && previous != handle() && ::IsWindow(previous) &&
        ::IsWindowVisible(previous) && ::GetForegroundWindow() == handle())
        ::SetForegroundWindow(previous);
    if (command != 0)
        onCommand(static_cast<int>(command), 0, nullptr);
}

void CkeywhirlDlg::toggleStatistics() {
    Settings* settings = Settings::instance();
    bool shown = !settings->showShortStatistics.load(std::memory_order_relaxed);
    settings->showShortStatistics = shown;
    if (statisticsWindow.exists())
        statisticsWindow.show(shown ? SW_SHOWNOACTIVATE : SW_HIDE);
}

void CkeywhirlDlg::openHelp() {
    using HtmlHelpFunction = HWND(WINAPI*)(HWND, LPCWSTR, UINT, DWORD_PTR);
    static HMODULE helpControl = loadSystemLibrary(L"hhctrl.ocx");
    if (!helpControl)
        return;
    auto htmlHelp = reinterpret_cast<HtmlHelpFunction>(
        reinterpret_cast<void*>(::GetProcAddress(helpControl, "HtmlHelpW")));
    if (!htmlHelp)
        return;
    wchar_t path[MAX_PATH + 1] = {};
    DWORD length = ::GetModuleFileNameW(nullptr, path, MAX_PATH + 1);
    const std::wstring helpFile = helpFileFor(
        std::wstring(path, length), LocalizationManager::instance()->getCurrentLocale().toString());
    constexpr UINT kHelpContextCommand = 0x000F; // HH_HELP_CONTEXT
    htmlHelp(handle(), helpFile.c_str(), kHelpContextCommand, kHelpContext);
}

void CkeywhirlDlg::openSettings() {
    if (dialogOpen || !controller)
        return;
    dialogOpen = true;
    SettingsDlg settings(controller->keyboardWindow(), statisticsWindow.handle());
    settings.run(handle());
    dialogOpen = false;
}

void CkeywhirlDlg::openAbout() {
    if (dialogOpen)
        return;
    dialogOpen = true;
    AboutDlg about;
    about.run(handle());
    dialogOpen = false;
}

bool CkeywhirlDlg::onCommand(int id, int, HWND) {
    Settings* settings = Settings::instance();
    auto flip = [](std::atomic<bool>& setting) {
        setting = !setting.load(std::memory_order_relaxed);
    };
    switch (id) {
    case ID_TRAY_AUTOPOPUP:
        flip(settings->keyboardAutoPopupping);
        return true;
    case ID_TRAY_METRONOME:
        flip(settings->metronomeRunning);
        if (controller)
            controller->wakeMetronome();
        return true;
    case ID_TRAY_KEYPRESS_SOUND:
        flip(settings->enableKeyPressSound);
        return true;
    case ID_TRAY_SHOW_STATISTICS:
        toggleStatistics();
        return true;
    case ID_TRAY_AUTORUN:
        flip(settings->autoRun);
        applyAutorun();
        return true;
    case ID_TRAY_WEAK_KEYS:
        toggleWeakKeys();
        return true;
    case ID_TRAY_RESET_WEAK_KEYS:
        resetWeakKeys();
        return true;
    case ID_TRAY_SETTINGS:
        openSettings();
        return true;
    case ID_TRAY_ABOUT:
        openAbout();
        return true;
    case ID_TRAY_HELP:
        openHelp();
        return true;
    case ID_TRAY_EXIT:
        endDialog(IDCANCEL);
        return true;
    default:
        return false;
    }
}

void CkeywhirlDlg::onDestroy() {
    shutdown();
}

void CkeywhirlDlg::shutdown() {
    killTimer(kWakeTimer);
    killTimer(kTrayRetryTimer);
    trayRetriesLeft = 0;
    killTimer(kWeakKeysTimer);
    statisticsWindow.detachMonitors();
    hookGuard.detach();
    hook.clear(handle());
    if (controller) {
        controller->stopAndWait();
        controller->stopMetronome();
    }
    // Once the dispatcher has delivered its last key.
    saveWeakKeys(true);
    clickPlayer().stop();
    removeTrayIcon();
    Settings::instance();
    Settings::destroyInstance();
}

} // namespace keywhirl

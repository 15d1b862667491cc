// src/app/CkeywhirlDlg.cpp
#include "app/CkeywhirlDlg.h"

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
// Looks every 30 s whether the history is due to be saved (every 10 minutes
// and when the date has changed).
constexpr UINT_PTR kHistoryTimer = 21;
constexpr UINT kHistoryCheckMilliseconds = 30000;
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
    ::Sleep(kStartPauseMilliseconds);
    HWND window = handle();
    send(WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(bigIcon.get()));
    send(WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(bigIcon.get()));

    FileResources::instance();
    taskbarCreatedMessage = ::RegisterWindowMessageW(L"TaskbarCreated");
    addTrayIcon();

    controller = std::make_unique<KeywhirlController>(window);
    controller->start();
    controller->setPriority(THREAD_PRIORITY_NORMAL);

    if (!hook.set(window)) {
        std::wstring text = LocalizationManager::instance()
                                ->getBundle(L"Messages")
                                .getString(L"Error.cannotSetHook");
        ::MessageBoxW(window, text.c_str(), kProductName, MB_OK);
    }
    setTimer(kWakeTimer, kWakeMilliseconds);

    startHistory();
    addKeyHandlers();
    createStatisticsWindow();
    applyAutorun();
    if (splash)
        splash->hide(nullptr);
    return true;
}

void CkeywhirlDlg::addKeyHandlers() {
    clickPlayer().init(handle());
    controller->addKeyHandler(&clickPlayer());
    // Removed first, so that no monitor is ever in the list twice.
    for (Monitor* monitor : statistics.getMonitors()) {
        controller->removeKeyHandler(monitor);
        controller->addKeyHandler(monitor);
    }
    if (dayRecorder) {
        controller->removeKeyHandler(dayRecorder.get());
        controller->addKeyHandler(dayRecorder.get());
    }
}

void CkeywhirlDlg::startHistory() {
    dayRecorder = std::make_unique<DayRecorder>(Settings::instance()->keyboardWaitInterval);
    typingHistory = std::make_unique<TypingHistory>(TypingHistory::defaultPath(), *dayRecorder);
    typingHistory->load();
    historyWindow = std::make_unique<HistoryDlg>(*typingHistory);
    setTimer(kHistoryTimer, kHistoryCheckMilliseconds);
}

void CkeywhirlDlg::openHistory() {
    if (historyWindow)
        historyWindow->open(handle());
}

void CkeywhirlDlg::createStatisticsWindow() {
    statisticsWindow.create(handle());
    for (Monitor* monitor : statistics.getMonitors())
        statisticsWindow.addMonitor(monitor);
    bool shown = Settings::instance()->showShortStatistics.load(std::memory_order_relaxed);
    statisticsWindow.show(shown ? SW_SHOW : SW_HIDE);
}

void CkeywhirlDlg::addTrayIcon() {
    NOTIFYICONDATAW data = trayIconData(handle());
    data.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    data.uCallbackMessage = kTrayCallbackMessage;
    data.hIcon = smallIcon.get();
    ::lstrcpynW(data.szTip, kProductName, ARRAYSIZE(data.szTip));
    ::Shell_NotifyIconW(NIM_ADD, &data);
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
        if (controller && lParam)
            controller->receive(*reinterpret_cast<const COPYDATASTRUCT*>(lParam));
        return false;
    case WM_TIMER:
        if (wParam == kHistoryTimer) {
            if (typingHistory)
                typingHistory->saveIfDue();
            return false;
        }
        if (controller && controller->isSuspended())
            controller->wake();
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
    case WM_WINDOWPOSCHANGING:
        // The modal loop tries to show the window; it stays hidden.
        reinterpret_cast<WINDOWPOS*>(lParam)->flags &= ~SWP_SHOWWINDOW;
        return false;
    case WM_CLOSE:
        endDialog(IDCANCEL);
        result = 0;
        return true;
    case WM_ENDSESSION:
        // A cancelled end of the session leaves the program running as it was.
        if (wParam)
            shutdown();
        return false;
    case WM_QUERYDRAGICON:
        result = reinterpret_cast<LRESULT>(bigIcon.get());
        return true;
    default:
        if (message == taskbarCreatedMessage && taskbarCreatedMessage != 0) {
            // Explorer restarted: the icon has to be added again.
            addTrayIcon();
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
    ::SetForegroundWindow(handle());
    ::TrackPopupMenu(popup, TPM_RIGHTALIGN | TPM_RIGHTBUTTON, cursor.x, cursor.y, 0, handle(),
                     nullptr);
    post(WM_NULL);
}

void CkeywhirlDlg::toggleStatistics() {
    Settings* settings = Settings::instance();
    bool shown = !settings->showShortStatistics.load(std::memory_order_relaxed);
    settings->showShortStatistics = shown;
    if (statisticsWindow.exists())
        statisticsWindow.show(shown ? SW_SHOW : SW_HIDE);
}

void CkeywhirlDlg::openHelp() {
    using HtmlHelpFunction = HWND(WINAPI*)(HWND, LPCWSTR, UINT, DWORD_PTR);
    static HMODULE helpControl = ::LoadLibraryW(L"hhctrl.ocx");
    if (!helpControl)
        return;
    auto htmlHelp = reinterpret_cast<HtmlHelpFunction>(
        reinterpret_cast<void*>(::GetProcAddress(helpControl, "HtmlHelpW")));
    if (!htmlHelp)
        return;
    wchar_t path[MAX_PATH + 1] = {};
    DWORD length = ::GetModuleFileNameW(nullptr, path, MAX_PATH + 1);
    std::wstring helpFile(path, length);
    size_t dot = helpFile.find_last_of(L'.');
    if (dot != std::wstring::npos)
        helpFile.erase(dot);
    helpFile += L".CHM";
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
    case ID_TRAY_SETTINGS:
        openSettings();
        return true;
    case ID_TRAY_ABOUT:
        openAbout();
        return true;
    case ID_TRAY_HISTORY:
        openHistory();
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
    killTimer(kHistoryTimer);
    statisticsWindow.detachMonitors();
    hook.clear(handle());
    if (controller) {
        controller->stopAndWait();
        controller->stopMetronome();
    }
    // Every key the dispatcher delivered is counted by now.
    if (typingHistory)
        typingHistory->save();
    clickPlayer().stop();
    removeTrayIcon();
    Settings::instance();
    Settings::destroyInstance();
}

} // namespace keywhirl

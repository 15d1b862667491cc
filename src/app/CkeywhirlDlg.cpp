// src/app/CkeywhirlDlg.cpp
#include "app/CkeywhirlDlg.h"

#include "ui/AppMessages.h"
#include "ui/QuestionBox.h"
#include "app/AutorunValue.h"
#include "app/GreyIcon.h"
#include "app/HelpLauncher.h"
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
#include "ui/PlacedMessageBox.h"

#include <shellapi.h>

#include <algorithm>

namespace keywhirl {

namespace {
constexpr UINT kWeakKeysSaveMilliseconds = 10 * 60 * 1000;
// The history is looked at every 30 s: saved every 10 minutes and when the
// date has changed.
constexpr UINT kHistoryCheckMilliseconds = 30000;
constexpr DWORD kStartPauseMilliseconds = 3000;
// A window that goes full screen in place is seen within this time.
constexpr UINT kQuietCheckMilliseconds = 1000;

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
        ui::PlacedMessageBox::show(handle(), text, kProductName, MB_OK | MB_ICONERROR | MB_TOPMOST);
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
    trayIcon.show(window);
    // Judged before the keyboard's first wait can end.
    foregroundWatcher.start();
    refreshQuiet();
    followFullScreen();

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
        // Topmost, so that it stands above the start-up picture.
        ui::PlacedMessageBox::show(window, text, kProductName, MB_OK | MB_ICONWARNING | MB_TOPMOST);
    }
    setTimer(kWeakKeysTimer, kWeakKeysSaveMilliseconds);

    startHistory();
    addKeyHandlers();
    createStatisticsWindow();
    applyAutorun();
    if (splash)
        splash->hide(nullptr);
    started.raise();
    // No default focus: the window is never shown, and the user may be
    // typing in another program.
    return false;
}

void CkeywhirlDlg::addKeyHandlers() {
    // The sound device is opened only while the click is on: its mixer
    // costs processor time even when nothing plays.
    clickPlayer().switchTo(Settings::instance()->enableKeyPressSound.load(), handle());
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
    const ResourceBundle messages = LocalizationManager::instance()->getBundle(L"Messages");
    int answer =
        ui::askYesOrNo(handle(), messages.getString(L"Question.resetWeakKeys"), kProductName,
                       messages.getString(L"Button.yes"), messages.getString(L"Button.no"));
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

void CkeywhirlDlg::applyAutorun() {
    AutorunValue::apply(Settings::instance()->autoRun.load(std::memory_order_relaxed));
}

bool CkeywhirlDlg::onMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    // A later start tells this window from our message boxes by asking.
    if (message == SingleInstance::identifyMessage()) {
        result = kMainWindowAnswer;
        return true;
    }
    switch (message) {
    case WM_COPYDATA:
        hookGuard.onHookMessage();
        if (controller && lParam)
            controller->receive(*reinterpret_cast<const COPYDATASTRUCT*>(lParam));
        return false;
    case WM_TIMER:
        if (trayIcon.onTimer(wParam))
            return false;
        if (wParam == kWeakKeysTimer) {
            saveWeakKeys(false);
            return false;
        }
        if (wParam == kQuietTimer) {
            refreshQuiet();
            return false;
        }
        if (wParam == kHistoryTimer) {
            if (typingHistory)
                typingHistory->saveIfDue();
            return false;
        }
        hookGuard.onTimer(wParam);
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
        return trayIcon.onShellMessage(message);
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
    case kTrayKeySelect:
        showTrayMenu(handle());
        break;
    default:
        break;
    }
}

void CkeywhirlDlg::toggleStatistics() {
    Settings* settings = Settings::instance();
    bool shown = !settings->showShortStatistics.load(std::memory_order_relaxed);
    settings->showShortStatistics = shown;
    if (statisticsWindow.exists())
        statisticsWindow.show(shown ? SW_SHOWNOACTIVATE : SW_HIDE);
}

void CkeywhirlDlg::openSettings() {
    if (dialogOpen || !controller)
        return;
    dialogOpen = true;
    SettingsDlg settings(controller->keyboardWindow(), statisticsWindow.handle());
    settings.run(handle());
    dialogOpen = false;
    // The list of ignored programs may have changed.
    refreshQuiet();
    // A shorter wait interval or beat applies to the pause under way, too.
    controller->wake();
    controller->wakeMetronome();
}

void CkeywhirlDlg::refreshQuiet() {
    foregroundWatcher.refresh(Settings::instance()->ignoredPrograms);
}

void CkeywhirlDlg::followFullScreen() {
    // Full screen holds back only the hint, the click and the beat: with
    // all three off the timer would wake the program for nothing.
    Settings* settings = Settings::instance();
    if (settings->keyboardAutoPopupping.load(std::memory_order_relaxed) ||
        settings->enableKeyPressSound.load(std::memory_order_relaxed) ||
        settings->metronomeRunning.load(std::memory_order_relaxed))
        setTimer(kQuietTimer, kQuietCheckMilliseconds);
    else
        killTimer(kQuietTimer);
}

void CkeywhirlDlg::togglePause() {
    QuietState& state = QuietState::current();
    const bool paused = !state.isPaused();
    state.setPaused(paused);
    refreshQuiet();
    if (paused && !pausedIcon)
        pausedIcon.reset(makeGreyIcon(smallIcon.get()));
    std::wstring tip;
    if (paused)
        tip = LocalizationManager::instance()->getBundle(L"MainMenu").getString(L"pausedTip");
    trayIcon.change(paused && pausedIcon ? pausedIcon.get() : smallIcon.get(), tip);
}

void CkeywhirlDlg::toggleIgnoredProgram() {
    const std::wstring program = ignorableProgram();
    if (program.empty())
        return;
    std::vector<std::wstring>& ignored = Settings::instance()->ignoredPrograms;
    const std::vector<std::wstring> named{program};
    if (isProgramIgnored(program, ignored))
        ignored.erase(std::remove_if(ignored.begin(), ignored.end(),
                                     [&](const std::wstring& entry) {
                                         return isProgramIgnored(entry, named);
                                     }),
                      ignored.end());
    else
        ignored.push_back(program);
    refreshQuiet();
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
        // Switched on, the hint comes after a full pause from now.
        if (controller)
            controller->restartHintWait();
        followFullScreen();
        return true;
    case ID_TRAY_METRONOME:
        flip(settings->metronomeRunning);
        if (controller)
            controller->wakeMetronome();
        followFullScreen();
        return true;
    case ID_TRAY_KEYPRESS_SOUND:
        flip(settings->enableKeyPressSound);
        clickPlayer().switchTo(settings->enableKeyPressSound.load(), handle());
        followFullScreen();
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
    case ID_TRAY_HISTORY:
        openHistory();
        return true;
    case ID_TRAY_HELP:
        HelpLauncher::open(handle());
        return true;
    case ID_TRAY_PAUSE:
        togglePause();
        return true;
    case ID_TRAY_IGNORE_PROGRAM:
        toggleIgnoredProgram();
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
    killTimer(kWeakKeysTimer);
    killTimer(kHistoryTimer);
    killTimer(kQuietTimer);
    foregroundWatcher.stop();
    statisticsWindow.detachMonitors();
    hookGuard.detach();
    hook.clear(handle());
    if (controller) {
        controller->stopAndWait();
        controller->stopMetronome();
    }
    // Once the dispatcher has delivered its last key.
    saveWeakKeys(true);
    // Every key the dispatcher delivered is counted by now.
    if (typingHistory)
        typingHistory->save();
    clickPlayer().stop();
    trayIcon.remove();
    Settings::instance();
    Settings::destroyInstance();
}

} // namespace keywhirl

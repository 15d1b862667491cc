// src/app/CkeywhirlDlg.h - the hidden main window: tray icon, key events, commands.
#pragma once

#include "app/ForegroundWatcher.h"
#include "app/HookGuard.h"
#include "app/HookLibrary.h"
#include "app/StartedSignal.h"
#include "app/TrayIcon.h"
#include "history/DayRecorder.h"
#include "history/HistoryDlg.h"
#include "history/TypingHistory.h"
#include "input/Desktop.h"
#include "input/KeywhirlController.h"
#include "input/QuietState.h"
#include "statistics/Statistics.h"
#include "statistics/StatisticsDlg.h"
#include "ui/Dialog.h"
#include "utils/Handles.h"
#include "weakkeys/WeakKeyRecorder.h"
#include "weakkeys/WeakKeyStore.h"

#include <memory>

namespace keywhirl {

class SplashHolder;

// Never shown. It owns the tray icon and the key event dispatcher, receives
// the hook library's key records and carries out the tray menu's commands.
class CkeywhirlDlg : public ui::Dialog {
public:
    CkeywhirlDlg();
    ~CkeywhirlDlg() override;

    // Runs the window modally; the program ends when it returns.
    INT_PTR run();
    void setSplash(SplashHolder* holder) { splash = holder; }

    // Writes or deletes the Run value that starts the program at logon,
    // as the setting says.
    static void applyAutorun();

protected:
    bool onMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;
    bool onInitDialog() override;
    bool onCommand(int id, int code, HWND control) override;
    // Enter and Escape never end the program; WM_CLOSE does.
    void onOk() override {}
    void onCancel() override {}
    void onDestroy() override;

private:
    // Everything the window's initialisation does; it may throw.
    bool initialise();
    // Ends a start that cannot go on, writing nothing.
    void abandonStart();
    void addKeyHandlers();
    void startHistory();
    void openHistory();
    void createStatisticsWindow();
    void onTrayIcon(UINT mouseMessage);
    void toggleStatistics();
    void startWeakKeys();
    void toggleWeakKeys();
    void resetWeakKeys();
    // Writes WeakKeys.ini; unless always, only when something changed.
    void saveWeakKeys(bool always);
    void openSettings();
    // The tray menu's pause: nothing counted or shown, the icon greyed.
    void togglePause();
    // Adds the program the tray menu names to the ignored programs, or
    // takes it off again.
    void toggleIgnoredProgram();
    void refreshQuiet();
    // Looks again every second whether the foreground went full screen in
    // place, while something that full screen silences is on.
    void followFullScreen();
    void openAbout();
    void shutdown();

    SplashHolder* splash = nullptr;
    StartedSignal started;
    utils::UniqueIcon bigIcon;
    utils::UniqueIcon smallIcon;
    TrayIcon trayIcon{smallIcon.get()};
    // Made at the first pause.
    utils::UniqueIcon pausedIcon;
    ForegroundWatcher foregroundWatcher{Desktop::current(), QuietState::current()};
    std::unique_ptr<KeywhirlController> controller;
    Statistics statistics;
    StatisticsDlg statisticsWindow;
    HookLibrary hook;
    HookGuard hookGuard{hook};
    // Made at initialisation, once the settings are read.
    std::unique_ptr<WeakKeyRecorder> weakKeys;
    std::unique_ptr<WeakKeyStore> weakKeyStore;
    // The tray icon still answers while a dialog is open; one at a time.
    bool dialogOpen = false;
    // The day-by-day record: counted on the dispatcher thread, kept in
    // History.csv, shown by the history window.
    std::unique_ptr<DayRecorder> dayRecorder;
    std::unique_ptr<TypingHistory> typingHistory;
    std::unique_ptr<HistoryDlg> historyWindow;
};

} // namespace keywhirl

// src/ui/AppMessages.h - every window message and id that crosses the boundary
// of one of the program's windows, with who sends it and who receives it.
#pragma once

#include <windows.h>

namespace keywhirl {

// The program's name as its windows and message boxes show it. The hidden
// main window carries it as its caption with the dialog class below: a
// later start, the uninstaller and older versions find the program by both.
inline constexpr wchar_t kProductName[] = L"Keywhirl";
inline constexpr wchar_t kMainWindowClass[] = L"#32770";

// From the shell's notification area to the main window: the tray icon's
// callback; lParam is the mouse or notification message.
inline constexpr UINT kTrayCallbackMessage = WM_USER + 1;
// From a later start of the program (sent) to the running main window:
// bring the keyboard into view.
inline constexpr UINT kShowKeyboardMessage = WM_USER + 2;
// From the settings dialog to the keyboard window: the new keyboard
// opacity, 1 to 255, in wParam.
inline constexpr UINT kSetKeyboardOpacityMessage = WM_USER + 3;
// From the settings dialog to the statistics window: the new statistics
// opacity, 1 to 255, in wParam.
inline constexpr UINT kSetStatisticsOpacityMessage = WM_USER + 4;
// From a later start to any "#32770" "Keywhirl" window: only the main
// window answers this registered message (message boxes share its class and
// caption). See SingleInstance.
inline constexpr wchar_t kIdentifyMessageName[] = L"Keywhirl.IsMainWindow";
inline constexpr LRESULT kMainWindowAnswer = 0x4B57;
// A manual-reset event, this prefix plus the decimal process id, that the
// program sets once its start has ended (StartedSignal).
inline constexpr wchar_t kStartedEventPrefix[] = L"Local\\Keywhirl.Started.";
// The hook library's WM_COPYDATA to the main window, by its dwData: a key
// record (the layout of input/KeyRecord.h), or a keyboard layout report
// whose payload is the 4-byte handle of the layout that has just become
// active.
inline constexpr ULONG_PTR kKeyRecordMessage = 1;
inline constexpr ULONG_PTR kLayoutReportMessage = 2;
// The tray menu's WM_COMMAND ids are in resources/resource.h.

// From the shell's notification area, in lParam of the tray callback: the
// icon was chosen with the keyboard (NIN_KEYSELECT, which the system's
// headers define only for newer systems).
inline constexpr UINT kTrayKeySelect = WM_USER + 1;
// Registered by the shell and sent to every top-level window when it has
// (re)started: the tray icon is added again.
inline constexpr wchar_t kTaskbarCreatedMessageName[] = L"TaskbarCreated";

// The main window's tray icon (NOTIFYICONDATA uID).
inline constexpr UINT kTrayIconId = 128;

// Timers, by the window that owns them.
// Main window: runs while typing seen through raw input waits for its key
// records, to tell when the keyboard hook has been lost.
inline constexpr UINT_PTR kHookCheckTimer = 1;
// Statistics window: repaints its rows once a second.
inline constexpr UINT_PTR kStatisticsRefreshTimer = 2;
// Main window: offers the tray icon again while the shell is starting.
inline constexpr UINT_PTR kTrayRetryTimer = 3;
// Main window: runs while key records come, to listen to raw input again
// once they stop.
inline constexpr UINT_PTR kRawInputTimer = 5;
// Main window: saves the weak-key record every ten minutes.
inline constexpr UINT_PTR kWeakKeysTimer = 4;
// Main window: saves the typing history when it is due.
inline constexpr UINT_PTR kHistoryTimer = 21;
// History window: shows today's figures anew while it is open.
inline constexpr UINT_PTR kHistoryRefreshTimer = 3;
// Main window: looks again whether the foreground program went full screen.
inline constexpr UINT_PTR kQuietTimer = 22;

// WM_SYSCOMMAND wParam that moves a window as a drag of its caption would;
// the keyboard, statistics and splash windows are dragged by their bodies.
inline constexpr WPARAM kMoveByCaption = SC_MOVE | HTCAPTION;

} // namespace keywhirl

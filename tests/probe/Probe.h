// tests/probe/Probe.h - talks to a running Keywhirl the way its outside does.
#pragma once

#include "input/KeyRecord.h"

#include <windows.h>

#include <string>
#include <vector>

namespace keywhirl::probe {

// The hidden main window, found as a second instance finds it; waits up to
// the given time for it to appear. Null if it never does.
HWND findMainWindow(DWORD waitMilliseconds);

// The hidden main window of the process (of any process for 0), told from
// the program's message boxes, which carry the same class and caption, by
// never being visible; null when there is none yet.
HWND mainWindowOf(DWORD processId);
// The splash window of the process, null when it is gone or not yet there.
HWND splashOf(DWORD processId);

// The visible top-level windows of the process that owns the main window.
std::vector<HWND> programWindows(HWND mainWindow);

// Every top-level window of the process, visible or not, front to back.
std::vector<HWND> windowsOfProcess(DWORD processId);
// The first of them for which match(window) holds; null when none does.
template <typename Match> HWND findWindowOf(DWORD processId, Match match) {
    for (HWND window : windowsOfProcess(processId))
        if (match(window))
            return window;
    return nullptr;
}

// A key record as Keywhirl.dll builds it, for a key of the US layout.
KeyRecord makeKeyRecord(UINT virtualKey, bool released, bool repeat = false, bool shift = false);

// Sends one record (dwData 1) and waits for the program to take it.
bool sendKeyRecord(HWND mainWindow, const KeyRecord& record);
// Sends a layout report (dwData 2).
bool sendLayoutReport(HWND mainWindow, HKL layout);
// Press and release of every character of the text (letters, digits, space,
// Enter as '\n', Backspace as '\b'), with the given pause between keys.
bool typeText(HWND mainWindow, const std::wstring& text, DWORD pauseMilliseconds);

// The tray icon's callback message with a mouse or notification message.
void clickTray(HWND mainWindow, UINT mouseMessage);

// A tray menu command, as if the user had chosen the item (WM_COMMAND with
// the item's id, posted: the menu's own choice does not wait either).
bool chooseMenuCommand(HWND mainWindow, UINT command);

// The application-data settings file of the current user.
std::wstring settingsFilePath();
// One value of the section "Settings" of that file; empty if missing.
std::wstring readSetting(const std::wstring& key);

} // namespace keywhirl::probe

// tests/system/app/KeywhirlProcess.h - one started Keywhirl.exe, ended when it goes.
#pragma once

#include <windows.h>

#include <map>
#include <string>

namespace keywhirl::testing {

class KeywhirlProcess {
public:
    // Starts the program file and waits up to the given time for its main
    // window (the start-up pause included).
    KeywhirlProcess(const std::wstring& programFile, DWORD waitMilliseconds = 20000);
    ~KeywhirlProcess();
    KeywhirlProcess(const KeywhirlProcess&) = delete;
    KeywhirlProcess& operator=(const KeywhirlProcess&) = delete;

    HWND mainWindow() const { return window; }
    DWORD processId() const { return process.dwProcessId; }
    bool started() const { return process.hProcess != nullptr; }
    // Waits for the process to end; false on time-out.
    bool waitForExit(DWORD milliseconds);
    DWORD exitCode() const;
    // Ends the process at once, as a crash or a power cut would.
    void kill();

private:
    PROCESS_INFORMATION process = {};
    HWND window = nullptr;
};

// The application-data settings folder of the test's Wine prefix, emptied
// (Keywhirl.ini and History.csv).
void removeKeywhirlSettings();
void writeSetting(const std::wstring& key, const std::wstring& value);

// The Run value that starts the program at logon, or empty.
std::wstring readRunValue();
void deleteRunValue();

// A top-level message box of the process whose text is shown; null if none
// appears in time. Its text is returned through text.
HWND findMessageBox(DWORD processId, DWORD waitMilliseconds, std::wstring& text);

// The statistics window of the process: its pop-up with the close button
// 1030, visible or not; null if it has none.
HWND findStatisticsWindow(DWORD processId);
// What the statistics window's rows show, title to value, read from its
// window text (one "title<TAB>value" line a row).
std::map<std::wstring, std::wstring> statisticsRows(HWND window);

} // namespace keywhirl::testing

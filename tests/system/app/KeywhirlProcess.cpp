// tests/system/app/KeywhirlProcess.cpp
#include "KeywhirlProcess.h"

#include "Probe.h"

#include <shlobj.h>

#include <sstream>

namespace keywhirl::testing {

namespace {
const wchar_t kRunKey[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run";

struct MessageBoxSearch {
    DWORD processId;
    HWND found;
};

BOOL CALLBACK findVisibleDialog(HWND window, LPARAM parameter) {
    auto* search = reinterpret_cast<MessageBoxSearch*>(parameter);
    DWORD owner = 0;
    ::GetWindowThreadProcessId(window, &owner);
    wchar_t className[32] = {};
    ::GetClassNameW(window, className, 32);
    if (owner == search->processId && ::IsWindowVisible(window) &&
        std::wstring(className) == L"#32770" && ::GetDlgItem(window, 0xFFFF)) {
        search->found = window;
        return FALSE;
    }
    return TRUE;
}

std::wstring settingsFolder() {
    wchar_t folder[MAX_PATH] = {};
    ::SHGetFolderPathW(nullptr, CSIDL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, folder);
    return std::wstring(folder) + L"\\Keywhirl";
}
} // namespace

KeywhirlProcess::KeywhirlProcess(const std::wstring& programFile, DWORD waitMilliseconds) {
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    std::wstring commandLine = L"\"" + programFile + L"\"";
    if (!::CreateProcessW(programFile.c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr,
                          nullptr, &startup, &process)) {
        process = {};
        return;
    }
    DWORD start = ::GetTickCount();
    while (!window && ::GetTickCount() - start < waitMilliseconds) {
        if (::WaitForSingleObject(process.hProcess, 50) == WAIT_OBJECT_0)
            break;
        window = probe::mainWindowOf(process.dwProcessId);
    }
    // The window exists from the start of its initialisation; a sent message
    // is answered only once that has finished (or a message box waits).
    DWORD_PTR result;
    if (window)
        ::SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_NORMAL, waitMilliseconds, &result);
    // A sent message can also be answered while the initialisation waits
    // inside a window call; its last step closes the splash.
    while (window && probe::splashOf(process.dwProcessId) &&
           ::GetTickCount() - start < waitMilliseconds)
        ::Sleep(25);
}

KeywhirlProcess::~KeywhirlProcess() {
    if (!process.hProcess)
        return;
    if (::WaitForSingleObject(process.hProcess, 0) == WAIT_TIMEOUT) {
        if (window)
            ::PostMessageW(window, WM_CLOSE, 0, 0);
        if (::WaitForSingleObject(process.hProcess, 10000) == WAIT_TIMEOUT)
            ::TerminateProcess(process.hProcess, 1);
    }
    ::CloseHandle(process.hThread);
    ::CloseHandle(process.hProcess);
}

bool KeywhirlProcess::waitForExit(DWORD milliseconds) {
    return process.hProcess &&
           ::WaitForSingleObject(process.hProcess, milliseconds) == WAIT_OBJECT_0;
}

void KeywhirlProcess::kill() {
    if (!process.hProcess)
        return;
    ::TerminateProcess(process.hProcess, 9);
    ::WaitForSingleObject(process.hProcess, 10000);
}

DWORD KeywhirlProcess::exitCode() const {
    DWORD code = STILL_ACTIVE;
    ::GetExitCodeProcess(process.hProcess, &code);
    return code;
}

void removeKeywhirlSettings() {
    std::wstring folder = settingsFolder();
    for (const wchar_t* name :
         {L"Keywhirl.ini", L"Keywhirl.ini.tmp", L"WeakKeys.ini", L"WeakKeys.ini.bad",
          L"WeakKeys.ini.tmp", L"History.csv", L"History.csv.tmp"})
        ::DeleteFileW((folder + L"\\" + name).c_str());
    ::RemoveDirectoryW(folder.c_str());
}

void writeSetting(const std::wstring& key, const std::wstring& value) {
    std::wstring folder = settingsFolder();
    ::CreateDirectoryW(folder.c_str(), nullptr);
    ::WritePrivateProfileStringW(L"Settings", key.c_str(), value.c_str(),
                                 (folder + L"\\Keywhirl.ini").c_str());
}

std::wstring readRunValue() {
    HKEY key;
    if (::RegOpenKeyExW(HKEY_CURRENT_USER, kRunKey, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return L"";
    wchar_t value[1024] = {};
    DWORD size = sizeof value - sizeof(wchar_t);
    DWORD type = 0;
    LONG result =
        ::RegQueryValueExW(key, L"Keywhirl", nullptr, &type, reinterpret_cast<BYTE*>(value), &size);
    ::RegCloseKey(key);
    return result == ERROR_SUCCESS && type == REG_SZ ? value : L"";
}

void deleteRunValue() {
    HKEY key;
    if (::RegOpenKeyExW(HKEY_CURRENT_USER, kRunKey, 0, KEY_WRITE, &key) == ERROR_SUCCESS) {
        ::RegDeleteValueW(key, L"Keywhirl");
        ::RegCloseKey(key);
    }
}

HWND findMessageBox(DWORD processId, DWORD waitMilliseconds, std::wstring& text) {
    DWORD start = ::GetTickCount();
    do {
        MessageBoxSearch search{processId, nullptr};
        ::EnumWindows(findVisibleDialog, reinterpret_cast<LPARAM>(&search));
        if (search.found) {
            wchar_t buffer[1024] = {};
            ::GetDlgItemTextW(search.found, 0xFFFF, buffer, 1024);
            text = buffer;
            return search.found;
        }
        ::Sleep(50);
    } while (::GetTickCount() - start < waitMilliseconds);
    return nullptr;
}

namespace {
struct StatisticsSearch {
    DWORD processId;
    HWND found;
};

BOOL CALLBACK findStatistics(HWND window, LPARAM parameter) {
    auto* search = reinterpret_cast<StatisticsSearch*>(parameter);
    DWORD owner = 0;
    ::GetWindowThreadProcessId(window, &owner);
    if (owner == search->processId && ::GetDlgItem(window, 1030)) {
        search->found = window;
        return FALSE;
    }
    return TRUE;
}
} // namespace

HWND findStatisticsWindow(DWORD processId) {
    StatisticsSearch search{processId, nullptr};
    ::EnumWindows(findStatistics, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

std::map<std::wstring, std::wstring> statisticsRows(HWND window) {
    wchar_t text[2048] = {};
    ::GetWindowTextW(window, text, 2048);
    std::map<std::wstring, std::wstring> rows;
    std::wistringstream lines(text);
    std::wstring line;
    while (std::getline(lines, line)) {
        if (!line.empty() && line.back() == L'\r')
            line.pop_back();
        size_t tab = line.find(L'\t');
        if (tab != std::wstring::npos)
            rows[line.substr(0, tab)] = line.substr(tab + 1);
    }
    return rows;
}

} // namespace keywhirl::testing

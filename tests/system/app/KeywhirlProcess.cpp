// tests/system/app/KeywhirlProcess.cpp
#include "KeywhirlProcess.h"

#include "Probe.h"

#include <shlobj.h>

#include <sstream>

namespace keywhirl::testing {

namespace {
const wchar_t kRunKey[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run";

// A message box: the dialog class with the static text 0xFFFF.
bool isVisibleMessageBox(HWND window) {
    wchar_t className[32] = {};
    ::GetClassNameW(window, className, 32);
    return ::IsWindowVisible(window) && std::wstring(className) == L"#32770" &&
           ::GetDlgItem(window, 0xFFFF);
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
    // Everything the program writes there: the files, their temporaries and
    // the copies set aside.
    std::wstring folder = settingsFolder();
    WIN32_FIND_DATAW found;
    HANDLE search = ::FindFirstFileW((folder + L"\\*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
                ::DeleteFileW((folder + L"\\" + found.cFileName).c_str());
        } while (::FindNextFileW(search, &found));
        ::FindClose(search);
    }
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
        if (HWND found = probe::findWindowOf(processId, isVisibleMessageBox)) {
            wchar_t buffer[1024] = {};
            ::GetDlgItemTextW(found, 0xFFFF, buffer, 1024);
            text = buffer;
            return found;
        }
        ::Sleep(50);
    } while (::GetTickCount() - start < waitMilliseconds);
    return nullptr;
}

HWND findStatisticsWindow(DWORD processId) {
    // The program's pop-up with the close button 1030.
    return probe::findWindowOf(processId,
                               [](HWND window) { return ::GetDlgItem(window, 1030) != nullptr; });
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

// tests/probe/Probe.cpp
#include "Probe.h"

#include <shlobj.h>

#include <cstring>

namespace keywhirl::probe {

namespace {
constexpr UINT kTrayCallback = WM_USER + 1;
constexpr DWORD kSendTimeout = 5000;

bool sendCopyData(HWND window, ULONG_PTR kind, const void* data, DWORD size) {
    COPYDATASTRUCT copy;
    copy.dwData = kind;
    copy.cbData = size;
    copy.lpData = const_cast<void*>(data);
    DWORD_PTR result = 0;
    return ::SendMessageTimeoutW(window, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&copy),
                                 SMTO_NORMAL, kSendTimeout, &result) != 0;
}

struct WindowSearch {
    DWORD process;
    std::vector<HWND> found;
};

BOOL CALLBACK collectWindow(HWND window, LPARAM parameter) {
    auto* search = reinterpret_cast<WindowSearch*>(parameter);
    DWORD process = 0;
    ::GetWindowThreadProcessId(window, &process);
    if (process == search->process)
        search->found.push_back(window);
    return TRUE;
}

// Virtual key for a character the probe can type; 0 if it cannot.
UINT virtualKeyFor(wchar_t c, bool& shift) {
    shift = false;
    if (c >= L'a' && c <= L'z')
        return c - L'a' + 'A';
    if (c >= L'A' && c <= L'Z') {
        shift = true;
        return c;
    }
    if (c >= L'0' && c <= L'9')
        return c;
    switch (c) {
    case L' ':
        return VK_SPACE;
    case L'\n':
        return VK_RETURN;
    case L'\b':
        return VK_BACK;
    case L'.':
        return VK_OEM_PERIOD;
    case L',':
        return VK_OEM_COMMA;
    default:
        return 0;
    }
}
} // namespace

HWND findMainWindow(DWORD waitMilliseconds) {
    DWORD start = ::GetTickCount();
    for (;;) {
        HWND window = ::FindWindowW(L"#32770", L"Keywhirl");
        if (window || ::GetTickCount() - start >= waitMilliseconds)
            return window;
        ::Sleep(50);
    }
}

namespace {
HWND firstWindowOf(DWORD processId, const wchar_t* windowClass, const wchar_t* caption,
                   bool hiddenOnly) {
    HWND window = nullptr;
    while ((window = ::FindWindowExW(nullptr, window, windowClass, caption)) != nullptr) {
        DWORD owner = 0;
        ::GetWindowThreadProcessId(window, &owner);
        if ((processId == 0 || owner == processId) && !(hiddenOnly && ::IsWindowVisible(window)))
            return window;
    }
    return nullptr;
}
} // namespace

HWND mainWindowOf(DWORD processId) {
    return firstWindowOf(processId, L"#32770", L"Keywhirl", true);
}

HWND splashOf(DWORD processId) {
    return firstWindowOf(processId, L"KeywhirlSplash", nullptr, false);
}

std::vector<HWND> windowsOfProcess(DWORD processId) {
    WindowSearch search{processId, {}};
    ::EnumWindows(collectWindow, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

std::vector<HWND> programWindows(HWND mainWindow) {
    DWORD process = 0;
    ::GetWindowThreadProcessId(mainWindow, &process);
    std::vector<HWND> visible;
    for (HWND window : windowsOfProcess(process))
        if (::IsWindowVisible(window))
            visible.push_back(window);
    return visible;
}

KeyRecord makeKeyRecord(UINT virtualKey, bool released, bool repeat, bool shift) {
    KeyRecord record;
    std::memset(&record, 0, sizeof record);
    record.keyboardLayout = ::GetKeyboardLayout(0);
    record.virtualKey = virtualKey;
    UINT scanCode = ::MapVirtualKeyW(virtualKey, MAPVK_VK_TO_VSC);
    record.keyData = 1 | ((scanCode & 0xFF) << 16);
    if (repeat || released)
        record.keyData |= 1u << 30;
    if (released)
        record.keyData |= 1u << 31;
    if (!released)
        record.keyState[virtualKey & 0xFF] = 0x80;
    if (shift) {
        record.keyState[VK_SHIFT] = 0x80;
        record.keyState[VK_LSHIFT] = 0x80;
    }
    return record;
}

bool sendKeyRecord(HWND mainWindow, const KeyRecord& record) {
    // Timed as it leaves, as the hook library times a key as it comes.
    KeyRecord timed = record;
    timed.time = ::GetTickCount();
    return sendCopyData(mainWindow, kKeyRecordMessage, &timed, sizeof timed);
}

bool sendLayoutReport(HWND mainWindow, HKL layout) {
    return sendCopyData(mainWindow, kLayoutReportMessage, &layout, sizeof layout);
}

bool typeText(HWND mainWindow, const std::wstring& text, DWORD pauseMilliseconds) {
    for (wchar_t c : text) {
        bool shift = false;
        UINT key = virtualKeyFor(c, shift);
        if (key == 0)
            return false;
        if (!sendKeyRecord(mainWindow, makeKeyRecord(key, false, false, shift)) ||
            !sendKeyRecord(mainWindow, makeKeyRecord(key, true, false, shift)))
            return false;
        if (pauseMilliseconds)
            ::Sleep(pauseMilliseconds);
    }
    return true;
}

void clickTray(HWND mainWindow, UINT mouseMessage) {
    DWORD_PTR result = 0;
    ::SendMessageTimeoutW(mainWindow, kTrayCallback, 128, mouseMessage, SMTO_NORMAL, kSendTimeout,
                          &result);
}

bool chooseMenuCommand(HWND mainWindow, UINT command) {
    return ::PostMessageW(mainWindow, WM_COMMAND, MAKEWPARAM(command, 0), 0) != FALSE;
}

std::wstring settingsFilePath() {
    wchar_t folder[MAX_PATH] = {};
    if (FAILED(::SHGetFolderPathW(nullptr, CSIDL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, folder)))
        return L"";
    return std::wstring(folder) + L"\\Keywhirl\\Keywhirl.ini";
}

std::wstring readSetting(const std::wstring& key) {
    wchar_t value[512] = {};
    ::GetPrivateProfileStringW(L"Settings", key.c_str(), L"", value, 512,
                               settingsFilePath().c_str());
    return value;
}

} // namespace keywhirl::probe

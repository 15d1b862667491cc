// src/input/Desktop.cpp
#include "input/Desktop.h"

#include "utils/Handles.h"

#include <atomic>

namespace keywhirl {

namespace {

// Newer than the program's oldest system: looked up when first needed.
using QueryNotificationState = HRESULT(WINAPI*)(int*);
using QueryImageName = BOOL(WINAPI*)(HANDLE, DWORD, LPWSTR, PDWORD);
using ModuleFileName = DWORD(WINAPI*)(HANDLE, HMODULE, LPWSTR, DWORD);
constexpr DWORD kQueryLimitedInformation = 0x1000;

template <typename Function> Function lookUp(const wchar_t* module, const char* name) {
    HMODULE loaded = ::GetModuleHandleW(module);
    if (!loaded)
        loaded = ::LoadLibraryW(module); // kept to the end of the process
    return loaded
               ? reinterpret_cast<Function>(reinterpret_cast<void*>(::GetProcAddress(loaded, name)))
               : nullptr;
}

bool isShellClass(const wchar_t* name) {
    for (const wchar_t* shell :
         {L"Progman", L"WorkerW", L"Shell_TrayWnd", L"Shell_SecondaryTrayWnd"})
        if (::lstrcmpiW(name, shell) == 0)
            return true;
    return false;
}

class SystemDesktop : public Desktop {
public:
    HWND foregroundWindow() override { return ::GetForegroundWindow(); }

    void describeWindow(HWND window, DesktopFacts& facts) override {
        facts.foreground = RECT{};
        facts.monitor = RECT{};
        if (!window || !::GetWindowRect(window, &facts.foreground))
            return;
        wchar_t name[64] = L"";
        ::GetClassNameW(window, name, ARRAYSIZE(name));
        facts.shellWindow = isShellClass(name);
        const LONG style = ::GetWindowLongW(window, GWL_STYLE);
        facts.framedMaximized = ::IsZoomed(window) && (style & WS_CAPTION) == WS_CAPTION;
        MONITORINFO monitor = {};
        monitor.cbSize = sizeof monitor;
        if (::GetMonitorInfoW(::MonitorFromWindow(window, MONITOR_DEFAULTTONEAREST), &monitor))
            facts.monitor = monitor.rcMonitor;
    }

    std::wstring programOf(HWND window) override {
        DWORD process = 0;
        if (!window || !::GetWindowThreadProcessId(window, &process) || process == 0)
            return {};
        wchar_t path[MAX_PATH] = L"";
        DWORD length = ARRAYSIZE(path);
        static const auto queryImageName =
            lookUp<QueryImageName>(L"kernel32.dll", "QueryFullProcessImageNameW");
        if (queryImageName) {
            utils::UniqueHandle handle(::OpenProcess(kQueryLimitedInformation, FALSE, process));
            if (handle && queryImageName(handle.get(), 0, path, &length))
                return programFileName(path);
        }
        static const auto moduleFileName =
            lookUp<ModuleFileName>(L"psapi.dll", "GetModuleFileNameExW");
        if (moduleFileName) {
            utils::UniqueHandle handle(
                ::OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, process));
            if (handle && moduleFileName(handle.get(), nullptr, path, ARRAYSIZE(path)))
                return programFileName(path);
        }
        return {};
    }

    bool isOwnWindow(HWND window) override {
        DWORD process = 0;
        ::GetWindowThreadProcessId(window, &process);
        return process == ::GetCurrentProcessId();
    }

    int notificationState() override {
        static const auto query =
            lookUp<QueryNotificationState>(L"shell32.dll", "SHQueryUserNotificationState");
        int state = 0;
        if (!query || FAILED(query(&state)))
            return 0;
        return state;
    }

    void describeFocus(DesktopFacts& facts) override {
        GUITHREADINFO info = {};
        info.cbSize = sizeof info;
        // Thread 0: the foreground thread.
        if (!::GetGUIThreadInfo(0, &info) || !info.hwndFocus) {
            facts.focusedClass.clear();
            facts.focusedStyle = 0;
            return;
        }
        // A class never changes: it is asked again only for another control.
        if (info.hwndFocus != focusedWindow) {
            wchar_t name[64] = L"";
            ::GetClassNameW(info.hwndFocus, name, ARRAYSIZE(name));
            focusedWindow = info.hwndFocus;
            focusedClass = name;
        }
        facts.focusedClass = focusedClass;
        facts.focusedStyle = ::GetWindowLongW(info.hwndFocus, GWL_STYLE);
    }

private:
    // Dispatcher thread only.
    HWND focusedWindow = nullptr;
    std::wstring focusedClass;
};

SystemDesktop systemDesktop;
std::atomic<Desktop*> currentDesktop{&systemDesktop};

} // namespace

Desktop& Desktop::current() {
    return *currentDesktop.load();
}

void Desktop::setCurrent(Desktop* desktop) {
    currentDesktop.store(desktop ? desktop : &systemDesktop);
}

} // namespace keywhirl

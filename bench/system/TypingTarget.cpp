// bench/system/TypingTarget.cpp - a window that notes when the last of the
// characters typed into it arrives.
//   bench_typing_target COUNT [TIMEOUT_SECONDS]
//   bench_typing_target --clock
// It counts WM_CHAR and draws nothing, so that the time is that of the way a
// key takes from the X server through Wine (and any keyboard hook) to a
// program, not that of an edit control's painting. Prints "ready" once it has
// the keyboard focus; when the COUNTth character has come, prints
// "last_unix_ns=" (its arrival on the system's precise wall clock, in
// nanoseconds since 1970, comparable with the typing script's clock) and
// "first_to_last_ms=", and ends. On time-out it prints
// "incomplete=<characters that arrived>" and ends with 1.
// With --clock it answers every line read from its input with the precise
// wall clock in the same form, so that a script can check that its clock and
// this one agree.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

// 100-nanosecond intervals from 1601 to 1970.
constexpr unsigned long long kUnixEpochInFileTime = 116444736000000000ULL;

using PreciseTimeFunction = void(WINAPI*)(FILETIME*);

// The precise wall clock where there is one (Windows 8 and Wine), else the
// ordinary one, in nanoseconds since 1970.
unsigned long long unixNanoseconds() {
    static const PreciseTimeFunction precise =
        reinterpret_cast<PreciseTimeFunction>(reinterpret_cast<void*>(::GetProcAddress(
            ::GetModuleHandleW(L"kernel32.dll"), "GetSystemTimePreciseAsFileTime")));
    FILETIME now;
    if (precise)
        precise(&now);
    else
        ::GetSystemTimeAsFileTime(&now);
    unsigned long long ticks =
        (static_cast<unsigned long long>(now.dwHighDateTime) << 32) | now.dwLowDateTime;
    return (ticks - kUnixEpochInFileTime) * 100;
}

int answerClock() {
    char line[64];
    while (std::fgets(line, sizeof line, stdin)) {
        std::printf("unix_ns=%llu\n", unixNanoseconds());
        std::fflush(stdout);
    }
    return 0;
}

constexpr UINT_PTR kTimeoutTimer = 1;

int target = 0;
int arrived = 0;
bool timedOut = false;
LARGE_INTEGER first = {};
LARGE_INTEGER last = {};
unsigned long long lastUnix = 0;

LRESULT CALLBACK windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_CHAR: {
        LARGE_INTEGER now;
        ::QueryPerformanceCounter(&now);
        if (++arrived == 1)
            first = now;
        if (arrived == target) {
            lastUnix = unixNanoseconds();
            last = now;
            ::PostQuitMessage(0);
        }
        return 0;
    }
    case WM_TIMER:
        if (wParam == kTimeoutTimer) {
            timedOut = true;
            ::PostQuitMessage(1);
        }
        return 0;
    case WM_DESTROY:
        ::PostQuitMessage(0);
        return 0;
    default:
        return ::DefWindowProcW(window, message, wParam, lParam);
    }
}

} // namespace

int main(int argc, char** argv) {
    if (argc > 1 && std::strcmp(argv[1], "--clock") == 0)
        return answerClock();
    target = argc > 1 ? std::atoi(argv[1]) : 2000;
    int timeoutSeconds = argc > 2 ? std::atoi(argv[2]) : 120;
    HINSTANCE instance = ::GetModuleHandleW(nullptr);

    WNDCLASSW windowClass = {};
    windowClass.lpfnWndProc = windowProc;
    windowClass.hInstance = instance;
    windowClass.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    windowClass.lpszClassName = L"KeywhirlTypingTarget";
    ::RegisterClassW(&windowClass);
    HWND window = ::CreateWindowExW(0, windowClass.lpszClassName, L"Keywhirl typing bench",
                                    WS_OVERLAPPEDWINDOW | WS_VISIBLE, 40, 40, 400, 300, nullptr,
                                    nullptr, instance, nullptr);
    ::SetForegroundWindow(window);
    ::SetFocus(window);
    ::SetTimer(window, kTimeoutTimer, static_cast<UINT>(timeoutSeconds) * 1000, nullptr);
    std::printf("ready\n");
    std::fflush(stdout);

    MSG message;
    while (::GetMessageW(&message, nullptr, 0, 0) > 0) {
        ::TranslateMessage(&message);
        ::DispatchMessageW(&message);
    }
    ::DestroyWindow(window);
    if (timedOut || arrived < target) {
        std::printf("incomplete=%d\n", arrived);
        return 1;
    }
    LARGE_INTEGER frequency;
    ::QueryPerformanceFrequency(&frequency);
    std::printf("last_unix_ns=%llu\nfirst_to_last_ms=%.1f\n", lastUnix,
                static_cast<double>(last.QuadPart - first.QuadPart) * 1000.0 /
                    static_cast<double>(frequency.QuadPart));
    return 0;
}

// bench/system/TypingTarget.cpp - a window that times the arrival of typed
// characters, from the first one to the given count.
//   bench_typing_target COUNT [TIMEOUT_SECONDS]
// It counts WM_CHAR and draws nothing, so that the time is that of the way a
// key takes from the X server through Wine (and any keyboard hook) to a
// program, not that of an edit control's painting. Prints "ready" once it has
// the keyboard focus, then "elapsed_ms=<first to last character>" and ends.
// On time-out it prints "incomplete=<characters that arrived>" and ends with 1.
#include <windows.h>

#include <cstdio>
#include <cstdlib>

namespace {

constexpr UINT_PTR kTimeoutTimer = 1;

int target = 0;
int arrived = 0;
bool timedOut = false;
LARGE_INTEGER first = {};
LARGE_INTEGER last = {};

LRESULT CALLBACK windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_CHAR: {
        LARGE_INTEGER now;
        ::QueryPerformanceCounter(&now);
        if (++arrived == 1)
            first = now;
        if (arrived == target) {
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
    std::printf("elapsed_ms=%.1f\n", static_cast<double>(last.QuadPart - first.QuadPart) * 1000.0 /
                                         static_cast<double>(frequency.QuadPart));
    return 0;
}

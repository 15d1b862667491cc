// bench/system/KeyLatency.cpp - times single keystrokes from SendInput to the
// WM_CHAR they become, through whatever low-level keyboard hooks run.
//   bench_key_latency COUNT [GAP_MS] [TIMEOUT_MS]
// Shows a window "Keywhirl key latency" and waits (up to 20 s) until it is
// the foreground window; the caller may have to click it. Then, for each of
// COUNT letters, takes the performance counter just before SendInput of the
// press and again when the matching WM_CHAR arrives, releases the key and
// waits GAP_MS (3) before the next one, so that keys never queue behind each
// other. A character that does not come within TIMEOUT_MS (1000) is counted
// as lost. The first ten keys warm the paths up and are not counted.
// Prints "keys=", "p50_us=", "p99_us=", "max_us=" and "lost=".
#include <windows.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {

constexpr int kWarmUpKeys = 10;
constexpr DWORD kForegroundWaitMilliseconds = 20000;

LARGE_INTEGER frequency;
wchar_t expected = 0;
bool arrived = false;
LARGE_INTEGER arrival = {};

LONGLONG counter() {
    LARGE_INTEGER now;
    ::QueryPerformanceCounter(&now);
    return now.QuadPart;
}

LRESULT CALLBACK windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_CHAR:
        if (!arrived && static_cast<wchar_t>(wParam) == expected) {
            ::QueryPerformanceCounter(&arrival);
            arrived = true;
        }
        return 0;
    case WM_DESTROY:
        ::PostQuitMessage(0);
        return 0;
    default:
        return ::DefWindowProcW(window, message, wParam, lParam);
    }
}

// Dispatches messages until the deadline (a counter value) or, with a
// condition, until it holds. False when the deadline came first.
template <typename Condition> bool pumpUntil(LONGLONG deadline, Condition done) {
    for (;;) {
        MSG message;
        while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            ::TranslateMessage(&message);
            ::DispatchMessageW(&message);
        }
        if (done())
            return true;
        LONGLONG left = deadline - counter();
        if (left <= 0)
            return false;
        DWORD milliseconds = static_cast<DWORD>(left * 1000 / frequency.QuadPart) + 1;
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, milliseconds, QS_ALLINPUT);
    }
}

LONGLONG after(DWORD milliseconds) {
    return counter() + frequency.QuadPart * milliseconds / 1000;
}

void sendKey(WORD virtualKey, bool release) {
    INPUT input = {};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = virtualKey;
    input.ki.dwFlags = release ? KEYEVENTF_KEYUP : 0;
    ::SendInput(1, &input, sizeof input);
}

// Nearest-rank percentile of sorted values.
double percentile(const std::vector<double>& sorted, double fraction) {
    if (sorted.empty())
        return 0;
    std::size_t rank = static_cast<std::size_t>(std::ceil(fraction * sorted.size()));
    return sorted[std::min(sorted.size(), std::max<std::size_t>(rank, 1)) - 1];
}

} // namespace

int main(int argc, char** argv) {
    int count = argc > 1 ? std::atoi(argv[1]) : 500;
    DWORD gap = argc > 2 ? static_cast<DWORD>(std::atoi(argv[2])) : 3;
    DWORD timeout = argc > 3 ? static_cast<DWORD>(std::atoi(argv[3])) : 1000;
    ::QueryPerformanceFrequency(&frequency);

    WNDCLASSW windowClass = {};
    windowClass.lpfnWndProc = windowProc;
    windowClass.hInstance = ::GetModuleHandleW(nullptr);
    windowClass.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    windowClass.lpszClassName = L"KeywhirlKeyLatency";
    ::RegisterClassW(&windowClass);
    HWND window = ::CreateWindowExW(0, windowClass.lpszClassName, L"Keywhirl key latency",
                                    WS_OVERLAPPEDWINDOW | WS_VISIBLE, 40, 40, 400, 300, nullptr,
                                    nullptr, windowClass.hInstance, nullptr);
    ::SetForegroundWindow(window);
    ::SetFocus(window);
    if (!pumpUntil(after(kForegroundWaitMilliseconds),
                   [&] { return ::GetForegroundWindow() == window; })) {
        std::printf("error=the window never became the foreground window\n");
        return 1;
    }
    // Whatever the click that gave the focus left behind settles first.
    pumpUntil(after(200), [] { return false; });

    std::vector<double> latencies;
    int lost = 0;
    for (int i = 0; i < kWarmUpKeys + count; ++i) {
        WORD key = static_cast<WORD>('A' + i % 26);
        expected = static_cast<wchar_t>(L'a' + i % 26);
        arrived = false;
        LONGLONG pressed = counter();
        sendKey(key, false);
        bool came =
            pumpUntil(pressed + frequency.QuadPart * timeout / 1000, [] { return arrived; });
        sendKey(key, true);
        if (i >= kWarmUpKeys) {
            if (came)
                latencies.push_back(static_cast<double>(arrival.QuadPart - pressed) * 1e6 /
                                    static_cast<double>(frequency.QuadPart));
            else
                ++lost;
        }
        pumpUntil(after(gap), [] { return false; });
    }
    ::DestroyWindow(window);

    std::sort(latencies.begin(), latencies.end());
    std::printf("keys=%d\np50_us=%.1f\np99_us=%.1f\nmax_us=%.1f\nlost=%d\n", count,
                percentile(latencies, 0.50), percentile(latencies, 0.99),
                latencies.empty() ? 0.0 : latencies.back(), lost);
    return latencies.empty() ? 1 : 0;
}

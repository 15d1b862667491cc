// bench/system/KeywhirlProbe.cpp - measures a running Keywhirl from outside.
//   bench_keywhirl_probe start PROGRAM [TITLE]
//       starts it; prints the time to its main window (Keywhirl's, or the
//       hidden window with the given title), to its started event and to the
//       end of its splash window, in milliseconds
//   bench_keywhirl_probe memory [TITLE]
//       committed private bytes and working set of Keywhirl, or of the
//       program whose window has the given title
//   bench_keywhirl_probe keys COUNT [VK] [TITLE]
//       sends COUNT key records (presses and releases of letters, or of the
//       one virtual key; 0 for letters) to Keywhirl or to the window with the
//       given title, prints the time per record in microseconds
//   bench_keywhirl_probe keyboard-cycles COUNT
//       shows Keywhirl's keyboard as a second start does and lets the next
//       typing key fade it out, COUNT times, each time waiting for the fade's
//       end; prints the time per cycle
//   bench_keywhirl_probe command ID      posts WM_COMMAND ID (a tray menu item)
//   bench_keywhirl_probe wait-exit MS    waits for the program to end
//   bench_keywhirl_probe close TITLE MS  closes the window with the title and
//                                        waits for its program to end
// Output lines are "name=value". Exit code 1 when Keywhirl is not running.
#include "Probe.h"
#include "app/StartedSignal.h"
#include "ui/AppMessages.h"

#include <windows.h>

#include <psapi.h>

#include <cstdio>
#include <cwchar>
#include <string>
#include <utility>

using namespace keywhirl::probe;

namespace {

double seconds() {
    static const LARGE_INTEGER frequency = [] {
        LARGE_INTEGER value;
        ::QueryPerformanceFrequency(&value);
        return value;
    }();
    LARGE_INTEGER now;
    ::QueryPerformanceCounter(&now);
    return static_cast<double>(now.QuadPart) / static_cast<double>(frequency.QuadPart);
}

HANDLE openProgram(DWORD access, HWND& window, const wchar_t* title = nullptr) {
    window = title ? ::FindWindowW(nullptr, title) : mainWindowOf(0);
    if (!window)
        return nullptr;
    DWORD processId = 0;
    ::GetWindowThreadProcessId(window, &processId);
    return ::OpenProcess(access, FALSE, processId);
}

// The top-level window of the process with the given title, shown or not.
HWND windowOf(DWORD processId, const wchar_t* title) {
    HWND window = nullptr;
    while ((window = ::FindWindowExW(nullptr, window, nullptr, title)) != nullptr) {
        DWORD owner = 0;
        ::GetWindowThreadProcessId(window, &owner);
        if (owner == processId)
            return window;
    }
    return nullptr;
}

int start(const std::wstring& program, const wchar_t* title) {
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    std::wstring commandLine = L"\"" + program + L"\"";
    double begin = seconds();
    if (!::CreateProcessW(program.c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr,
                          nullptr, &startup, &process)) {
        std::fprintf(stderr, "cannot start the program\n");
        return 1;
    }
    HWND window = nullptr;
    while (!(window = title ? windowOf(process.dwProcessId, title)
                            : mainWindowOf(process.dwProcessId))) {
        if (::WaitForSingleObject(process.hProcess, 1) == WAIT_OBJECT_0 || seconds() - begin > 30) {
            std::fprintf(stderr, "no main window\n");
            return 1;
        }
    }
    double windowAt = seconds();
    // Ready is the end of the initialisation (tray icon, hook, windows,
    // autorun value), which the program announces with its started event.
    std::wstring startedName = keywhirl::StartedSignal::nameFor(process.dwProcessId);
    HANDLE started = nullptr;
    while (!(started = ::OpenEventW(SYNCHRONIZE, FALSE, startedName.c_str()))) {
        if (::WaitForSingleObject(process.hProcess, 1) == WAIT_OBJECT_0 || seconds() - begin > 30) {
            std::fprintf(stderr, "the start did not end\n");
            return 1;
        }
    }
    ::WaitForSingleObject(started, 30000);
    ::CloseHandle(started);
    double readyAt = seconds();
    // The splash window goes on its own idle-priority thread a little later;
    // when it goes, another window becomes active, so typing measurements
    // wait for it.
    while (splashOf(process.dwProcessId) && seconds() - readyAt < 10)
        ::Sleep(1);
    double splashGoneAt = seconds();
    std::printf("window_ms=%.1f\nready_ms=%.1f\nsplash_gone_ms=%.1f\n", (windowAt - begin) * 1000,
                (readyAt - begin) * 1000, (splashGoneAt - begin) * 1000);
    ::CloseHandle(process.hThread);
    ::CloseHandle(process.hProcess);
    return 0;
}

int memory(const wchar_t* title) {
    HWND window = nullptr;
    HANDLE process = openProgram(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, window, title);
    if (!process)
        return 1;
    // Private bytes as the platform counts them: every committed page that
    // belongs to this process alone.
    SIZE_T privateBytes = 0;
    MEMORY_BASIC_INFORMATION region;
    for (const char* at = nullptr;
         ::VirtualQueryEx(process, at, &region, sizeof region) == sizeof region;
         at = static_cast<const char*>(region.BaseAddress) + region.RegionSize) {
        if (region.State == MEM_COMMIT && region.Type == MEM_PRIVATE)
            privateBytes += region.RegionSize;
        if (static_cast<const char*>(region.BaseAddress) + region.RegionSize <= at)
            break;
    }
    PROCESS_MEMORY_COUNTERS counters = {};
    counters.cb = sizeof counters;
    ::GetProcessMemoryInfo(process, &counters, sizeof counters);
    std::printf("private_bytes=%lu\nworking_set=%lu\n", static_cast<unsigned long>(privateBytes),
                static_cast<unsigned long>(counters.WorkingSetSize));
    ::CloseHandle(process);
    return 0;
}

int keys(unsigned count, UINT onlyKey, const wchar_t* title) {
    HWND window = title ? ::FindWindowW(nullptr, title) : mainWindowOf(0);
    if (!window)
        return 1;
    double begin = seconds();
    unsigned sent = 0;
    for (; sent < count; ++sent) {
        UINT key = onlyKey ? onlyKey : 'A' + (sent / 2) % 26;
        if (!sendKeyRecord(window, makeKeyRecord(key, (sent & 1) != 0)))
            break;
    }
    double elapsed = seconds() - begin;
    std::printf("records=%u\nper_record_us=%.2f\n", sent, sent ? elapsed * 1e6 / sent : 0.0);
    return sent == count ? 0 : 1;
}

// Waits up to five seconds for the window to be shown or hidden.
bool waitVisible(HWND window, bool visible) {
    double begin = seconds();
    while ((::IsWindowVisible(window) != FALSE) != visible) {
        if (seconds() - begin > 5)
            return false;
        ::Sleep(1);
    }
    return true;
}

// The show is what a second start sends; the hide is the fade-out that the
// next typing key starts when the keyboard pops up by itself (the program
// must run with keyboardAutoPopupping on), which hides the window at its end.
int keyboardCycles(unsigned count) {
    HWND main = mainWindowOf(0);
    if (!main)
        return 1;
    DWORD process = 0;
    ::GetWindowThreadProcessId(main, &process);
    // The window with the minimize button (control 1006): the keyboard.
    HWND keyboard =
        findWindowOf(process, [](HWND window) { return ::GetDlgItem(window, 1006) != nullptr; });
    if (!keyboard)
        return 1;
    double begin = seconds();
    unsigned done = 0;
    for (; done < count; ++done) {
        DWORD_PTR result = 0;
        UINT key = 'A' + done % 26;
        if (!::SendMessageTimeoutW(main, keywhirl::kShowKeyboardMessage, 0, 0, SMTO_NORMAL, 5000,
                                   &result) ||
            !waitVisible(keyboard, true) || !sendKeyRecord(main, makeKeyRecord(key, false)) ||
            !sendKeyRecord(main, makeKeyRecord(key, true)) || !waitVisible(keyboard, false))
            break;
    }
    double elapsed = seconds() - begin;
    std::printf("cycles=%u\nper_cycle_ms=%.1f\n", done, done ? elapsed * 1000 / done : 0.0);
    return done == count ? 0 : 1;
}

int close(const wchar_t* title, DWORD milliseconds) {
    HWND window = ::FindWindowW(nullptr, title);
    if (!window)
        return 0; // already gone
    DWORD processId = 0;
    ::GetWindowThreadProcessId(window, &processId);
    HANDLE process = ::OpenProcess(SYNCHRONIZE, FALSE, processId);
    ::PostMessageW(window, WM_CLOSE, 0, 0);
    if (!process)
        return 1;
    DWORD result = ::WaitForSingleObject(process, milliseconds);
    ::CloseHandle(process);
    return result == WAIT_OBJECT_0 ? 0 : 1;
}

int command(unsigned id) {
    HWND window = mainWindowOf(0);
    if (!window)
        return 1;
    ::PostMessageW(window, WM_COMMAND, id, 0);
    return 0;
}

int waitExit(DWORD milliseconds) {
    HWND window = nullptr;
    HANDLE process = openProgram(SYNCHRONIZE, window);
    if (!process)
        return 0; // already gone
    DWORD result = ::WaitForSingleObject(process, milliseconds);
    ::CloseHandle(process);
    return result == WAIT_OBJECT_0 ? 0 : 1;
}

} // namespace

int wmain(int argc, wchar_t** argv) {
    std::wstring what = argc > 1 ? argv[1] : L"";
    if (what == L"start" && (argc == 3 || argc == 4))
        return start(argv[2], argc == 4 ? argv[3] : nullptr);
    if (what == L"memory")
        return memory(argc > 2 ? argv[2] : nullptr);
    if (what == L"keys" && argc >= 3 && argc <= 5)
        return keys(static_cast<unsigned>(std::wcstoul(argv[2], nullptr, 10)),
                    argc >= 4 ? static_cast<UINT>(std::wcstoul(argv[3], nullptr, 0)) : 0,
                    argc == 5 ? argv[4] : nullptr);
    if (what == L"keyboard-cycles" && argc == 3)
        return keyboardCycles(static_cast<unsigned>(std::wcstoul(argv[2], nullptr, 10)));
    if (what == L"close" && argc == 4)
        return close(argv[2], std::wcstoul(argv[3], nullptr, 10));
    if (what == L"command" && argc == 3)
        return command(static_cast<unsigned>(std::wcstoul(argv[2], nullptr, 10)));
    if (what == L"wait-exit" && argc == 3)
        return waitExit(std::wcstoul(argv[2], nullptr, 10));
    std::fprintf(stderr, "usage: bench_keywhirl_probe start PROGRAM [TITLE] | memory [TITLE] | "
                         "keys COUNT [VK] [TITLE] | keyboard-cycles COUNT | command ID | "
                         "wait-exit MILLISECONDS | close TITLE MILLISECONDS\n");
    return 2;
}

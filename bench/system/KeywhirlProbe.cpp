// bench/system/KeywhirlProbe.cpp - measures a running Keywhirl from outside.
//   bench_keywhirl_probe start PROGRAM   starts it; prints the time to its
//                                        main window, to the end of its
//                                        initialisation and to the end of its
//                                        splash window, in milliseconds
//   bench_keywhirl_probe memory [TITLE]  committed private bytes and working set
//                                        of Keywhirl, or of the program whose
//                                        window has the given title
//   bench_keywhirl_probe keys COUNT [VK] sends COUNT key records (presses and
//                                        releases of letters, or of the one
//                                        virtual key), prints the time per
//                                        record in microseconds
//   bench_keywhirl_probe command ID      posts WM_COMMAND ID (a tray menu item)
//   bench_keywhirl_probe wait-exit MS    waits for the program to end
// Output lines are "name=value". Exit code 1 when Keywhirl is not running.
#include "Probe.h"
#include "app/StartedSignal.h"

#include <windows.h>

#include <psapi.h>

#include <cstdio>
#include <cwchar>
#include <string>

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

int start(const std::wstring& program) {
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
    while (!(window = mainWindowOf(process.dwProcessId))) {
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

int keys(unsigned count, UINT onlyKey) {
    HWND window = mainWindowOf(0);
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
    if (what == L"start" && argc == 3)
        return start(argv[2]);
    if (what == L"memory")
        return memory(argc > 2 ? argv[2] : nullptr);
    if (what == L"keys" && (argc == 3 || argc == 4))
        return keys(static_cast<unsigned>(std::wcstoul(argv[2], nullptr, 10)),
                    argc == 4 ? static_cast<UINT>(std::wcstoul(argv[3], nullptr, 0)) : 0);
    if (what == L"command" && argc == 3)
        return command(static_cast<unsigned>(std::wcstoul(argv[2], nullptr, 10)));
    if (what == L"wait-exit" && argc == 3)
        return waitExit(std::wcstoul(argv[2], nullptr, 10));
    std::fprintf(stderr,
                 "usage: bench_keywhirl_probe start PROGRAM | memory [TITLE] | keys COUNT [VK] | "
                 "command ID | wait-exit MILLISECONDS\n");
    return 2;
}

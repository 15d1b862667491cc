// bench/statistics/StatisticsBench.cpp - what one repaint of the statistics window costs,
// with the six real monitors holding a busy hour of typing.
#include "settings/Paths.h"
#include "settings/Settings.h"
#include "statistics/Statistics.h"
#include "statistics/StatisticsDlg.h"
#include "utils/TickCount.h"

#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

using namespace keywhirl;

namespace {

double seconds() {
    static const LARGE_INTEGER frequency = [] {
        LARGE_INTEGER f;
        ::QueryPerformanceFrequency(&f);
        return f;
    }();
    LARGE_INTEGER counter;
    ::QueryPerformanceCounter(&counter);
    return static_cast<double>(counter.QuadPart) / static_cast<double>(frequency.QuadPart);
}

void report(const char* what, double total, int count, double goalMilliseconds) {
    const double each = total * 1e3 / count;
    std::printf("%-56s %8.3f ms   goal < %.0f ms: %s\n", what, each, goalMilliseconds,
                each < goalMilliseconds ? "met" : "MISSED");
}

// The clock the monitors read: an hour of typing is replayed in no time.
std::atomic<DWORD> fakeNow{0};
DWORD fakeTicks() {
    return fakeNow.load();
}

KeyInfoWrapper symbolKey() {
    KeyRecord record;
    std::memset(&record, 0, sizeof record);
    record.virtualKey = 'A';
    record.keyData = 1 | (30 << 16);
    return KeyInfoWrapper(record);
}

void pumpMessages() {
    MSG message;
    while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE))
        ::DispatchMessageW(&message);
}

} // namespace

// Optional argument: seconds to keep the window on screen afterwards, for a look at it.
int main(int argc, char** argv) {
    // The shipped language files, and settings in a folder of their own so
    // that the benchmark leaves no file behind.
    wchar_t temp[MAX_PATH];
    ::GetTempPathW(MAX_PATH, temp);
    std::wstring folder = std::wstring(temp) + L"keywhirl-bench-statistics";
    ::CreateDirectoryW(folder.c_str(), nullptr);
    std::wstring programFolder = L"Z:";
    for (const char* c = KEYWHIRL_OUTPUT_DIR_UNIX; *c; ++c)
        programFolder += *c == '/' ? L'\\' : static_cast<wchar_t>(*c);
    setFolderOverrides(programFolder, folder);

    // Five keys a second for an hour: the 60-minute speed walks 18000 stamps.
    utils::setTickSource(&fakeTicks);
    Statistics statistics;
    KeyInfoWrapper key = symbolKey();
    for (DWORD i = 0; i < 18000; ++i) {
        fakeNow = 1000 + i * 200;
        key.setTime(fakeNow);
        for (Monitor* monitor : statistics.getMonitors())
            monitor->handleKey(key);
    }

    // A stand-in for the main window: the owner, which runs the right-click menu.
    HWND owner = ::CreateWindowExW(0, L"STATIC", L"Keywhirl", WS_POPUP, 0, 0, 0, 0, nullptr,
                                   nullptr, ::GetModuleHandleW(nullptr), nullptr);
    StatisticsDlg dialog;
    if (!dialog.create(owner)) {
        std::printf("the statistics window could not be created\n");
        return 1;
    }
    for (Monitor* monitor : statistics.getMonitors())
        dialog.addMonitor(monitor);
    dialog.show(SW_SHOWNOACTIVATE);
    pumpMessages();

    const int repaints = 200;
    double start = seconds();
    for (int i = 0; i < repaints; ++i) {
        ::RedrawWindow(dialog.handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
        pumpMessages();
    }
    report("one repaint of the window (WM_PAINT, 6 rows)", seconds() - start, repaints, 5);

    RECT client;
    ::GetClientRect(dialog.handle(), &client);
    HDC screen = ::GetDC(nullptr);
    HDC memory = ::CreateCompatibleDC(screen);
    HBITMAP bitmap = ::CreateCompatibleBitmap(screen, client.right, client.bottom);
    HGDIOBJ previous = ::SelectObject(memory, bitmap);
    start = seconds();
    for (int i = 0; i < repaints; ++i)
        dialog.drawPicture(memory, client);
    report("composing the picture off screen", seconds() - start, repaints, 5);
    ::SelectObject(memory, previous);
    ::DeleteObject(bitmap);
    ::DeleteDC(memory);
    ::ReleaseDC(nullptr, screen);

    start = seconds();
    for (int i = 0; i < repaints; ++i)
        for (Monitor* monitor : statistics.getMonitors()) {
            monitor->getTitle();
            monitor->getValue();
        }
    report("the six monitors' texts alone", seconds() - start, repaints, 5);

    const int holdSeconds = argc > 1 ? std::atoi(argv[1]) : 0;
    const DWORD holdStart = ::GetTickCount();
    while (::GetTickCount() - holdStart < DWORD(holdSeconds) * 1000) {
        pumpMessages();
        ::Sleep(20);
    }

    dialog.detachMonitors();
    dialog.endDialog(0);
    ::DestroyWindow(owner);
    utils::setTickSource(nullptr);
    Settings::destroyInstance();
    resetFolderOverrides();
    ::DeleteFileW((folder + L"\\Keywhirl\\Keywhirl.ini").c_str());
    ::RemoveDirectoryW((folder + L"\\Keywhirl").c_str());
    ::RemoveDirectoryW(folder.c_str());
    return 0;
}

// tests/system/keyboard/HintHelperMain.cpp - the Windows side of the typing test:
//   keyboard_hint_helper settings KEY=VALUE...  fresh settings file with these values
//   keyboard_hint_helper ready                  waits until Keywhirl has started
//   keyboard_hint_helper watch LOG MS           logs the keyboard window's visibility
//                                               and the script's marks (files mark-NAME in
//                                               the current folder) until the file
//                                               stop-watch appears or MS have passed
//   keyboard_hint_helper target FILE MS         the typing target window; its edit text
//                                               goes to FILE
//   keyboard_hint_helper close-target           closes the typing target
//   keyboard_hint_helper statistics-click       a middle click on the tray icon, which
//                                               shows or hides the statistics window;
//                                               prints its visibility after the click
//   keyboard_hint_helper statistics-menu        the same switch through the tray menu's item
//   keyboard_hint_helper foreground             prints the title of the foreground window
//   keyboard_hint_helper exit                   ends Keywhirl and waits for it
//   keyboard_hint_helper drop-hook              takes Keywhirl's hook away behind its
//                                               back, as the system does with a slow hook
//   keyboard_hint_helper symbols                prints the statistics window's count of
//                                               symbols typed
#include "KeyboardWindow.h"
#include "KeywhirlProcess.h"
#include "TypingTarget.h"

#include "Probe.h"

#include <cstdio>
#include <cwchar>
#include <set>
#include <string>

using namespace keywhirl::testing;

namespace {

const DWORD kStartTimeout = 30000;
// The tray menu's statistics switch.
const UINT kShowStatisticsCommand = 32784;
const WORD kTrayMenu = 131;

int usage() {
    std::fwprintf(stderr, L"usage: keyboard_hint_helper settings KEY=VALUE... | ready | "
                          L"watch LOG MS | target FILE MS | close-target | exit | "
                          L"statistics-click | statistics-menu | foreground\n");
    return 2;
}

DWORD processOf(HWND window) {
    DWORD process = 0;
    ::GetWindowThreadProcessId(window, &process);
    return process;
}

int writeSettings(int argc, wchar_t** argv) {
    removeKeywhirlSettings();
    for (int i = 2; i < argc; ++i) {
        std::wstring pair = argv[i];
        size_t equals = pair.find(L'=');
        if (equals == std::wstring::npos)
            return usage();
        writeSetting(pair.substr(0, equals), pair.substr(equals + 1));
    }
    return 0;
}

// The main window answers a sent message once its initialisation is over,
// and the splash goes last.
int waitReady() {
    DWORD start = ::GetTickCount();
    HWND main = keywhirl::probe::findMainWindow(kStartTimeout);
    if (!main) {
        std::fwprintf(stderr, L"Keywhirl did not start\n");
        return 1;
    }
    DWORD_PTR result;
    if (!::SendMessageTimeoutW(main, WM_NULL, 0, 0, SMTO_NORMAL, kStartTimeout, &result))
        return 1;
    while (keywhirl::probe::splashOf(processOf(main))) {
        if (::GetTickCount() - start > kStartTimeout)
            return 1;
        ::Sleep(25);
    }
    return 0;
}

// One line per change of the keyboard window's visibility and per new mark
// file, with the milliseconds since the watch began, so the script can put
// its own steps and the hint's changes in one order.
int watchKeyboard(const std::wstring& logFile, DWORD milliseconds) {
    HWND main = keywhirl::probe::findMainWindow(kStartTimeout);
    HWND keyboard = main ? findKeyboardWindow(processOf(main)) : nullptr;
    if (!keyboard) {
        std::fwprintf(stderr, L"no keyboard window\n");
        return 1;
    }
    FILE* log = ::_wfopen(logFile.c_str(), L"wb");
    if (!log)
        return 1;
    DWORD start = ::GetTickCount();
    int shown = -1;
    std::set<std::wstring> marks;
    while (::GetTickCount() - start < milliseconds &&
           ::GetFileAttributesW(L"stop-watch") == INVALID_FILE_ATTRIBUTES) {
        int now = ::IsWindowVisible(keyboard) ? 1 : 0;
        DWORD elapsed = ::GetTickCount() - start;
        if (now != shown) {
            shown = now;
            std::fprintf(log, "%lu state %d\n", static_cast<unsigned long>(elapsed), now);
        }
        WIN32_FIND_DATAW found;
        HANDLE search = ::FindFirstFileW(L"mark-*", &found);
        if (search != INVALID_HANDLE_VALUE) {
            do {
                std::wstring name = found.cFileName + 5;
                if (marks.insert(name).second)
                    std::fprintf(log, "%lu mark %ls state %d\n",
                                 static_cast<unsigned long>(elapsed), name.c_str(), now);
            } while (::FindNextFileW(search, &found));
            ::FindClose(search);
        }
        std::fflush(log);
        ::Sleep(10);
    }
    std::fclose(log);
    return 0;
}

int runTarget(const std::wstring& file, DWORD milliseconds) {
    TypingTarget target(file);
    if (!target.created())
        return 1;
    target.run(milliseconds);
    return 0;
}

int closeTarget() {
    HWND window = ::FindWindowW(nullptr, TypingTarget::kTitle);
    if (window)
        ::PostMessageW(window, WM_CLOSE, 0, 0);
    return 0;
}

// The statistics window: the top-level window of the process that carries
// the close button 1030.
HWND findStatisticsWindow(DWORD process) {
    for (HWND w = nullptr; (w = ::FindWindowExW(nullptr, w, L"#32770", nullptr));)
        if (processOf(w) == process && ::GetDlgItem(w, 1030))
            return w;
    return nullptr;
}

int clickStatistics() {
    HWND main = keywhirl::probe::findMainWindow(kStartTimeout);
    if (!main)
        return 1;
    keywhirl::probe::clickTray(main, WM_MBUTTONUP);
    HWND statistics = findStatisticsWindow(processOf(main));
    if (!statistics)
        return 1;
    std::wprintf(L"%d\n", ::IsWindowVisible(statistics) ? 1 : 0);
    return 0;
}

// How many presses of the down key select the statistics switch in the tray
// menu of the program file that runs as the process: menu handles do not
// cross processes.
int statisticsItemIndex(DWORD process) {
    // Newer than the program's own floor; the test may use it.
    using QueryImageName = BOOL(WINAPI*)(HANDLE, DWORD, LPWSTR, PDWORD);
    auto queryImageName = reinterpret_cast<QueryImageName>(reinterpret_cast<void*>(
        ::GetProcAddress(::GetModuleHandleW(L"kernel32.dll"), "QueryFullProcessImageNameW")));
    HANDLE handle = ::OpenProcess(PROCESS_QUERY_INFORMATION, FALSE, process);
    if (!handle || !queryImageName)
        return -1;
    wchar_t path[MAX_PATH] = {};
    DWORD length = MAX_PATH;
    BOOL named = queryImageName(handle, 0, path, &length);
    ::CloseHandle(handle);
    if (!named)
        return -1;
    HMODULE program = ::LoadLibraryExW(path, nullptr, LOAD_LIBRARY_AS_DATAFILE);
    if (!program)
        return -1;
    int index = -1;
    if (HMENU menu = ::LoadMenuW(program, MAKEINTRESOURCEW(kTrayMenu))) {
        HMENU popup = ::GetSubMenu(menu, 0);
        // Each press of the down key selects the next item that is no separator.
        int selectable = 0;
        for (int i = 0; popup && i < ::GetMenuItemCount(popup) && index < 0; ++i) {
            UINT id = ::GetMenuItemID(popup, i);
            if (id != 0)
                ++selectable;
            if (id == kShowStatisticsCommand)
                index = selectable;
        }
        ::DestroyMenu(menu);
    }
    ::FreeLibrary(program);
    return index;
}

// The tray menu's item that switches the statistics window, chosen as the
// user does: the menu opens at the icon's right click, the down key moves
// to the item and Enter chooses it.
int chooseStatisticsFromMenu() {
    HWND main = keywhirl::probe::findMainWindow(kStartTimeout);
    if (!main)
        return 1;
    ::PostMessageW(main, WM_USER + 1, 128, WM_RBUTTONUP);
    HWND menuWindow = nullptr;
    for (int i = 0; i < 250 && !menuWindow; ++i) {
        for (HWND w = nullptr; (w = ::FindWindowExW(nullptr, w, L"#32768", nullptr));)
            if (processOf(w) == processOf(main) && ::IsWindowVisible(w))
                menuWindow = w;
        ::Sleep(20);
    }
    if (!menuWindow)
        return 1;
    int item = statisticsItemIndex(processOf(main));
    if (item < 0) {
        ::PostMessageW(menuWindow, WM_KEYDOWN, VK_ESCAPE, 0);
        return 1;
    }
    HWND statistics = findStatisticsWindow(processOf(main));
    if (!statistics)
        return 1;
    const bool before = ::IsWindowVisible(statistics) != FALSE;
    // The menu takes its keys once it is tracking; its window may show first.
    ::Sleep(200);
    for (int press = 0; press < item; ++press)
        ::PostMessageW(menuWindow, WM_KEYDOWN, VK_DOWN, 0);
    ::PostMessageW(menuWindow, WM_KEYDOWN, VK_RETURN, 0);
    // The command runs once the menu has closed.
    for (int i = 0; i < 150 && (::IsWindowVisible(statistics) != FALSE) == before; ++i)
        ::Sleep(20);
    std::wprintf(L"%d\n", ::IsWindowVisible(statistics) ? 1 : 0);
    return 0;
}

int printForeground() {
    wchar_t title[256] = {};
    if (HWND foreground = ::GetForegroundWindow())
        ::GetWindowTextW(foreground, title, 256);
    std::wprintf(L"%ls\n", title);
    return 0;
}

int exitKeywhirl() {
    HWND main = ::FindWindowW(L"#32770", L"Keywhirl");
    if (!main)
        return 0;
    HANDLE process = ::OpenProcess(SYNCHRONIZE, FALSE, processOf(main));
    ::PostMessageW(main, WM_CLOSE, 0, 0);
    bool ended = process && ::WaitForSingleObject(process, 15000) == WAIT_OBJECT_0;
    if (process)
        ::CloseHandle(process);
    return ended ? 0 : 1;
}

int dropHook() {
    HWND main = ::FindWindowW(L"#32770", L"Keywhirl");
    if (!main)
        return 1;
    wchar_t name[64];
    ::wsprintfW(name, L"Local\\KeywhirlHookDrop.%lu", processOf(main));
    HANDLE drop = ::OpenEventW(EVENT_MODIFY_STATE, FALSE, name);
    if (!drop)
        return 1;
    ::SetEvent(drop);
    ::CloseHandle(drop);
    return 0;
}

// The statistics window carries its rows as its text, "title<TAB>value" a line.
int printSymbols() {
    HWND main = ::FindWindowW(L"#32770", L"Keywhirl");
    if (!main)
        return 1;
    for (HWND w = nullptr; (w = ::FindWindowExW(nullptr, w, L"#32770", nullptr));) {
        if (processOf(w) != processOf(main) || !::GetDlgItem(w, 1030))
            continue;
        wchar_t text[2048] = {};
        ::GetWindowTextW(w, text, 2048);
        const wchar_t* row = std::wcsstr(text, L"Symbols typed\t");
        if (!row)
            return 1;
        std::wprintf(L"%ld\n", std::wcstol(row + std::wcslen(L"Symbols typed\t"), nullptr, 10));
        return 0;
    }
    return 1;
}

} // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc < 2)
        return usage();
    std::wstring command = argv[1];
    if (command == L"settings")
        return writeSettings(argc, argv);
    if (command == L"ready" && argc == 2)
        return waitReady();
    if (command == L"watch" && argc == 4)
        return watchKeyboard(argv[2], std::wcstoul(argv[3], nullptr, 10));
    if (command == L"target" && argc == 4)
        return runTarget(argv[2], std::wcstoul(argv[3], nullptr, 10));
    if (command == L"close-target" && argc == 2)
        return closeTarget();
    if (command == L"exit" && argc == 2)
        return exitKeywhirl();
    if (command == L"drop-hook" && argc == 2)
        return dropHook();
    if (command == L"symbols" && argc == 2)
        return printSymbols();
    if (command == L"statistics-click" && argc == 2)
        return clickStatistics();
    if (command == L"statistics-menu" && argc == 2)
        return chooseStatisticsFromMenu();
    if (command == L"foreground" && argc == 2)
        return printForeground();
    return usage();
}

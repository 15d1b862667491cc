// tests/probe/ProbeMain.cpp - the probe as a console program:
//   probe find                 prints the main window handle, exit 1 if none
//   probe type TEXT [PAUSE]    sends key records for the text
//   probe tray left|middle|right
//   probe setting KEY          prints one value of the settings file
#include "Probe.h"

#include <cstdio>
#include <cwchar>
#include <string>

using namespace keywhirl::probe;

namespace {
int usage() {
    std::fwprintf(stderr, L"usage: probe find | type TEXT [PAUSE_MS] | tray left|middle|right | "
                          L"command ID | setting KEY\n");
    return 2;
}
} // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc < 2)
        return usage();
    std::wstring command = argv[1];
    if (command == L"setting" && argc == 3) {
        std::wprintf(L"%ls\n", readSetting(argv[2]).c_str());
        return 0;
    }

    HWND window = findMainWindow(10000);
    if (!window) {
        std::fwprintf(stderr, L"Keywhirl is not running\n");
        return 1;
    }
    if (command == L"find") {
        std::wprintf(L"%p\n", static_cast<void*>(window));
        return 0;
    }
    if (command == L"type" && argc >= 3) {
        DWORD pause = argc >= 4 ? std::wcstoul(argv[3], nullptr, 10) : 100;
        return typeText(window, argv[2], pause) ? 0 : 1;
    }
    if (command == L"tray" && argc == 3) {
        std::wstring button = argv[2];
        UINT message = button == L"left"     ? WM_LBUTTONUP
                       : button == L"middle" ? WM_MBUTTONUP
                       : button == L"right"  ? WM_RBUTTONUP
                                             : 0;
        if (!message)
            return usage();
        clickTray(window, message);
        return 0;
    }
    if (command == L"command" && argc == 3)
        return chooseMenuCommand(window, std::wcstoul(argv[2], nullptr, 10)) ? 0 : 1;
    return usage();
}

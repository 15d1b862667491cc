// src/app/HelpLauncher.h - opens the help file at its main page.
#pragma once

#include <windows.h>

#include <string>

namespace keywhirl {

// The help is the program file's path with the extension ".CHM", shown by
// the platform's HTML Help control, which is loaded from the system folder
// the first time it is needed.
class HelpLauncher {
public:
    // The context id of the main page.
    static constexpr DWORD kMainPageContext = 0x20066;

    // Opens the help for the window; nothing when the control is missing.
    static void open(HWND owner);
    // The help file of a program file: its extension (only that of the file
    // name, never a dot in a folder's name) replaced by ".CHM".
    static std::wstring helpFileOf(const std::wstring& programFile);
};

} // namespace keywhirl

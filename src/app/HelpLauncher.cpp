// src/app/HelpLauncher.cpp
#include "app/HelpLauncher.h"

#include "settings/Paths.h"

namespace keywhirl {

namespace {
using HtmlHelpFunction = HWND(WINAPI*)(HWND, LPCWSTR, UINT, DWORD_PTR);
constexpr UINT kHelpContextCommand = 0x000F; // HH_HELP_CONTEXT
} // namespace

void HelpLauncher::open(HWND owner) {
    // Kept to the end of the program, as the control wants.
    static HMODULE helpControl = loadSystemLibrary(L"hhctrl.ocx");
    if (!helpControl)
        return;
    auto htmlHelp = reinterpret_cast<HtmlHelpFunction>(
        reinterpret_cast<void*>(::GetProcAddress(helpControl, "HtmlHelpW")));
    if (!htmlHelp)
        return;
    wchar_t path[MAX_PATH + 1] = {};
    DWORD length = ::GetModuleFileNameW(nullptr, path, MAX_PATH + 1);
    if (length == 0 || length > MAX_PATH)
        return;
    std::wstring helpFile = helpFileOf(std::wstring(path, length));
    htmlHelp(owner, helpFile.c_str(), kHelpContextCommand, kMainPageContext);
}

std::wstring HelpLauncher::helpFileOf(const std::wstring& programFile) {
    std::wstring helpFile = programFile;
    size_t name = helpFile.find_last_of(L"\\/");
    size_t dot = helpFile.find_last_of(L'.');
    if (dot != std::wstring::npos && (name == std::wstring::npos || dot > name))
        helpFile.erase(dot);
    return helpFile + L".CHM";
}

} // namespace keywhirl

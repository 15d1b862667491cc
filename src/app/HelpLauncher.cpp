// src/app/HelpLauncher.cpp
#include "app/HelpLauncher.h"

#include "localization/LocalizationManager.h"
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
    std::wstring helpFile =
        getHelpFile(LocalizationManager::instance()->getCurrentLocale().toString());
    htmlHelp(owner, helpFile.c_str(), kHelpContextCommand, kMainPageContext);
}

} // namespace keywhirl

// src/app/HelpLauncher.h - opens the help file at its main page.
#pragma once

#include <windows.h>

namespace keywhirl {

// The help in the interface language (getHelpFile in settings/Paths.h) is
// shown by the platform's HTML Help control, loaded from the system folder
// when first needed.
class HelpLauncher {
public:
    // The context id of the main page.
    static constexpr DWORD kMainPageContext = 0x20066;

    // Opens the help for the window; nothing when the control is missing.
    static void open(HWND owner);
};

} // namespace keywhirl

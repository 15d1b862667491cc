// src/app/CkeywhirlApp.cpp
#include "app/CkeywhirlApp.h"

#include "app/CkeywhirlDlg.h"
#include "app/KeywhirlSplashWindow.h"
#include "app/SplashHolder.h"

#include <commctrl.h>

namespace keywhirl {

namespace {
std::unique_ptr<CSplashWnd> makeKeywhirlSplash() {
    return std::make_unique<KeywhirlSplashWindow>();
}
} // namespace

int CkeywhirlApp::run() {
    INITCOMMONCONTROLSEX controls;
    controls.dwSize = sizeof controls;
    controls.dwICC = 0xFF;
    ::InitCommonControlsEx(&controls);

    // A second start only asks the running program to show its keyboard.
    if (HWND running = ::FindWindowW(L"#32770", L"Keywhirl")) {
        ::SendMessageW(running, CkeywhirlDlg::kShowKeyboardMessage, 0, 0);
        return 0;
    }

    SplashHolder splash;
    if (!splash.create(&makeKeywhirlSplash)) {
        ::MessageBoxW(nullptr, L"Не могу создать splash screen", nullptr, MB_ICONHAND);
        return 1;
    }
    {
        CkeywhirlDlg mainWindow;
        mainWindow.setSplash(&splash);
        mainWindow.run();
    }
    return 0;
}

} // namespace keywhirl

// src/app/CkeywhirlApp.cpp
#include "app/CkeywhirlApp.h"

#include "app/CkeywhirlDlg.h"
#include "app/KeywhirlSplashWindow.h"
#include "app/SingleInstance.h"
#include "app/SplashHolder.h"

#include <commctrl.h>

namespace keywhirl {

namespace {
// The running copy may itself be starting: its main window answers after
// its pause and initialisation.
constexpr DWORD kWaitForRunningMs = 15000;

std::unique_ptr<CSplashWnd> makeKeywhirlSplash() {
    return std::make_unique<KeywhirlSplashWindow>();
}
} // namespace

int CkeywhirlApp::run() {
    // Before anything else: of copies started together, one runs on; the
    // others ask it for its keyboard, as a later start does.
    SingleInstance instance;
    if (!instance.isFirst()) {
        SingleInstance::showRunningKeyboard(kWaitForRunningMs);
        return 0;
    }

    INITCOMMONCONTROLSEX controls;
    controls.dwSize = sizeof controls;
    controls.dwICC = 0xFF;
    ::InitCommonControlsEx(&controls);

    // The splash thread must not touch the language files: its texts are
    // read here, before it starts.
    try {
        KeywhirlSplashWindow::setTexts(KeywhirlSplashWindow::currentTexts());
    } catch (...) {
        // Without its texts the splash shows the bare picture.
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

// tests/window/app/TrayIconTest.cpp - the icon in the notification area of the test desktop.
#include "app/TrayIcon.h"

#include "ui/AppMessages.h"
#include "ui/Handles.h"

#include <gtest/gtest.h>

#include <shellapi.h>

namespace keywhirl {
namespace {

// Whether the shell holds the window's icon: only a held icon can change.
bool iconShown(HWND window) {
    NOTIFYICONDATAW data = {};
    data.cbSize = NOTIFYICONDATAW_V2_SIZE;
    data.hWnd = window;
    data.uID = kTrayIconId;
    data.uFlags = NIF_TIP;
    ::lstrcpynW(data.szTip, L"probe", ARRAYSIZE(data.szTip));
    return ::Shell_NotifyIconW(NIM_MODIFY, &data) != FALSE;
}

TEST(TrayIcon, ShownRemovedAndBroughtBackWhenTheShellRestarts) {
    ui::UniqueWindow window(::CreateWindowExW(0, L"STATIC", L"tray owner", WS_POPUP, 0, 0, 1, 1,
                                              nullptr, nullptr, nullptr, nullptr));
    ASSERT_TRUE(window);
    ui::UniqueIcon icon(::LoadIconW(nullptr, IDI_APPLICATION));
    TrayIcon tray(icon.get());
    tray.show(window.get());
    ASSERT_TRUE(iconShown(window.get())) << "no notification area on the test desktop";
    EXPECT_FALSE(tray.isRetrying());

    EXPECT_FALSE(tray.onTimer(kHookCheckTimer)) << "another timer of the window";
    EXPECT_FALSE(tray.onShellMessage(WM_USER + 77));
    EXPECT_FALSE(tray.onShellMessage(0));

    tray.remove();
    EXPECT_FALSE(iconShown(window.get()));
    // Explorer restarted: a new notification area that knows no icon.
    EXPECT_TRUE(tray.onShellMessage(::RegisterWindowMessageW(L"TaskbarCreated")));
    EXPECT_TRUE(iconShown(window.get()));
    tray.remove();
}

TEST(TrayIcon, ARetryFindsAnIconTheShellTookLateAndStops) {
    ui::UniqueWindow window(::CreateWindowExW(0, L"STATIC", L"tray owner", WS_POPUP, 0, 0, 1, 1,
                                              nullptr, nullptr, nullptr, nullptr));
    ui::UniqueIcon icon(::LoadIconW(nullptr, IDI_APPLICATION));
    TrayIcon tray(icon.get());
    tray.show(window.get());
    ASSERT_TRUE(iconShown(window.get()));
    // The retry timer of a window whose icon is there: it finds it and stops.
    EXPECT_TRUE(tray.onTimer(kTrayRetryTimer));
    EXPECT_FALSE(tray.isRetrying());
    EXPECT_TRUE(iconShown(window.get())) << "not added twice, not lost";
    tray.remove();
}

} // namespace
} // namespace keywhirl

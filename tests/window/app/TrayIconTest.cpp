// tests/window/app/TrayIconTest.cpp - the icon in the notification area of the test desktop.
#include "app/TrayIcon.h"

#include "app/GreyIcon.h"

#include "ui/AppMessages.h"
#include "ui/Handles.h"

#include <gtest/gtest.h>

#include <shellapi.h>

#include <vector>

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

// The icon's colour pixels, top-down, as 0xAARRGGBB; the mask's pixels as 0 or 1.
struct IconPixels {
    std::vector<DWORD> colour;
    std::vector<DWORD> mask;
};

std::vector<DWORD> bitmapPixels(HBITMAP bitmap) {
    BITMAP size = {};
    ::GetObjectW(bitmap, sizeof size, &size);
    BITMAPINFO format = {};
    format.bmiHeader.biSize = sizeof format.bmiHeader;
    format.bmiHeader.biWidth = size.bmWidth;
    format.bmiHeader.biHeight = -size.bmHeight;
    format.bmiHeader.biPlanes = 1;
    format.bmiHeader.biBitCount = 32;
    std::vector<DWORD> pixels(static_cast<size_t>(size.bmWidth) * size.bmHeight);
    ::GetDIBits(ui::WindowDc(nullptr).get(), bitmap, 0, size.bmHeight, pixels.data(), &format,
                DIB_RGB_COLORS);
    return pixels;
}

IconPixels iconPixels(HICON icon) {
    ICONINFO info = {};
    ::GetIconInfo(icon, &info);
    ui::UniqueBitmap colour(info.hbmColor);
    ui::UniqueBitmap mask(info.hbmMask);
    return {bitmapPixels(colour.get()), bitmapPixels(mask.get())};
}

TEST(TrayIcon, ThePausedPictureIsALightGreyOfTheSameShape) {
    ui::UniqueIcon icon(::LoadIconW(nullptr, IDI_APPLICATION));
    ui::UniqueIcon grey(makeGreyIcon(icon.get()));
    ASSERT_TRUE(grey);
    const IconPixels before = iconPixels(icon.get());
    const IconPixels after = iconPixels(grey.get());
    ASSERT_EQ(after.colour.size(), before.colour.size());
    EXPECT_EQ(after.mask, before.mask) << "the same pixels stay transparent";
    for (size_t i = 0; i < after.colour.size(); ++i) {
        const DWORD pixel = after.colour[i];
        const DWORD blue = pixel & 0xFF, green = (pixel >> 8) & 0xFF, red = (pixel >> 16) & 0xFF;
        ASSERT_TRUE(red == green && green == blue) << "pixel " << i << " is coloured";
        ASSERT_GE(blue, 96u) << "pixel " << i << " is darker than a paled grey";
        ASSERT_EQ(pixel >> 24, before.colour[i] >> 24) << "pixel " << i << " lost its alpha";
    }
    EXPECT_EQ(makeGreyIcon(nullptr), nullptr);
}

} // namespace
} // namespace keywhirl

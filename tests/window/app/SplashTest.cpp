// tests/window/app/SplashTest.cpp - the start-up picture on its own thread.
#include "app/KeywhirlSplashWindow.h"
#include "app/SplashHolder.h"

#include <gtest/gtest.h>

#include <memory>

namespace keywhirl {
namespace {

std::unique_ptr<CSplashWnd> makeSplash() {
    return std::make_unique<KeywhirlSplashWindow>();
}
std::unique_ptr<CSplashWnd> makeNothing() {
    return nullptr;
}

TEST(Splash, ShowsThePictureCentredAndTopmostAndOnlyHideClosesIt) {
    SplashHolder holder;
    ASSERT_TRUE(holder.create(&makeSplash));
    HWND splash = holder.window();
    ASSERT_NE(splash, nullptr);

    RECT rect;
    ::GetWindowRect(splash, &rect);
    EXPECT_EQ(rect.right - rect.left, 650);
    EXPECT_EQ(rect.bottom - rect.top, 635);
    EXPECT_EQ(rect.left, (::GetSystemMetrics(SM_CXSCREEN) - 650) / 2);
    EXPECT_EQ(rect.top, (::GetSystemMetrics(SM_CYSCREEN) - 635) / 2);
    EXPECT_TRUE(::GetWindowLongW(splash, GWL_EXSTYLE) & WS_EX_TOPMOST);
    EXPECT_TRUE(::IsWindowVisible(splash));
    EXPECT_NE(::GetWindowThreadProcessId(splash, nullptr), ::GetCurrentThreadId());

    ::SendMessageW(splash, WM_CLOSE, 0, 0);
    EXPECT_TRUE(::IsWindow(splash)) << "the user cannot close the splash";

    EXPECT_TRUE(holder.hide(nullptr));
    EXPECT_FALSE(::IsWindow(splash));
    EXPECT_FALSE(holder.hide(nullptr)) << "a second hide does nothing";
}

TEST(Splash, AWindowThatCannotBeMadeLeavesAHolderThatHidesQuietly) {
    SplashHolder holder;
    ASSERT_TRUE(holder.create(&makeNothing));
    EXPECT_EQ(holder.window(), nullptr);
    EXPECT_TRUE(holder.hide(nullptr)) << "it only waits for the ended thread";
}

} // namespace
} // namespace keywhirl

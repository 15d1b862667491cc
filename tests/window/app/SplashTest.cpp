// tests/window/app/SplashTest.cpp - the start-up picture on its own thread.
#include "app/KeywhirlSplashWindow.h"
#include "app/SplashHolder.h"
#include "support/Waiting.h"

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

using testing::pump;

// A top-level window of the test, standing for the program the user types in.
struct TopWindow {
    explicit TopWindow(DWORD style, int x = 40)
        : handle(::CreateWindowExW(0, L"EDIT", L"", style, x, 40, 200, 60, nullptr, nullptr,
                                   ::GetModuleHandleW(nullptr), nullptr)) {}
    ~TopWindow() { ::DestroyWindow(handle); }
    HWND handle;
};

TEST(Splash, NeverTakesTheForegroundAndGivesItBackOnlyToAVisibleWindow) {
    TopWindow typing(WS_OVERLAPPEDWINDOW | WS_VISIBLE);
    ::SetForegroundWindow(typing.handle);
    pump(100);
    ASSERT_EQ(::GetForegroundWindow(), typing.handle);

    SplashHolder holder;
    ASSERT_TRUE(holder.create(&makeSplash));
    ASSERT_NE(holder.window(), nullptr);
    pump(300);
    EXPECT_TRUE(::IsWindowVisible(holder.window()));
    EXPECT_TRUE(::GetWindowLongW(holder.window(), GWL_EXSTYLE) & WS_EX_NOACTIVATE);
    EXPECT_EQ(::GetForegroundWindow(), typing.handle) << "the splash appeared without activation";

    TopWindow hidden(WS_POPUP, 300);
    EXPECT_TRUE(holder.hide(hidden.handle));
    pump(100);
    EXPECT_EQ(::GetForegroundWindow(), typing.handle) << "a hidden window never gets it";
    EXPECT_FALSE(::IsWindowVisible(hidden.handle));
}

TEST(Splash, AWindowOfOursThatTookTheForegroundGivesItBackAtTheEnd) {
    TopWindow typing(WS_OVERLAPPEDWINDOW | WS_VISIBLE);
    ::SetForegroundWindow(typing.handle);
    pump(100);
    ASSERT_EQ(::GetForegroundWindow(), typing.handle);

    SplashHolder holder;
    ASSERT_TRUE(holder.create(&makeSplash));
    TopWindow intruder(WS_OVERLAPPEDWINDOW | WS_VISIBLE, 300);
    ::SetForegroundWindow(intruder.handle);
    pump(100);
    ASSERT_EQ(::GetForegroundWindow(), intruder.handle);
    EXPECT_TRUE(holder.hide(nullptr));
    pump(100);
    EXPECT_EQ(::GetForegroundWindow(), typing.handle);
}

TEST(Splash, AWindowThatCannotBeMadeLeavesAHolderThatHidesQuietly) {
    SplashHolder holder;
    ASSERT_TRUE(holder.create(&makeNothing));
    EXPECT_EQ(holder.window(), nullptr);
    EXPECT_TRUE(holder.hide(nullptr)) << "it only waits for the ended thread";
}

} // namespace
} // namespace keywhirl

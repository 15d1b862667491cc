// tests/window/app/SplashTest.cpp - the start-up picture on its own thread.
#include "app/KeywhirlSplashWindow.h"
#include "app/SplashHolder.h"
#include "localization/LocalizationManager.h"
#include "settings/Settings.h"
#include "support/TestSettings.h"
#include "support/WinePaths.h"
#include "utils/Handles.h"

#include "KeywhirlVersion.h"
#include "support/Waiting.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

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

// The texts over the picture: the subtitle of the interface language and
// the build's version, with its label in that language.
TEST(SplashTexts, ComeFromTheInterfaceLanguageAndTheBuildsVersion) {
    testing::TestSettings settings;
    const std::wstring languages = settings.folder().file(L"Localization");
    ::CreateDirectoryW(languages.c_str(), nullptr);
    for (const wchar_t* code : {L"ENU", L"RUS", L"DEU"})
        ::CopyFileW((testing::programOutputFolder() + L"\\Localization\\" + code + L".xml").c_str(),
                    (languages + L"\\" + code + L".xml").c_str(), FALSE);
    const std::wstring version = KEYWHIRL_VERSION_WIDE;
    std::wstring english;
    for (const wchar_t* code : {L"ENU", L"RUS", L"DEU"}) {
        Settings::instance()->l10nLanguageCode = code;
        LocalizationManager::reload();
        ResourceBundle splash = LocalizationManager::instance()->getBundle(L"Splash");
        KeywhirlSplashWindow::Texts texts = KeywhirlSplashWindow::currentTexts();
        EXPECT_FALSE(texts.subtitle.empty()) << code;
        EXPECT_EQ(texts.subtitle, splash.getString(L"subtitle")) << code;
        EXPECT_EQ(texts.version, splash.getString(L"version") + L" " + version) << code;
        if (english.empty())
            english = texts.subtitle;
        else
            EXPECT_NE(texts.subtitle, english) << code << " has a subtitle of its own";
    }
    // A language file without the section still shows the number.
    Settings::instance()->l10nLanguageCode = L"XXX";
    LocalizationManager::destroyInstance();
    ::DeleteFileW((languages + L"\\ENU.xml").c_str());
    ::DeleteFileW((languages + L"\\RUS.xml").c_str());
    ::DeleteFileW((languages + L"\\DEU.xml").c_str());
    LocalizationManager::reload();
    EXPECT_EQ(KeywhirlSplashWindow::currentTexts().version, version);
    LocalizationManager::destroyInstance();
}

// Counts the pixels of a rectangle that differ from the ground colour.
int inkIn(HDC dc, int left, int top, int right, int bottom, COLORREF ground) {
    int ink = 0;
    for (int y = top; y < bottom; ++y)
        for (int x = left; x < right; ++x)
            ink += ::GetPixel(dc, x, y) != ground;
    return ink;
}

TEST(SplashTexts, AreWrittenBelowTheNameAndInTheCornerOnly) {
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = 650;
    info.bmiHeader.biHeight = 635;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    void* bits = nullptr;
    utils::UniqueBitmap picture(
        ::CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    ASSERT_TRUE(picture);
    const COLORREF ground = RGB(8, 14, 38);
    utils::UniqueMemoryDc dc(::CreateCompatibleDC(nullptr));
    {
        utils::SelectedObject selected(dc.get(), picture.get());
        RECT all = {0, 0, 650, 635};
        utils::UniqueBrush brush(::CreateSolidBrush(ground));
        ::FillRect(dc.get(), &all, brush.get());
    }
    KeywhirlSplashWindow::writeTexts(
        picture.get(), 650, 635,
        {L"\x0432\x0430\x0448 \x043F\x043E\x043C\x043E\x0449\x043D\x0438\x043A", L"Version 9.8.7"});
    utils::SelectedObject selected(dc.get(), picture.get());
    EXPECT_GT(inkIn(dc.get(), 0, 570, 650, 606, ground), 50) << "the subtitle";
    EXPECT_GT(inkIn(dc.get(), 0, 600, 325, 635, ground), 20) << "the version";
    EXPECT_EQ(inkIn(dc.get(), 0, 0, 650, 560, ground), 0) << "the whirl and the name stay";
    EXPECT_EQ(inkIn(dc.get(), 400, 612, 650, 635, ground), 0) << "the team's corner stays";
}

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

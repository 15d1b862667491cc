// tests/window/keyboard/KeyboardDlgTest.cpp
#include "keyboard/KeyboardDlg.h"

#include "ui/AppMessages.h"
#include "keyboard/CloseKeyboardCommand.h"
#include "keyboard/MinimizeKeyboardCommand.h"
#include "keyboard/NamedKeys.h"
#include "localization/LocalizationManager.h"
#include "MouseInput.h"
#include "WindowThread.h"
#include "resource.h"
#include "settings/Paths.h"
#include "settings/Settings.h"
#include "support/TestSettings.h"
#include "support/OwnerWindow.h"
#include "support/WinePaths.h"
#include "weakkeys/WeakKeyRecorder.h"
#include "weakkeys/WeakKeyTint.h"

#include <gtest/gtest.h>

#include <commctrl.h>

#include <algorithm>
#include <cwchar>

#include <cstdio>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

namespace keywhirl {
namespace {

using testing::pump;
using testing::pumpUntil;
using testing::runOnOtherThread;

constexpr int kPictureWidth = 754;
constexpr int kPictureHeight = 246;

// Destroys the window it is given, as the keyboard's own close command does.
class CountingClose : public commands::CloseKeyboardCommand {
public:
    CountingClose() : CloseKeyboardCommand(nullptr) {}
    void execute() override {
        ++runs;
        if (target && target->getSafeHwnd())
            ::DestroyWindow(target->getSafeHwnd());
    }
    int runs = 0;
    const KeyboardDlg* target = nullptr;
};

class CountingMinimize : public commands::MinimizeKeyboardCommand {
public:
    CountingMinimize() : MinimizeKeyboardCommand(nullptr) {}
    void execute() override { ++runs; }
    int runs = 0;
};

class TestKeyboardDlg : public KeyboardDlg {
public:
    std::atomic<int> towardsTray{0};
    std::atomic<int> fromTray{0};
    int paints = 0;

protected:
    bool onMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override {
        if (message == WM_PAINT)
            ++paints;
        return KeyboardDlg::onMessage(message, wParam, lParam, result);
    }
    void animateTray(bool towards) override {
        ++(towards ? towardsTray : fromTray);
        KeyboardDlg::animateTray(towards);
    }
};

BYTE alphaOf(HWND window) {
    BYTE alpha = 0;
    DWORD flags = 0;
    if (!::GetLayeredWindowAttributes(window, nullptr, &alpha, &flags) || !(flags & LWA_ALPHA))
        return 0;
    return alpha;
}

RECT windowRect(HWND window) {
    RECT rect = {};
    ::GetWindowRect(window, &rect);
    return rect;
}

class KeyboardDlgTest : public ::testing::Test {
protected:
    void SetUp() override {
        setFolderOverrides(testing::programOutputFolder(), settings.folder().path());
        dialog.addCommand(&close);
        dialog.addCommand(&minimize);
        close.target = &dialog;
    }
    void TearDown() override { LocalizationManager::destroyInstance(); }

    bool create() {
        bool created = dialog.create(nullptr);
        window = dialog.getSafeHwnd();
        return created;
    }
    Settings& options() { return *Settings::instance(); }
    void showAtFullOpacity() {
        dialog.restoreFromTray();
        ASSERT_TRUE(pumpUntil([&] { return ::IsWindowVisible(window) != FALSE; }));
        pump(50);
    }

    testing::TestSettings settings;
    CountingClose close;
    CountingMinimize minimize;
    TestKeyboardDlg dialog;
    HWND window = nullptr;
};

TEST_F(KeyboardDlgTest, IsMadeHiddenFromItsTemplateWithThePicturesSize) {
    ASSERT_TRUE(create());
    ASSERT_TRUE(::IsWindow(window));
    EXPECT_FALSE(::IsWindowVisible(window));
    RECT rect = windowRect(window);
    EXPECT_EQ(kPictureWidth, rect.right - rect.left);
    EXPECT_EQ(kPictureHeight, rect.bottom - rect.top);
    LONG exStyle = ::GetWindowLongW(window, GWL_EXSTYLE);
    EXPECT_TRUE(exStyle & WS_EX_TOPMOST);
    EXPECT_TRUE(exStyle & WS_EX_TOOLWINDOW);
    EXPECT_TRUE(exStyle & WS_EX_LAYERED);
    EXPECT_EQ(225, alphaOf(window)) << "the configured opacity, at once";
}

TEST_F(KeyboardDlgTest, TheButtonsSitAtTheTopRight) {
    ASSERT_TRUE(create());
    HWND minimizeButton = ::GetDlgItem(window, IDC_KEYBOARD_MINIMIZE);
    HWND closeButton = ::GetDlgItem(window, IDC_KEYBOARD_CLOSE);
    RECT rect = windowRect(minimizeButton);
    ::MapWindowPoints(nullptr, window, reinterpret_cast<POINT*>(&rect), 2);
    EXPECT_EQ(kPictureWidth - 33, rect.left);
    EXPECT_EQ(15, rect.top);
    EXPECT_EQ(11, rect.right - rect.left);
    EXPECT_EQ(11, rect.bottom - rect.top);
    rect = windowRect(closeButton);
    ::MapWindowPoints(nullptr, window, reinterpret_cast<POINT*>(&rect), 2);
    EXPECT_EQ(kPictureWidth - 52, rect.left);
    EXPECT_EQ(15, rect.top);
    EXPECT_EQ(11, rect.right - rect.left);
    EXPECT_TRUE(::GetWindowLongW(minimizeButton, GWL_STYLE) & WS_VISIBLE);
    EXPECT_FALSE(::GetWindowLongW(closeButton, GWL_STYLE) & WS_VISIBLE);
}

// Every pixel of the picture against the window's region.
TEST_F(KeyboardDlgTest, TheRegionIsEveryPixelNotOfTheTopLeftColour) {
    ASSERT_TRUE(create());
    utils::UniqueRegion region(::CreateRectRgn(0, 0, 0, 0));
    ASSERT_NE(ERROR, ::GetWindowRgn(window, region.get()));

    utils::UniqueBitmap picture(static_cast<HBITMAP>(::LoadImageW(
        nullptr, KeyboardDlg::backgroundPath().c_str(), IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE)));
    ASSERT_TRUE(picture);
    utils::UniqueMemoryDc dc(::CreateCompatibleDC(nullptr));
    utils::SelectedObject selected(dc.get(), picture.get());
    COLORREF key = ::GetPixel(dc.get(), 0, 0);
    int inside = 0, wrong = 0;
    for (int y = 0; y < kPictureHeight; ++y) {
        for (int x = 0; x < kPictureWidth; ++x) {
            bool opaque = ::GetPixel(dc.get(), x, y) != key;
            inside += opaque;
            if ((::PtInRegion(region.get(), x, y) != FALSE) != opaque && ++wrong < 5)
                ADD_FAILURE() << "pixel " << x << ", " << y;
        }
    }
    EXPECT_EQ(0, wrong);
    EXPECT_GT(inside, kPictureWidth * kPictureHeight / 2);
    EXPECT_LT(inside, kPictureWidth * kPictureHeight);
}

TEST_F(KeyboardDlgTest, IsCentredWithoutAStoredPosition) {
    options().keyboardPosX = Settings::NoPosition;
    options().keyboardPosY = 300;
    ASSERT_TRUE(create());
    RECT work;
    ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    RECT rect = windowRect(window);
    EXPECT_EQ(work.left + (work.right - work.left - kPictureWidth) / 2, rect.left);
    EXPECT_EQ(work.top + (work.bottom - work.top - kPictureHeight) / 2, rect.top);
}

TEST_F(KeyboardDlgTest, AStoredPositionEndsWhollyInsideTheWorkArea) {
    RECT work;
    ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    struct Case {
        long x, y;
        bool kept;
    };
    const Case cases[] = {{-3000, 5000, false},
                          {32767, 32767, false},
                          {-32768, -32768, false},
                          {work.right - 40, work.top + 10, false},
                          {work.left - kPictureWidth + 30, work.bottom - 30, false},
                          {work.left + 10, work.bottom - kPictureHeight + 1, false},
                          {work.left + 10, work.bottom - kPictureHeight, true}};
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.x) + "," + std::to_string(c.y));
        options().keyboardPosX = c.x;
        options().keyboardPosY = c.y;
        ASSERT_TRUE(create());
        RECT rect = windowRect(window);
        EXPECT_EQ(kPictureWidth, rect.right - rect.left);
        RECT inside;
        EXPECT_TRUE(::IntersectRect(&inside, &rect, &work));
        EXPECT_TRUE(::EqualRect(&inside, &rect)) << "wholly inside the work area";
        if (c.kept) {
            EXPECT_EQ(c.x, rect.left);
            EXPECT_EQ(c.y, rect.top);
        }
        ::DestroyWindow(window);
    }
}

TEST_F(KeyboardDlgTest, ComesBackIntoTheWorkAreaWhenTheScreenOrTheTaskbarChanges) {
    RECT work;
    ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    struct Case {
        const char* name;
        UINT message;
        WPARAM wParam;
        bool moves;
    };
    const Case cases[] = {
        {"a drag ended", WM_EXITSIZEMOVE, 0, true},
        {"another resolution", WM_DISPLAYCHANGE, 32, true},
        {"the work area changed", WM_SETTINGCHANGE, SPI_SETWORKAREA, true},
        {"another setting changed", WM_SETTINGCHANGE, SPI_SETDESKWALLPAPER, false},
    };
    ASSERT_TRUE(create());
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const int left = work.right - 100;
        ::SetWindowPos(window, nullptr, left, work.top + 5, 0, 0,
                       SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        ::SendMessageW(window, c.message, c.wParam, 0);
        RECT rect = windowRect(window);
        EXPECT_EQ(c.moves ? work.right - kPictureWidth : left, rect.left);
        EXPECT_EQ(work.top + 5, rect.top);
    }
}

TEST_F(KeyboardDlgTest, SavesPositionAndVisibilityWhenDestroyed) {
    options().keyboardPosX = 40;
    options().keyboardPosY = 50;
    ASSERT_TRUE(create());
    showAtFullOpacity();
    ::SetWindowPos(window, nullptr, 321, 123, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    options().keyboardIsVisible = false;
    ::DestroyWindow(window);
    EXPECT_EQ(321, options().keyboardPosX.load());
    EXPECT_EQ(123, options().keyboardPosY.load());
    EXPECT_TRUE(options().keyboardIsVisible.load());
}

TEST_F(KeyboardDlgTest, AFadedOutKeyboardIsSavedAsHidden) {
    ASSERT_TRUE(create());
    showAtFullOpacity();
    ASSERT_TRUE(runOnOtherThread([&] { dialog.startFade(false); }));
    ASSERT_TRUE(pumpUntil([&] { return !::IsWindowVisible(window); }));
    ::DestroyWindow(window);
    EXPECT_FALSE(options().keyboardIsVisible.load());
}

TEST_F(KeyboardDlgTest, FadesInFromAnotherThreadAndOutAgainUntilHidden) {
    ASSERT_TRUE(create());
    ASSERT_TRUE(runOnOtherThread([&] { dialog.startFade(true); }));
    ASSERT_TRUE(pumpUntil([&] { return ::IsWindowVisible(window) != FALSE; }));
    ASSERT_TRUE(pumpUntil([&] { return dialog.getFader().isIdle(); }));
    EXPECT_EQ(225, alphaOf(window));

    ASSERT_TRUE(runOnOtherThread([&] { dialog.startFade(false); }));
    ASSERT_TRUE(pumpUntil([&] { return !::IsWindowVisible(window); }));
    EXPECT_EQ(0, alphaOf(window));
    EXPECT_EQ(0, dialog.getFader().getAlpha());

    // A fade-in starts from where the fade-out ended.
    ASSERT_TRUE(runOnOtherThread([&] { dialog.startFade(true); }));
    ASSERT_TRUE(pumpUntil([&] { return ::IsWindowVisible(window) != FALSE; }));
    ASSERT_TRUE(pumpUntil([&] { return dialog.getFader().getAlpha() == 225; }));
    EXPECT_TRUE(pumpUntil([&] { return alphaOf(window) == 225; }));
}

// True when upper stands above lower in the z-order.
bool standsAbove(HWND upper, HWND lower) {
    for (HWND above = ::GetWindow(lower, GW_HWNDPREV); above;
         above = ::GetWindow(above, GW_HWNDPREV))
        if (above == upper)
            return true;
    return false;
}

TEST_F(KeyboardDlgTest, ComesOnTopOfOtherTopmostWindowsWithoutTheFocusEachTimeItShows) {
    struct Case {
        const char* name;
        bool shownBefore;
        std::function<void(KeyboardDlg&)> show;
    };
    const Case cases[] = {
        {"the hint fades in", false, [](KeyboardDlg& keyboard) { keyboard.startFade(true); }},
        {"a fade-in of a shown keyboard", true,
         [](KeyboardDlg& keyboard) { keyboard.startFade(true); }},
        {"restored from the tray", false,
         [](KeyboardDlg& keyboard) { keyboard.restoreFromTray(); }},
    };
    ASSERT_TRUE(create());
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        if (c.shownBefore)
            showAtFullOpacity();
        else
            dialog.hideToTray();
        pump(20);
        // Another program's topmost window comes over the keyboard.
        HWND cover = ::CreateWindowExW(WS_EX_TOPMOST | WS_EX_TOOLWINDOW, L"Static", L"", WS_POPUP,
                                       0, 0, 100, 100, nullptr, nullptr, nullptr, nullptr);
        ASSERT_NE(nullptr, cover);
        ::ShowWindow(cover, SW_SHOWNOACTIVATE);
        ASSERT_TRUE(standsAbove(cover, window));
        const HWND foreground = ::GetForegroundWindow();
        ASSERT_TRUE(runOnOtherThread([&] { c.show(dialog); }));
        EXPECT_TRUE(pumpUntil([&] { return standsAbove(window, cover); }));
        EXPECT_TRUE(::IsWindowVisible(window));
        EXPECT_EQ(foreground, ::GetForegroundWindow());
        EXPECT_NE(window, ::GetActiveWindow());
        ::DestroyWindow(cover);
    }
}

TEST_F(KeyboardDlgTest, AFadeOutOfAHiddenKeyboardShowsNothing) {
    ASSERT_TRUE(create());
    ASSERT_TRUE(runOnOtherThread([&] { dialog.startFade(false); }));
    pump(300);
    EXPECT_FALSE(::IsWindowVisible(window));
}

TEST_F(KeyboardDlgTest, HideAndRestoreAnimateOnlyWhenTheyChangeSomething) {
    ASSERT_TRUE(create());
    dialog.hideToTray();
    EXPECT_EQ(0, dialog.towardsTray);

    showAtFullOpacity();
    EXPECT_EQ(1, dialog.fromTray);
    EXPECT_EQ(225, alphaOf(window));
    dialog.restoreFromTray();
    EXPECT_EQ(1, dialog.fromTray) << "already visible";

    ASSERT_TRUE(runOnOtherThread([&] { dialog.hideToTray(); }));
    ASSERT_TRUE(pumpUntil([&] { return !::IsWindowVisible(window); }));
    EXPECT_EQ(1, dialog.towardsTray);
    EXPECT_EQ(0, alphaOf(window)) << "fully transparent at once";
    dialog.hideToTray();
    EXPECT_EQ(1, dialog.towardsTray) << "already hidden";

    ASSERT_TRUE(runOnOtherThread([&] { dialog.restoreFromTray(); }));
    ASSERT_TRUE(pumpUntil([&] { return ::IsWindowVisible(window) != FALSE; }));
    EXPECT_EQ(2, dialog.fromTray);
    EXPECT_EQ(225, alphaOf(window)) << "full opacity at once";
}

TEST_F(KeyboardDlgTest, HideAndShowAtOnceOnTheWindowThreadLeavesItShown) {
    ASSERT_TRUE(create());
    showAtFullOpacity();
    dialog.hideToTray();
    dialog.restoreFromTray();
    pump(100);
    EXPECT_TRUE(::IsWindowVisible(window));
    EXPECT_EQ(225, alphaOf(window));
}

TEST_F(KeyboardDlgTest, AHiddenAndRestoredKeyboardStaysAtFullOpacity) {
    ASSERT_TRUE(create());
    showAtFullOpacity();
    ::SendMessageW(window, kSetKeyboardOpacityMessage, 255, 0);
    // Hidden half way through a fade-out: the rest of that fade must not
    // take the restored keyboard down again.
    ASSERT_TRUE(runOnOtherThread([&] {
        dialog.startFade(false);
        ::Sleep(40);
        dialog.hideToTray();
    }));
    ASSERT_TRUE(pumpUntil([&] { return !::IsWindowVisible(window); }));
    ASSERT_TRUE(runOnOtherThread([&] { dialog.restoreFromTray(); }));
    ASSERT_TRUE(pumpUntil([&] { return ::IsWindowVisible(window) != FALSE; }));
    pump(300);
    EXPECT_TRUE(::IsWindowVisible(window));
    EXPECT_EQ(255, alphaOf(window));
}

TEST_F(KeyboardDlgTest, AKeyboardFadedOutBeforeItsFirstPaintIsRestoredAtFullOpacity) {
    // Hidden at start; a typing key fades the never painted window out.
    ASSERT_TRUE(create());
    ASSERT_TRUE(runOnOtherThread([&] { dialog.startFade(false); }));
    ASSERT_TRUE(pumpUntil([&] { return dialog.getFader().isIdle(); }));
    ASSERT_EQ(0, dialog.getFader().getAlpha());
    ASSERT_EQ(0, dialog.paints);

    ASSERT_TRUE(runOnOtherThread([&] { dialog.restoreFromTray(); }));
    ASSERT_TRUE(pumpUntil([&] { return ::IsWindowVisible(window) != FALSE; }));
    pump(200);
    EXPECT_EQ(225, alphaOf(window));
    EXPECT_EQ(225, dialog.getFader().getAlpha());
}

TEST_F(KeyboardDlgTest, NewOpacityAppliesAtOnceToAShownKeyboard) {
    ASSERT_TRUE(create());
    showAtFullOpacity();
    EXPECT_EQ(0, ::SendMessageW(window, kSetKeyboardOpacityMessage, 128, 0));
    EXPECT_EQ(128, alphaOf(window));
    EXPECT_EQ(128, dialog.getFader().getHigh());
    EXPECT_EQ(0, dialog.getFader().getLow());
}

TEST_F(KeyboardDlgTest, NewOpacityLeavesATransparentKeyboardTransparentUntilItsNextFade) {
    ASSERT_TRUE(create());
    showAtFullOpacity();
    ASSERT_TRUE(runOnOtherThread([&] { dialog.startFade(false); }));
    ASSERT_TRUE(pumpUntil([&] { return !::IsWindowVisible(window); }));
    ::SendMessageW(window, kSetKeyboardOpacityMessage, 128, 0);
    EXPECT_EQ(0, alphaOf(window));
    ASSERT_TRUE(runOnOtherThread([&] { dialog.startFade(true); }));
    ASSERT_TRUE(pumpUntil([&] { return dialog.getFader().getAlpha() == 128; }));
    ASSERT_TRUE(pumpUntil([&] { return dialog.getFader().isIdle(); }));
    EXPECT_EQ(128, alphaOf(window));
}

TEST_F(KeyboardDlgTest, AZeroOpacityKeyboardHidesAgainAfterItsFadeIn) {
    options().keyboardOpacity = 0;
    ASSERT_TRUE(create());
    ASSERT_TRUE(runOnOtherThread([&] { dialog.startFade(true); }));
    pump(100);
    EXPECT_TRUE(pumpUntil([&] { return !::IsWindowVisible(window); }));
    EXPECT_EQ(0, alphaOf(window));
}

TEST_F(KeyboardDlgTest, CloseRunsTheCloseCommandsAndNothingElse) {
    close.target = nullptr; // keep the window to look at it
    ASSERT_TRUE(dialog.create(nullptr));
    window = dialog.getSafeHwnd();
    ::SendMessageW(window, WM_CLOSE, 0, 0);
    EXPECT_EQ(1, close.runs);
    EXPECT_EQ(0, minimize.runs);
    EXPECT_TRUE(::IsWindow(window)) << "the close command decides what happens";
}

TEST_F(KeyboardDlgTest, TheButtonRunsTheMinimizeCommands) {
    ASSERT_TRUE(create());
    HWND button = ::GetDlgItem(window, IDC_KEYBOARD_MINIMIZE);
    ::SendMessageW(window, WM_COMMAND, MAKEWPARAM(IDC_KEYBOARD_MINIMIZE, BN_CLICKED),
                   reinterpret_cast<LPARAM>(button));
    EXPECT_EQ(1, minimize.runs);
    EXPECT_EQ(0, close.runs);
}

TEST_F(KeyboardDlgTest, EnterAndEscapeDoNothing) {
    ASSERT_TRUE(create());
    showAtFullOpacity();
    ::SendMessageW(window, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    ::SendMessageW(window, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
    ::SendMessageW(window, WM_KEYDOWN, VK_ESCAPE, 0);
    ::SendMessageW(window, WM_KEYDOWN, VK_RETURN, 0);
    pump(50);
    EXPECT_TRUE(::IsWindow(window));
    EXPECT_TRUE(::IsWindowVisible(window));
    EXPECT_EQ(0, close.runs);
    EXPECT_EQ(0, minimize.runs);
}

KeyInfoWrapper keyEvent(UINT virtualKey, unsigned scanCode, bool up, bool repeat = false) {
    KeyRecord record;
    std::memset(&record, 0, sizeof record);
    record.keyboardLayout = ::GetKeyboardLayout(0);
    record.virtualKey = virtualKey;
    record.keyData =
        1u | scanCode << 16 | (repeat || up ? 0x40000000u : 0u) | (up ? 0x80000000u : 0u);
    if (virtualKey == VK_SHIFT && !up)
        record.keyState[VK_SHIFT] = 0x80;
    return KeyInfoWrapper(record);
}

TEST_F(KeyboardDlgTest, RepaintsForModifiersAndLayoutsButNotForLetters) {
    ASSERT_TRUE(create());
    showAtFullOpacity();
    // Paints that the events of the other thread caused.
    auto paintsAfter = [&](std::function<void()> events) {
        int before = dialog.paints;
        EXPECT_TRUE(runOnOtherThread(events));
        pump(60);
        return dialog.paints - before;
    };
    EXPECT_EQ(0, paintsAfter([&] {
                  dialog.onKey(keyEvent('Q', 0x10, false));
                  dialog.onKey(keyEvent('Q', 0x10, true));
              }));
    EXPECT_EQ(1, paintsAfter([&] { dialog.onKey(keyEvent(VK_SHIFT, 0x2A, false)); }));
    EXPECT_EQ(0, paintsAfter([&] { dialog.onKey(keyEvent(VK_SHIFT, 0x2A, false, true)); }));
    EXPECT_EQ(1, paintsAfter([&] { dialog.onKey(keyEvent(VK_SHIFT, 0x2A, true)); }));
    HKL layout = ::GetKeyboardLayout(0);
    EXPECT_EQ(1, paintsAfter([&] { dialog.setLayout(layout); }))
        << "a layout change always repaints";
    KeyInfoWrapper last = dialog.getDrawer().getLastEvent();
    EXPECT_EQ(layout, last.keyboardLayout());
    EXPECT_EQ(0, last.keyState()[VK_SHIFT]) << "the released Shift is kept";
}

// A Win key is no modifier to the labels, but it is drawn pressed while held.
TEST_F(KeyboardDlgTest, HoldingAndReleasingAWinKeyRepaints) {
    ASSERT_TRUE(create());
    showAtFullOpacity();
    auto paintsAfter = [&](std::function<void()> events) {
        int before = dialog.paints;
        EXPECT_TRUE(runOnOtherThread(events));
        pump(60);
        return dialog.paints - before;
    };
    KeyInfoWrapper down = keyEvent(VK_LWIN, 0x5B, false);
    KeyRecord record = down.record();
    record.keyState[VK_LWIN] = 0x80;
    EXPECT_EQ(1, paintsAfter([&] { dialog.onKey(KeyInfoWrapper(record)); }));
    EXPECT_EQ(1, paintsAfter([&] { dialog.onKey(keyEvent(VK_LWIN, 0x5B, true)); }));
}

// The picture as the window paints it, in a memory bitmap.
struct Picture {
    Picture(const KeyboardDlg& dialog) {
        utils::WindowDc screen(nullptr);
        dc.reset(::CreateCompatibleDC(screen.get()));
        bitmap.reset(::CreateCompatibleBitmap(screen.get(), kPictureWidth, kPictureHeight));
        ::SelectObject(dc.get(), bitmap.get());
        const RECT client = {0, 0, kPictureWidth, kPictureHeight};
        dialog.drawPicture(dc.get(), client);
    }
    // The box around the dark (name) pixels of a named key's cap.
    RECT inkOf(const NamedKeys::Key& key) const {
        RECT box = key.cell.toRECT();
        RECT ink = {box.right, box.bottom, box.left, box.top};
        // Inside the face, pressed or not; the name is far darker than any cap.
        for (int y = box.top + 5; y <= box.bottom - 5; ++y)
            for (int x = box.left + 5; x <= box.right - 5; ++x) {
                COLORREF c = ::GetPixel(dc.get(), x, y);
                if (GetRValue(c) + GetGValue(c) + GetBValue(c) < 3 * 120) {
                    ink.left = std::min<LONG>(ink.left, x);
                    ink.right = std::max<LONG>(ink.right, x + 1);
                    ink.top = std::min<LONG>(ink.top, y);
                    ink.bottom = std::max<LONG>(ink.bottom, y + 1);
                }
            }
        return ink;
    }
    // The brightness of the cap's face beside its name.
    int faceOf(const NamedKeys::Key& key) const {
        COLORREF c = ::GetPixel(dc.get(), key.cell.getLeft() + 6, key.cell.getTop() + 10);
        return GetRValue(c) + GetGValue(c) + GetBValue(c);
    }
    utils::UniqueMemoryDc dc;
    utils::UniqueBitmap bitmap;
};

const NamedKeys::Key& namedKey(const wchar_t* textKey, bool left) {
    for (const NamedKeys::Key& key : NamedKeys::keys())
        if (std::wstring(key.textKey) == textKey && key.leftSide == left)
            return key;
    return NamedKeys::keys().front();
}

// The names on the blank caps are the language file's, drawn at run time:
// a German user reads "Strg" where the cap says so.
TEST_F(KeyboardDlgTest, NamedKeysCarryTheNamesOfTheInterfaceLanguage) {
    ASSERT_TRUE(create());
    const NamedKeys::Key& ctrl = namedKey(L"key.ctrl", true);
    const NamedKeys::Key& shift = namedKey(L"key.shift", true);
    const NamedKeys::Key& alt = namedKey(L"key.alt", true);
    std::vector<RECT> ctrlInk;
    for (const wchar_t* code : {L"ENU", L"DEU"}) {
        options().l10nLanguageCode = code;
        LocalizationManager::reload();
        ResourceBundle texts = LocalizationManager::instance()->getBundle(L"Keyboard");
        Picture picture(dialog);
        // Each name is as wide as the text the language gives it.
        for (const NamedKeys::Key* key : {&ctrl, &shift, &alt}) {
            std::wstring name = texts.getString(key->textKey);
            ASSERT_FALSE(name.empty());
            LOGFONTW description = {};
            description.lfHeight = -::MulDiv(8, ::GetDeviceCaps(picture.dc.get(), LOGPIXELSY), 72);
            std::wcscpy(description.lfFaceName, L"Arial");
            utils::UniqueFont font(::CreateFontIndirectW(&description));
            utils::SelectedObject selected(picture.dc.get(), font.get());
            SIZE extent = {};
            ::GetTextExtentPoint32W(picture.dc.get(), name.c_str(), static_cast<int>(name.size()),
                                    &extent);
            RECT ink = picture.inkOf(*key);
            ASSERT_LT(ink.left, ink.right) << "no name on a cap";
            EXPECT_NEAR(ink.right - ink.left, extent.cx, 3);
        }
        ctrlInk.push_back(picture.inkOf(ctrl));
    }
    EXPECT_EQ(LocalizationManager::instance()->getBundle(L"Keyboard").getString(L"key.ctrl"),
              L"Strg");
    EXPECT_NE(ctrlInk[0].right - ctrlInk[0].left, ctrlInk[1].right - ctrlInk[1].left)
        << "Ctrl and Strg drawn alike";
}

TEST_F(KeyboardDlgTest, AHeldModifierIsDrawnPressedUntilItIsReleased) {
    options().l10nLanguageCode = L"ENU";
    ASSERT_TRUE(create());
    const NamedKeys::Key& left = namedKey(L"key.shift", true);
    const NamedKeys::Key& right = namedKey(L"key.shift", false);
    Picture before(dialog);

    KeyRecord record = keyEvent(VK_LSHIFT, 0x2A, false).record();
    record.keyState[VK_SHIFT] = 0x80;
    record.keyState[VK_LSHIFT] = 0x80;
    EXPECT_TRUE(runOnOtherThread([&] { dialog.onKey(KeyInfoWrapper(record)); }));
    Picture held(dialog);
    EXPECT_LT(held.faceOf(left), before.faceOf(left) - 60) << "the held Shift is not darker";
    EXPECT_EQ(held.faceOf(right), before.faceOf(right)) << "the other Shift changed";
    RECT inkBefore = before.inkOf(left);
    RECT inkHeld = held.inkOf(left);
    EXPECT_EQ(inkHeld.right - inkHeld.left, inkBefore.right - inkBefore.left)
        << "the name stays on the pressed cap";
    EXPECT_GT(inkHeld.top, inkBefore.top) << "the pressed cap's name sinks with it";

    EXPECT_TRUE(runOnOtherThread([&] { dialog.onKey(keyEvent(VK_LSHIFT, 0x2A, true)); }));
    Picture released(dialog);
    EXPECT_EQ(released.faceOf(left), before.faceOf(left));
}

TEST_F(KeyboardDlgTest, OperationsOnAWindowThatDoesNotExistDoNothing) {
    dialog.startFade(true);
    dialog.startFade(false);
    dialog.hideToTray();
    dialog.restoreFromTray();
    dialog.setLayout(::GetKeyboardLayout(0));
    dialog.onKey(keyEvent(VK_SHIFT, 0x2A, false));
    EXPECT_EQ(0, dialog.fromTray);
    EXPECT_EQ(0, dialog.towardsTray);
    EXPECT_EQ(nullptr, dialog.getSafeHwnd());
}

TEST_F(KeyboardDlgTest, CanBeDraggedByThePicture) {
    options().keyboardPosX = 100;
    options().keyboardPosY = 100;
    ASSERT_TRUE(create());
    showAtFullOpacity();
    // The space between the key rows, away from the buttons.
    POINT grip = {100 + 300, 100 + 110};
    testing::moveMouseTo(grip);
    pump(50);
    // The press starts the platform's move loop on this thread, so the
    // rest of the drag comes from another one.
    struct Drag {
        static DWORD WINAPI run(void* context) {
            POINT start = *static_cast<POINT*>(context);
            testing::sendMouse(MOUSEEVENTF_LEFTDOWN);
            for (int step = 1; step <= 5; ++step) {
                ::Sleep(40);
                testing::moveMouseTo({start.x + 10 * step, start.y + 6 * step});
            }
            ::Sleep(40);
            testing::sendMouse(MOUSEEVENTF_LEFTUP);
            return 0;
        }
    };
    utils::UniqueHandle drag(::CreateThread(nullptr, 0, &Drag::run, &grip, 0, nullptr));
    pumpUntil([&] { return ::WaitForSingleObject(drag.get(), 0) == WAIT_OBJECT_0; }, 5000);
    EXPECT_TRUE(pumpUntil([&] { return windowRect(window).left == 150; }));
    EXPECT_EQ(130, windowRect(window).top);
    EXPECT_EQ(100, options().keyboardPosX.load()) << "saved only when destroyed";
    ::DestroyWindow(window);
    EXPECT_EQ(150, options().keyboardPosX.load());
}

using testing::OwnerWindow;

// What the open pop-up menu held; it then chooses the last item with the keys.
struct OpenMenu {
    static bool hasExit;
    static bool hasAutoPopup;
    static void CALLBACK look(HWND, UINT, UINT_PTR timer, DWORD) {
        ::KillTimer(nullptr, timer);
        HWND menuWindow = ::FindWindowW(L"#32768", nullptr);
        auto menu = reinterpret_cast<HMENU>(::SendMessageW(menuWindow, MN_GETHMENU, 0, 0));
        hasExit = ::GetMenuState(menu, ID_TRAY_EXIT, MF_BYCOMMAND) != static_cast<UINT>(-1);
        hasAutoPopup =
            ::GetMenuState(menu, ID_TRAY_AUTOPOPUP, MF_BYCOMMAND) != static_cast<UINT>(-1);
        ::PostMessageW(menuWindow, WM_KEYDOWN, VK_UP, 0);
        ::PostMessageW(menuWindow, WM_KEYDOWN, VK_RETURN, 0);
    }
};
bool OpenMenu::hasExit = false;
bool OpenMenu::hasAutoPopup = false;

TEST_F(KeyboardDlgTest, ARightClickOffersTheTrayMenuWhoseCommandsGoToTheOwner) {
    OwnerWindow owner;
    ASSERT_TRUE(dialog.create(owner.get()));
    window = dialog.getSafeHwnd();
    showAtFullOpacity();
    ::SetTimer(nullptr, 0, 300, &OpenMenu::look);
    POINT point = testing::centreOf(window);
    ::SendMessageW(window, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(window),
                   MAKELPARAM(point.x, point.y));
    EXPECT_TRUE(OpenMenu::hasExit);
    EXPECT_TRUE(OpenMenu::hasAutoPopup);
    EXPECT_TRUE(pumpUntil([&] { return OwnerWindow::lastCommand() == ID_TRAY_EXIT; }))
        << "the last item, exit, goes to the owner";
    ::DestroyWindow(window);
}

// The message box that a missing picture brings up, read and closed by a
// thread of its own because it runs modally on this one.
class MessageBoxCloser {
public:
    MessageBoxCloser()
        : thread(::CreateThread(nullptr, 0, &MessageBoxCloser::run, this, 0, nullptr)) {}
    ~MessageBoxCloser() {
        stopping = true;
        ::WaitForSingleObject(thread, INFINITE);
        ::CloseHandle(thread);
    }
    std::wstring text;
    std::wstring title;
    std::atomic<bool> closed{false};

private:
    static DWORD WINAPI run(void* context) {
        auto* self = static_cast<MessageBoxCloser*>(context);
        for (int i = 0; i < 500 && !self->stopping; ++i) {
            HWND box = ::FindWindowW(L"#32770", L"Keywhirl");
            if (box) {
                wchar_t buffer[1024] = {};
                ::GetDlgItemTextW(box, 0xFFFF, buffer, 1024);
                self->text = buffer;
                ::GetWindowTextW(box, buffer, 1024);
                self->title = buffer;
                ::PostMessageW(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
                self->closed = true;
                return 0;
            }
            ::Sleep(20);
        }
        return 0;
    }
    std::atomic<bool> stopping{false};
    HANDLE thread;
};

// How far a colour leans towards red: the tint raises red and lowers blue.
int warmth(COLORREF colour) {
    return int(GetRValue(colour)) - int(GetBValue(colour));
}

struct WeakKeyRecord {
    std::atomic<unsigned> wait{3000};
    WeakKeyRecorder recorder{&wait};
    void set(unsigned scanCode, unsigned presses, unsigned hesitations) {
        WeakKeyRecorder::KeyCounts counts;
        counts.presses = presses;
        counts.hesitations = hesitations;
        counts.leadTime = 450;
        counts.hasLeadTime = true;
        recorder.setCounts(WeakKeyRecorder::keyIndex(scanCode, false), counts);
    }
};

TEST_F(KeyboardDlgTest, WithTheTintOnTheKeyFarAheadIsTheWarmestCellAndKeepsItsLabel) {
    options().l10nLanguageCode = L"ENU";
    WeakKeyRecord record;
    record.set(0x24, 30, 15);  // J
    record.set(0x1E, 100, 20); // A
    record.set(0x10, 300, 0);  // Q
    dialog.setWeakKeys(&record.recorder);
    ASSERT_TRUE(create());

    const RECT client = {0, 0, kPictureWidth, kPictureHeight};
    utils::WindowDc screen(nullptr);
    auto draw = [&](utils::UniqueMemoryDc& dc, utils::UniqueBitmap& bitmap) {
        dc.reset(::CreateCompatibleDC(screen.get()));
        bitmap.reset(::CreateCompatibleBitmap(screen.get(), kPictureWidth, kPictureHeight));
        ::SelectObject(dc.get(), bitmap.get());
        dialog.drawPicture(dc.get(), client);
    };
    // A corner of the key face, clear of the centred label.
    auto faceOf = [](HDC dc, unsigned scanCode) {
        KeyRect cell = KeyboardDrawer::keyRectFor(scanCode);
        return ::GetPixel(dc, cell.getLeft() + 6, cell.getTop() + 6);
    };
    auto darkPixelsIn = [](HDC dc, unsigned scanCode) {
        RECT box = KeyboardDrawer::keyRectFor(scanCode).toRECT();
        int dark = 0;
        for (int y = box.top; y <= box.bottom; ++y)
            for (int x = box.left; x <= box.right; ++x) {
                COLORREF c = ::GetPixel(dc, x, y);
                dark += GetRValue(c) < 90 && GetGValue(c) < 90 && GetBValue(c) < 90;
            }
        return dark;
    };

    options().showWeakKeys = false;
    utils::UniqueMemoryDc plain;
    utils::UniqueBitmap plainBitmap;
    draw(plain, plainBitmap);
    EXPECT_LT(warmth(faceOf(plain.get(), 0x24)), 20) << "no tint while it is off";

    options().showWeakKeys = true;
    utils::UniqueMemoryDc tinted;
    utils::UniqueBitmap tintedBitmap;
    draw(tinted, tintedBitmap);
    const int warmest = warmth(faceOf(tinted.get(), 0x24));
    EXPECT_EQ(faceOf(tinted.get(), 0x24), WeakKeyTint::kWarmest);
    for (unsigned scanCode = KeyboardDrawer::kFirstScanCode;
         scanCode <= KeyboardDrawer::kLastScanCode; ++scanCode) {
        if (scanCode == 0x24 || !KeyboardDrawer::keyRectFor(scanCode).isValid())
            continue;
        EXPECT_LT(warmth(faceOf(tinted.get(), scanCode)), warmest) << scanCode;
    }
    EXPECT_GT(warmth(faceOf(tinted.get(), 0x1E)), warmth(faceOf(tinted.get(), 0x10)) + 10)
        << "A ended some hesitations, Q none";
    EXPECT_EQ(faceOf(tinted.get(), 0x10), faceOf(plain.get(), 0x10)) << "Q is left alone";

    // The labels are drawn over the tint, as dark as on the plain picture.
    for (unsigned scanCode : {0x24u, 0x1Eu, 0x10u})
        EXPECT_GT(darkPixelsIn(tinted.get(), scanCode), 20) << scanCode;

    // The legend's strip in the title bar runs up to the warm colour.
    RECT legend = WeakKeyTint::legendArea(kPictureWidth);
    int legendWarm = 0, plainWarm = 0;
    for (int y = legend.top; y < legend.bottom; ++y)
        for (int x = legend.left; x < legend.right; ++x) {
            legendWarm += ::GetPixel(tinted.get(), x, y) == WeakKeyTint::kWarmest;
            plainWarm += ::GetPixel(plain.get(), x, y) == WeakKeyTint::kWarmest;
        }
    EXPECT_GT(legendWarm, 20);
    EXPECT_EQ(plainWarm, 0);
}

TEST_F(KeyboardDlgTest, EachKeyHasATooltipThatShowsOnlyWithTheTint) {
    options().l10nLanguageCode = L"ENU";
    WeakKeyRecord record;
    record.set(0x24, 30, 15);
    dialog.setWeakKeys(&record.recorder);
    options().showWeakKeys = false;
    ASSERT_TRUE(create());
    HWND tooltip = dialog.getTooltip();
    ASSERT_NE(tooltip, nullptr);
    EXPECT_EQ(::SendMessageW(tooltip, TTM_GETTOOLCOUNT, 0, 0), 47);
    EXPECT_EQ(::GetWindow(tooltip, GW_OWNER), window);
    EXPECT_TRUE(::GetWindowLongW(tooltip, GWL_EXSTYLE) & WS_EX_TOPMOST);

    showAtFullOpacity();
    std::wstring text = dialog.weakKeyTooltip(0x24);
    EXPECT_NE(text.find(L"Presses: 30\r\n"), std::wstring::npos) << text;
    EXPECT_NE(text.find(L"After a hesitation: 15\r\n"), std::wstring::npos) << text;
    EXPECT_NE(text.find(L"Usual lead time: 450 ms"), std::wstring::npos) << text;
    EXPECT_NE(dialog.weakKeyTooltip(0x10).find(L"not measured yet"), std::wstring::npos);

    // Switching the tint on repaints the picture and wakes the tooltips;
    // nothing takes the activation.
    HWND active = ::GetActiveWindow();
    int paints = dialog.paints;
    options().showWeakKeys = true;
    dialog.refreshWeakKeys();
    pump(60);
    EXPECT_GT(dialog.paints, paints);
    EXPECT_EQ(::GetActiveWindow(), active);
    EXPECT_NE(::GetActiveWindow(), window);

    // With the tint shown, a letter repaints (its press may change the
    // tint); its release does not.
    auto paintsAfter = [&](const KeyInfoWrapper& event) {
        int before = dialog.paints;
        EXPECT_TRUE(runOnOtherThread([&] { dialog.onKey(event); }));
        pump(60);
        return dialog.paints - before;
    };
    EXPECT_EQ(1, paintsAfter(keyEvent('J', 0x24, false)));
    EXPECT_EQ(0, paintsAfter(keyEvent('J', 0x24, true)));
    options().showWeakKeys = false;
    EXPECT_EQ(0, paintsAfter(keyEvent('J', 0x24, false)));
}

TEST_F(KeyboardDlgTest, AMissingPictureIsReportedWithItsPathAndClosesTheKeyboard) {
    // A program folder without the picture, with a language of its own.
    std::wstring folder = settings.folder().path();
    ::CreateDirectoryW((folder + L"\\Localization").c_str(), nullptr);
    FILE* file = _wfopen((folder + L"\\Localization\\TST.xml").c_str(), L"wb");
    ASSERT_NE(nullptr, file);
    std::fputs("<content><section name=\"Messages\"><key "
               "name=\"Error.cannotFindKeyboardBackground\" value=\"No keyboard picture\"/><key "
               "name=\"Error.keywhirlWillClose\" value=\"Closing\"/></section></content>",
               file);
    std::fclose(file);
    setFolderOverrides(folder, folder);
    options().l10nLanguageCode = L"TST";
    LocalizationManager::reload();

    MessageBoxCloser closer;
    bool created = create();
    EXPECT_TRUE(closer.closed);
    EXPECT_EQ(L"No keyboard picture\n" + folder + L"\\Keyboard\\Keywhirl.bmp\nClosing",
              closer.text);
    EXPECT_EQ(L"Keywhirl", closer.title);
    EXPECT_EQ(1, close.runs);
    EXPECT_EQ(0, minimize.runs);
    EXPECT_FALSE(created);
    EXPECT_FALSE(::IsWindow(window));
}

} // namespace
} // namespace keywhirl

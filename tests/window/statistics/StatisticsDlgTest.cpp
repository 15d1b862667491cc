// tests/window/statistics/StatisticsDlgTest.cpp - the statistics window as the main window uses it.
#include "statistics/StatisticsDlg.h"

#include "ui/AppMessages.h"
#include "settings/Settings.h"
#include "statistics/StatisticsLayout.h"
#include "support/TestSettings.h"
#include "support/OwnerWindow.h"
#include "support/Waiting.h"
#include "utils/Handles.h"

#include "resource.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

namespace keywhirl {
namespace {

using testing::OwnerWindow;
using testing::pumpMessages;
using testing::pumpUntil;

int alphaOf(HWND window) {
    BYTE alpha = 0;
    DWORD flags = 0;
    COLORREF key = 0;
    if (!::GetLayeredWindowAttributes(window, &key, &alpha, &flags) || !(flags & LWA_ALPHA))
        return 0;
    return alpha;
}

// A row with fixed texts that counts how often it is asked.
class FixedMonitor : public Monitor {
public:
    FixedMonitor(std::wstring title, std::wstring value)
        : title(std::move(title)), value(std::move(value)) {}
    void handleKey(const KeyInfoWrapper&) override {}
    std::wstring getTitle() override {
        ++titles;
        return title;
    }
    std::wstring getValue() override {
        ++values;
        return value + std::to_wstring(values);
    }
    std::wstring title;
    std::wstring value;
    int titles = 0;
    int values = 0;
};

void CALLBACK closeMenu(HWND, UINT, UINT_PTR id, DWORD) {
    ::KillTimer(nullptr, id);
    ::EndMenu();
}

class StatisticsWindow : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_NE(owner.get(), nullptr);
        ASSERT_TRUE(dialog.create(owner.get()));
        for (FixedMonitor& monitor : rows)
            dialog.addMonitor(&monitor);
        pumpMessages();
    }

    HWND window() const { return dialog.handle(); }
    HWND closeButton() const { return ::GetDlgItem(window(), IDC_STATISTICS_CLOSE); }
    Settings& settings() { return *Settings::instance(); }

    // Paints at once what is due, as the screen would.
    void repaint() {
        ::UpdateWindow(window());
        pumpMessages();
    }

    testing::TestSettings testSettings;
    OwnerWindow owner;
    std::vector<FixedMonitor> rows = {
        {L"Symbols", L" sym "},  {L"Speed 1", L" spm "}, {L"Speed 10", L" spm "},
        {L"Speed 60", L" spm "}, {L"Effect", L" % "},    {L"Rhythm", L" % "},
    };
    StatisticsDlg dialog;
};

TEST_F(StatisticsWindow, SixRowsSitInTheBottomRightCornerOfTheScreen) {
    const int screenWidth = ::GetSystemMetrics(SM_CXSCREEN);
    const int screenHeight = ::GetSystemMetrics(SM_CYSCREEN);
    RECT rect;
    ASSERT_TRUE(::GetWindowRect(window(), &rect));
    EXPECT_EQ(rect.left, screenWidth - 275);
    EXPECT_EQ(rect.top, screenHeight - 158);
    EXPECT_EQ(rect.right - rect.left, 269);
    EXPECT_EQ(rect.bottom - rect.top, 127);

    RECT button;
    ASSERT_TRUE(::GetWindowRect(closeButton(), &button));
    POINT corner = {button.left, button.top};
    ::ScreenToClient(window(), &corner);
    EXPECT_EQ(corner.x, 247);
    EXPECT_EQ(corner.y, 5);
    EXPECT_EQ(button.right - button.left, 11);
    EXPECT_EQ(button.bottom - button.top, 11);

    LONG_PTR style = ::GetWindowLongPtrW(window(), GWL_EXSTYLE);
    EXPECT_TRUE(style & WS_EX_TOPMOST);
    EXPECT_TRUE(style & WS_EX_TOOLWINDOW) << "no taskbar button";
    EXPECT_TRUE(style & WS_EX_LAYERED);
    EXPECT_EQ(::GetWindow(window(), GW_OWNER), owner.get());
    EXPECT_FALSE(::IsWindowVisible(window())) << "the main window decides when it shows";
    EXPECT_NE(::GetActiveWindow(), window()) << "a window of figures takes no focus";
    EXPECT_NE(::GetFocus(), closeButton());
}

TEST_F(StatisticsWindow, ComesOnTopOfOtherTopmostWindowsEachTimeItShows) {
    HWND cover = ::CreateWindowExW(WS_EX_TOPMOST | WS_EX_TOOLWINDOW, L"Static", L"", WS_POPUP, 0, 0,
                                   100, 100, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(cover, nullptr);
    ::ShowWindow(cover, SW_SHOWNOACTIVATE);
    ::ShowWindow(window(), SW_SHOWNOACTIVATE);
    HWND above = ::GetWindow(window(), GW_HWNDPREV);
    while (above && above != cover)
        above = ::GetWindow(above, GW_HWNDPREV);
    EXPECT_EQ(above, nullptr) << "the other window stays above";
    EXPECT_NE(::GetActiveWindow(), window());
    ::DestroyWindow(cover);
}

// KillTimer tells whether the timer ran; a hidden window must not wake the
// program once a second.
TEST_F(StatisticsWindow, RefreshesOnlyWhileShown) {
    EXPECT_FALSE(::KillTimer(window(), kStatisticsRefreshTimer)) << "hidden from the start";
    for (int round = 0; round < 2; ++round) {
        ::ShowWindow(window(), SW_SHOWNOACTIVATE);
        EXPECT_TRUE(::KillTimer(window(), kStatisticsRefreshTimer)) << round;
        ::ShowWindow(window(), SW_SHOWNOACTIVATE);
        ::ShowWindow(window(), SW_HIDE);
        EXPECT_FALSE(::KillTimer(window(), kStatisticsRefreshTimer)) << round;
    }
}

TEST_F(StatisticsWindow, EveryRowAddedLaysTheWindowOutAgainInTheCorner) {
    StatisticsDlg empty;
    ASSERT_TRUE(empty.create(owner.get()));
    const int screenHeight = ::GetSystemMetrics(SM_CYSCREEN);
    RECT rect;
    ASSERT_TRUE(::GetWindowRect(empty.handle(), &rect));
    EXPECT_EQ(rect.bottom - rect.top, 31) << "the header alone";
    EXPECT_EQ(rect.top, screenHeight - 62);

    ::SetWindowPos(empty.handle(), nullptr, 10, 10, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    empty.addMonitor(&rows[0]);
    empty.addMonitor(&rows[1]);
    ASSERT_TRUE(::GetWindowRect(empty.handle(), &rect));
    EXPECT_EQ(rect.bottom - rect.top, 63);
    EXPECT_EQ(rect.top, screenHeight - 94);
    EXPECT_EQ(rect.left, ::GetSystemMetrics(SM_CXSCREEN) - 275);
    EXPECT_EQ(empty.monitorCount(), 2u);
    empty.addMonitor(nullptr);
    EXPECT_EQ(empty.monitorCount(), 2u) << "no row for nothing";
}

TEST_F(StatisticsWindow, TheOutlineHasRoundedCorners) {
    utils::UniqueRegion region(::CreateRectRgn(0, 0, 0, 0));
    ASSERT_NE(::GetWindowRgn(window(), region.get()), ERROR);
    EXPECT_TRUE(::PtInRegion(region.get(), 135, 64));
    EXPECT_TRUE(::PtInRegion(region.get(), 135, 0));
    EXPECT_TRUE(::PtInRegion(region.get(), 0, 64));
    EXPECT_TRUE(::PtInRegion(region.get(), 10, 1));
    RECT box;
    ::GetRgnBox(region.get(), &box);
    EXPECT_EQ(box.right, 269) << "the outline fills the window exactly";
    EXPECT_EQ(box.bottom, 127);
    for (POINT corner : {POINT{0, 0}, POINT{268, 0}, POINT{0, 126}, POINT{268, 126}, POINT{1, 1}})
        EXPECT_FALSE(::PtInRegion(region.get(), corner.x, corner.y))
            << corner.x << ", " << corner.y;
}

// The width of a row text in the rows' font, Arial at 8 points.
int rowTextWidth(const std::wstring& text) {
    utils::WindowDc screen(nullptr);
    LOGFONTW font = {};
    font.lfHeight = -::MulDiv(80, ::GetDeviceCaps(screen.get(), LOGPIXELSY), 720);
    font.lfCharSet = DEFAULT_CHARSET;
    lstrcpynW(font.lfFaceName, L"Arial", LF_FACESIZE);
    utils::UniqueFont handle(::CreateFontIndirectW(&font));
    utils::SelectedObject selected(screen.get(), handle.get());
    RECT box = {0, 0, 0, 0};
    ::DrawTextW(screen.get(), text.c_str(), static_cast<int>(text.size()), &box, DT_CALCRECT);
    return box.right - box.left;
}

TEST_F(StatisticsWindow, NoValueIsCutOffAndTheWindowGrowsInwardsOnlyWhenItMust) {
    ::ShowWindow(window(), SW_SHOWNOACTIVATE);
    RECT before;
    ASSERT_TRUE(::GetWindowRect(window(), &before));
    struct Case {
        const wchar_t* value;
        bool grows;
    };
    const Case cases[] = {{L"123456 symbols ", false},
                          {L"1234567890123456789012345678901234567890 symbols ", true}};
    for (const Case& c : cases) {
        rows[0].value = c.value;
        ::InvalidateRect(window(), nullptr, FALSE);
        repaint();
        repaint();
        ASSERT_EQ(dialog.lastPaintedRows().size(), 6u);
        const int widest = rowTextWidth(dialog.lastPaintedRows()[0].value);
        const StatisticsLayout::Columns columns = dialog.currentColumns();
        EXPECT_LE(columns.valueLeft + widest, columns.width - 1) << c.value;
        EXPECT_GE(columns.valueLeft, StatisticsLayout::kTitleLeft + rowTextWidth(L"Speed 60"))
            << c.value;
        RECT rect;
        ASSERT_TRUE(::GetWindowRect(window(), &rect));
        EXPECT_EQ(rect.right, before.right) << c.value << ": the right edge stays";
        EXPECT_EQ(rect.right - rect.left, columns.width - 1) << c.value;
        EXPECT_EQ(rect.right - rect.left > 269, c.grows) << c.value;
        RECT button;
        ASSERT_TRUE(::GetWindowRect(closeButton(), &button));
        EXPECT_EQ(button.right, rect.right - 11) << c.value << ": the close button moves along";
    }
}

TEST_F(StatisticsWindow, RestsAtTheSettingsOpacityAndTakesANewOneAtOnce) {
    EXPECT_EQ(alphaOf(window()), settings().statisticsOpacity.load());
    EXPECT_EQ(alphaOf(window()), 200);

    ::SendMessageW(window(), WM_USER + 4, 120, 0);
    EXPECT_EQ(alphaOf(window()), 120);
    ::SendMessageW(window(), WM_USER + 4, 0x1FE, 12345);
    EXPECT_EQ(alphaOf(window()), 0xFE) << "only the low 8 bits count";
    ::SendMessageW(window(), WM_USER + 4, 0, 0);
    EXPECT_EQ(alphaOf(window()), 1) << "never fully transparent";
}

TEST_F(StatisticsWindow, HoverFadesToOpaqueAndLeavingFadesBack) {
    settings().setOpaqueStatisticsOnHover = true;
    dialog.show(SW_SHOWNOACTIVATE);
    ::SendMessageW(window(), WM_MOUSEHOVER, 0, 0);
    EXPECT_TRUE(pumpUntil([&] { return alphaOf(window()) == 255; }));

    ::SendMessageW(window(), WM_MOUSELEAVE, 0, 0);
    EXPECT_TRUE(pumpUntil([&] { return alphaOf(window()) == 200; }));
}

TEST_F(StatisticsWindow, TheRealMouseMakesItOpaqueAlsoOverTheCloseButton) {
    settings().setOpaqueStatisticsOnHover = true;
    dialog.show(SW_SHOWNOACTIVATE);
    ::SetCursorPos(0, 0);
    pumpMessages();
    RECT rect;
    ASSERT_TRUE(::GetWindowRect(window(), &rect));

    ::SetCursorPos(rect.left + 100, rect.top + 60);
    EXPECT_TRUE(pumpUntil([&] { return alphaOf(window()) == 255; })) << "resting on the body";

    // Onto the close button: the window hears a leave, but the mouse is still over it.
    ::SetCursorPos(rect.left + 252, rect.top + 10);
    pumpUntil([] { return false; }, 400);
    EXPECT_EQ(alphaOf(window()), 255);

    // Off the button and out of the window: the button passes its leave on.
    ::SetCursorPos(rect.left - 100, rect.top - 100);
    EXPECT_TRUE(pumpUntil([&] { return alphaOf(window()) == 200; })) << "back at rest";
}

TEST_F(StatisticsWindow, WithoutOpaqueOnHoverTheAlphaStays) {
    settings().setOpaqueStatisticsOnHover = false;
    dialog.show(SW_SHOWNOACTIVATE);
    ::SendMessageW(window(), WM_MOUSEHOVER, 0, 0);
    // A fade would have reached 255 within this time.
    pumpUntil([] { return false; }, 400);
    EXPECT_EQ(alphaOf(window()), 200);
    ::SendMessageW(window(), WM_MOUSELEAVE, 0, 0);
    pumpUntil([] { return false; }, 100);
    EXPECT_EQ(alphaOf(window()), 200);
}

TEST_F(StatisticsWindow, CloseButtonHidesTurnsTheSettingOffAndResetsTheAlpha) {
    settings().showShortStatistics = true;
    settings().setOpaqueStatisticsOnHover = true;
    dialog.show(SW_SHOWNOACTIVATE);
    ::SendMessageW(window(), WM_MOUSEHOVER, 0, 0);
    ASSERT_TRUE(pumpUntil([&] { return alphaOf(window()) == 255; }));

    // What the button sends its parent when it is clicked.
    ::SendMessageW(window(), WM_COMMAND, MAKEWPARAM(IDC_STATISTICS_CLOSE, BN_CLICKED),
                   reinterpret_cast<LPARAM>(closeButton()));
    pumpMessages();
    EXPECT_FALSE(::IsWindowVisible(window()));
    EXPECT_FALSE(settings().showShortStatistics);
    EXPECT_EQ(alphaOf(window()), 200) << "shown again, it starts at rest";
    EXPECT_TRUE(::IsWindow(window())) << "hidden, not destroyed";

    dialog.show(SW_SHOWNOACTIVATE);
    EXPECT_EQ(alphaOf(window()), 200);
}

TEST_F(StatisticsWindow, EnterEscapeAndCloseRequestsLeaveItOpen) {
    dialog.show(SW_SHOWNOACTIVATE);
    ::SendMessageW(window(), WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    ::SendMessageW(window(), WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
    ::SendMessageW(window(), WM_CLOSE, 0, 0);
    // The dialog manager's own keyboard handling of Enter and Escape.
    for (WPARAM key : {WPARAM(VK_RETURN), WPARAM(VK_ESCAPE)}) {
        MSG message = {window(), WM_KEYDOWN, key, 0, 0, {0, 0}};
        ::IsDialogMessageW(window(), &message);
    }
    pumpMessages();
    EXPECT_TRUE(::IsWindow(window()));
    EXPECT_TRUE(::IsWindowVisible(window()));
}

TEST_F(StatisticsWindow, EachPaintAsksEveryRowForItsTextsInOrder) {
    dialog.show(SW_SHOWNOACTIVATE);
    repaint();
    ASSERT_EQ(dialog.lastPaintedRows().size(), rows.size());
    for (std::size_t i = 0; i < rows.size(); ++i) {
        EXPECT_EQ(dialog.lastPaintedRows()[i].title, rows[i].title);
        EXPECT_EQ(dialog.lastPaintedRows()[i].value,
                  rows[i].value + std::to_wstring(rows[i].values));
        EXPECT_EQ(rows[i].titles, rows[i].values) << "title and value go together";
    }

    const int before = rows[0].values;
    ::SendMessageW(window(), WM_TIMER, kStatisticsRefreshTimer, 0);
    repaint();
    EXPECT_EQ(rows[0].values, before + 1) << "the refresh repaints the whole window";
    EXPECT_EQ(dialog.lastPaintedRows()[0].value, L" sym " + std::to_wstring(before + 1));
}

TEST_F(StatisticsWindow, TheRefreshTimerRepaintsOnceASecond) {
    dialog.show(SW_SHOWNOACTIVATE);
    repaint();
    const int before = rows[5].values;
    EXPECT_TRUE(pumpUntil([&] { return rows[5].values > before; }, 3000));
}

TEST_F(StatisticsWindow, AHiddenWindowAsksNothing) {
    const int before = rows[0].values;
    ::SendMessageW(window(), WM_TIMER, kStatisticsRefreshTimer, 0);
    repaint();
    EXPECT_EQ(rows[0].values, before);
}

TEST_F(StatisticsWindow, DetachedMonitorsAreNeverAskedAgain) {
    dialog.show(SW_SHOWNOACTIVATE);
    repaint();
    dialog.detachMonitors();
    EXPECT_EQ(dialog.monitorCount(), 0u);
    rows.clear(); // the monitors go, as at shutdown; asking one now would crash
    ::InvalidateRect(window(), nullptr, FALSE);
    repaint();
    pumpUntil([] { return false; }, 1200); // a refresh would have come by now
    EXPECT_TRUE(dialog.lastPaintedRows().empty());
    EXPECT_TRUE(::IsWindow(window()));
}

TEST_F(StatisticsWindow, RightClickOpensTheTrayMenuForTheOwner) {
    dialog.show(SW_SHOWNOACTIVATE);
    OwnerWindow::messages().clear();
    // The menu runs its own loop; a timer closes it again from inside.
    const UINT_PTR closer = ::SetTimer(nullptr, 0, 300, &closeMenu);
    ::SendMessageW(window(), WM_CONTEXTMENU, reinterpret_cast<WPARAM>(window()),
                   MAKELPARAM(100, 100));
    ::KillTimer(nullptr, closer);
    pumpMessages();
    const std::vector<UINT>& seen = OwnerWindow::messages();
    EXPECT_NE(std::find(seen.begin(), seen.end(), UINT(WM_ENTERMENULOOP)), seen.end())
        << "the owner runs the menu, so its commands reach the main window";
}

TEST(StatisticsPicture, GradientOutlineHeaderAndRows) {
    testing::TestSettings testSettings;
    StatisticsDlg dialog; // no window: only the picture
    FixedMonitor row(L"Symbols typed", L"1234 sym");
    FixedMonitor empty(L"", L"");
    dialog.addMonitor(&row);
    dialog.addMonitor(&empty);

    const int width = 269;
    const int height = StatisticsLayout::layoutHeight(2) - 1;
    utils::WindowDc screen(nullptr);
    utils::UniqueMemoryDc dc(::CreateCompatibleDC(screen.get()));
    utils::UniqueBitmap bitmap(::CreateCompatibleBitmap(screen.get(), width, height));
    utils::SelectedObject selected(dc.get(), bitmap.get());
    RECT client = {0, 0, width, height};
    dialog.drawPicture(dc.get(), client);

    auto similar = [](COLORREF colour, int r, int g, int b) {
        return std::abs(GetRValue(colour) - r) <= 3 && std::abs(GetGValue(colour) - g) <= 3 &&
               std::abs(GetBValue(colour) - b) <= 3;
    };
    // The default colours run from (152, 229, 255) at the top to (193, 241, 255) at the bottom.
    EXPECT_TRUE(similar(::GetPixel(dc.get(), 200, 2), 152, 229, 255))
        << std::hex << ::GetPixel(dc.get(), 200, 2);
    EXPECT_TRUE(similar(::GetPixel(dc.get(), 200, height - 3), 192, 241, 255))
        << std::hex << ::GetPixel(dc.get(), 200, height - 3);
    EXPECT_EQ(::GetPixel(dc.get(), 135, 0), RGB(0, 0, 0)) << "the outline";
    EXPECT_EQ(::GetPixel(dc.get(), 0, height / 2), RGB(0, 0, 0));
    EXPECT_EQ(::GetPixel(dc.get(), width - 1, height / 2), RGB(0, 0, 0))
        << "the outline is one pixel inside its layout box, so the right edge shows";
    EXPECT_EQ(::GetPixel(dc.get(), 135, height - 1), RGB(0, 0, 0)) << "and the bottom edge";

    for (int x : {10, 100, 259})
        EXPECT_EQ(::GetPixel(dc.get(), x, 21), RGB(0, 0, 0)) << "the rule at " << x;
    EXPECT_NE(::GetPixel(dc.get(), 261, 21), RGB(0, 0, 0)) << "the rule ends at 260";

    auto darkPixels = [&](RECT box) {
        int dark = 0;
        for (int y = box.top; y < box.bottom; ++y)
            for (int x = box.left; x < box.right; ++x) {
                COLORREF colour = ::GetPixel(dc.get(), x, y);
                if (GetRValue(colour) < 80 && GetGValue(colour) < 80)
                    ++dark;
            }
        return dark;
    };
    EXPECT_GT(darkPixels({12, 2, 120, 19}), 40) << "the header text";
    EXPECT_GT(darkPixels(StatisticsLayout::titleBox(0)), 20);
    EXPECT_GT(darkPixels(StatisticsLayout::valueBox(0)), 20);
    EXPECT_EQ(darkPixels(StatisticsLayout::titleBox(1)), 0) << "an empty title draws nothing";
    RECT emptyValue = StatisticsLayout::valueBox(1);
    emptyValue.right -= 2; // clear of the outline
    EXPECT_GT(darkPixels(emptyValue), 0) << "the value's counter still shows";

    ASSERT_EQ(dialog.lastPaintedRows().size(), 2u);
    EXPECT_EQ(dialog.lastPaintedRows()[0].title, L"Symbols typed");
    EXPECT_EQ(dialog.lastPaintedRows()[0].value, L"1234 sym1");
}

} // namespace
} // namespace keywhirl

// tests/window/history/HistoryDlgTest.cpp - the history window with a known history.
#include "history/HistoryDlg.h"

#include "history/HistoryLayout.h"
#include "history/HistoryWindowPlacement.h"
#include "localization/LocalizationManager.h"
#include "resource.h"
#include "settings/Settings.h"
#include "support/FakeClock.h"
#include "support/FakeLocalTime.h"
#include "support/OwnerWindow.h"
#include "support/TestSettings.h"
#include "support/Waiting.h"
#include "support/WinePaths.h"
#include "ui/DoubleBuffer.h"
#include "utils/Handles.h"
#include "unit/statistics/KeyEvents.h"

#include <gtest/gtest.h>

#include <commctrl.h>

#include <cstdio>
#include <fstream>
#include <functional>

namespace keywhirl {
namespace {

using testing::OwnerWindow;
using testing::pumpMessages;
using testing::pumpUntil;

const CalendarDate kToday = CalendarDate::fromYmd(2026, 12, 8);

// Remembers what Explorer would have been started with.
class TestHistoryDlg : public HistoryDlg {
public:
    using HistoryDlg::HistoryDlg;
    std::vector<std::wstring> explorerCalls;

protected:
    void showInExplorer(const std::wstring& arguments) override {
        explorerCalls.push_back(arguments);
    }
};

std::string line(CalendarDate date, int symbols, int speed) {
    // Symbols typed at an even pace of speed a minute.
    const long long intervals = symbols - 1;
    const long long gap = 60000 / speed;
    const long long active = intervals * gap;
    char seconds[32];
    std::snprintf(seconds, sizeof seconds, "%lld.%03lld", active / 1000, active % 1000);
    return date.toIso() + "," + std::to_string(symbols) + "," + seconds + ",0.0,0,100,100,0," +
           std::to_string(symbols) + "," + std::to_string(intervals) + "," +
           std::to_string(intervals * gap * gap) + "\r\n";
}

class HistoryWindow : public ::testing::Test {
protected:
    void SetUp() override {
        wall.set(kToday.dayNumber(), 15, 0);
        std::wstring languages = settings.folder().file(L"Localization");
        ::CreateDirectoryW(languages.c_str(), nullptr);
        for (const wchar_t* code : {L"ENU", L"RUS"})
            ::CopyFileW(
                (testing::programOutputFolder() + L"\\Localization\\" + code + L".xml").c_str(),
                (languages + L"\\" + code + L".xml").c_str(), FALSE);
        useLanguage(L"ENU");
        ::CreateDirectoryW(settings.folder().file(L"Keywhirl").c_str(), nullptr);
    }
    void TearDown() override {
        if (dialog.exists())
            dialog.endDialog(IDCANCEL);
        LocalizationManager::destroyInstance();
    }

    void useLanguage(const std::wstring& code) {
        Settings::instance()->l10nLanguageCode = code;
        LocalizationManager::reload();
    }
    // The days of the file: today 1000 symbols at 200 a minute, yesterday
    // 500 at 100, nothing the day before, 250 at 50 three days ago.
    void writeKnownHistory() {
        std::ofstream out(historyPath().c_str(), std::ios::binary);
        out << "date,symbols,activeSeconds,averageSpeed,bestSpeed,effectiveness,evenness,"
               "hesitations,keptSymbols,intervals,intervalSquares\r\n"
            << line(kToday - 3, 250, 50) << line(kToday - 1, 500, 100) << line(kToday, 1000, 200);
    }
    std::wstring historyPath() const { return settings.folder().file(L"Keywhirl\\History.csv"); }
    void openWindow() {
        history.load();
        ASSERT_TRUE(dialog.open(owner.get()));
        pumpMessages();
    }
    SIZE clientSize() const {
        RECT client;
        ::GetClientRect(dialog.handle(), &client);
        return {client.right, client.bottom};
    }

    testing::TestSettings settings;
    testing::FakeClock ticks{5000};
    testing::FakeLocalTime wall;
    std::atomic<unsigned> waitInterval{3000};
    DayRecorder recorder{waitInterval};
    TypingHistory history{historyPath(), recorder};
    OwnerWindow owner;
    TestHistoryDlg dialog{history};
};

TEST_F(HistoryWindow, BarsStandOnTheirDaysInProportionWithGapsForEmptyDays) {
    writeKnownHistory();
    openWindow();
    const SIZE size = {700, 460};
    utils::WindowDc screen(nullptr);
    ui::DoubleBuffer buffer(screen.get(), size.cx, size.cy);
    ASSERT_TRUE(buffer);
    dialog.drawPicture(buffer.dc(), {0, 0, size.cx, size.cy});
    const HistoryLayout layout(size);
    const RECT plot = layout.plot();
    const int height = plot.bottom - plot.top;
    auto pixel = [&](int x, int y) { return ::GetPixel(buffer.dc(), x, y); };
    auto centre = [&](int day) {
        const RECT slot = layout.slot(HistoryView::kDays - 1 - day);
        return (slot.left + slot.right) / 2 - 4; // beside the speed line's dot
    };

    // Today: the full scale of 1000, in today's colour, on today's band.
    EXPECT_EQ(pixel(centre(0), plot.bottom - 2), HistoryDlg::kTodayBarColour);
    EXPECT_EQ(pixel(centre(0), plot.top + 3), HistoryDlg::kTodayBarColour);
    EXPECT_EQ(pixel(layout.slot(HistoryView::kDays - 1).left + 1, plot.top + 3),
              HistoryDlg::kTodayBandColour);
    // Yesterday: half as high.
    EXPECT_EQ(pixel(centre(1), plot.bottom - 2), HistoryDlg::kBarColour);
    EXPECT_EQ(pixel(centre(1), plot.bottom - height / 2 + 3), HistoryDlg::kBarColour);
    EXPECT_NE(pixel(centre(1), plot.bottom - height / 2 - 3), HistoryDlg::kBarColour);
    // The day before: a gap.
    for (int y = plot.top + 1; y < plot.bottom - 1; y += 7)
        EXPECT_NE(pixel(centre(2), y), HistoryDlg::kBarColour) << y;
    // Three days ago: a quarter.
    EXPECT_EQ(pixel(centre(3), plot.bottom - height / 4 + 3), HistoryDlg::kBarColour);
    EXPECT_NE(pixel(centre(3), plot.bottom - height / 4 - 3), HistoryDlg::kBarColour);
    // A day a week ago has nothing.
    EXPECT_NE(pixel(centre(7), plot.bottom - 2), HistoryDlg::kBarColour);

    // The speed line joins yesterday (100 of 200) and today (200), not across the gap.
    const int x = (centre(1) + centre(0)) / 2 + 4;
    bool lineBetween = false;
    for (int y = plot.top; y < plot.bottom; ++y)
        lineBetween = lineBetween || pixel(x, y) == HistoryDlg::kSpeedLineColour;
    EXPECT_TRUE(lineBetween);
    bool lineAcrossGap = false;
    for (int y = plot.top; y < plot.bottom; ++y)
        lineAcrossGap = lineAcrossGap || pixel(centre(2) + 4, y) == HistoryDlg::kSpeedLineColour;
    EXPECT_FALSE(lineAcrossGap);

    const HistoryView& view = dialog.view();
    EXPECT_EQ(view.todayTotal.symbols, 1000u);
    EXPECT_EQ(view.lastWeek.symbols, 1750u);
    EXPECT_EQ(view.todayTotal.averageSpeed(), 200u);
    EXPECT_EQ(view.lastWeek.averageSpeed(), 1750u * 60000 / (249 * 1200 + 499 * 600 + 999 * 300));
}

TEST_F(HistoryWindow, ResizingLaysTheChartOutAgainAndKeepsAMinimumSize) {
    writeKnownHistory();
    openWindow();
    HWND window = dialog.handle();
    ASSERT_TRUE(::MoveWindow(window, 20, 20, 900, 600, TRUE));
    pumpMessages();
    SIZE size = clientSize();
    RECT button;
    ::GetWindowRect(::GetDlgItem(window, IDC_HISTORY_OPEN_FOLDER), &button);
    ::MapWindowPoints(nullptr, window, reinterpret_cast<POINT*>(&button), 2);
    EXPECT_EQ(button.right, size.cx - HistoryLayout::kMargin);
    EXPECT_EQ(button.bottom, size.cy - HistoryLayout::kMargin);

    // What the screen shows follows the new size: today's bar at its new place.
    ::SetWindowPos(window, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    ::RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    pumpMessages();
    const HistoryLayout layout(size);
    const RECT today = layout.slot(HistoryView::kDays - 1);
    utils::WindowDc dc(window);
    EXPECT_EQ(::GetPixel(dc.get(), (today.left + today.right) / 2 - 4, layout.plot().bottom - 2),
              HistoryDlg::kTodayBarColour);

    ASSERT_TRUE(::MoveWindow(window, 20, 20, 100, 80, TRUE));
    pumpMessages();
    size = clientSize();
    EXPECT_GE(size.cx, HistoryLayout::kMinimumClient.cx);
    EXPECT_GE(size.cy, HistoryLayout::kMinimumClient.cy);
}

TEST_F(HistoryWindow, AnEmptyHistoryShowsAFriendlyLineAndNoBars) {
    openWindow();
    EXPECT_TRUE(dialog.view().nothingTyped());
    const SIZE size = {700, 460};
    utils::WindowDc screen(nullptr);
    ui::DoubleBuffer buffer(screen.get(), size.cx, size.cy);
    dialog.drawPicture(buffer.dc(), {0, 0, size.cx, size.cy});
    const RECT plot = HistoryLayout(size).plot();
    int inked = 0;
    int bars = 0;
    for (int y = plot.top + 1; y < plot.bottom - 1; ++y) {
        for (int x = plot.left; x < plot.right; ++x) {
            const COLORREF colour = ::GetPixel(buffer.dc(), x, y);
            inked += colour == RGB(0, 0, 0);
            bars += colour == HistoryDlg::kBarColour || colour == HistoryDlg::kTodayBarColour;
        }
    }
    EXPECT_GT(inked, 200) << "the line is written across the middle";
    EXPECT_EQ(bars, 0);
    wchar_t figures[512] = {};
    ::GetDlgItemTextW(dialog.handle(), IDC_HISTORY_FIGURES, figures, 512);
    EXPECT_EQ(std::wstring(figures).substr(0, 8), L"Today\t0\t");
}

TEST_F(HistoryWindow, TextsComeFromTheInterfaceLanguage) {
    for (const wchar_t* code : {L"ENU", L"RUS"}) {
        useLanguage(code);
        openWindow();
        ResourceBundle texts = LocalizationManager::instance()->getBundle(L"History");
        EXPECT_EQ(dialog.getText(), texts.getString(L"title")) << code;
        EXPECT_EQ(dialog.getItemText(IDC_HISTORY_OPEN_FOLDER), texts.getString(L"openFolder"));
        const std::wstring figures = dialog.getItemText(IDC_HISTORY_FIGURES);
        EXPECT_EQ(figures.substr(0, figures.find(L'\t')), texts.getString(L"today")) << code;
        EXPECT_NE(figures.find(texts.getString(L"last30Days") + L"\t"), std::wstring::npos);
        EXPECT_FALSE(texts.getString(L"empty").empty());
        dialog.endDialog(IDCANCEL);
        pumpMessages();
    }
    EXPECT_EQ(LocalizationManager::instance()->getBundle(L"History").getString(L"today"),
              L"Сегодня");
}

// Every figure explains itself in a tooltip over its column, the chart over the plot.
TEST_F(HistoryWindow, TooltipsExplainEachFigureInTheInterfaceLanguage) {
    const wchar_t* const keys[] = {nullptr,          L"tip.symbols",       L"tip.averageSpeed",
                                   L"tip.bestSpeed", L"tip.effectiveness", L"tip.evenness",
                                   L"tip.chart"};
    for (const wchar_t* code : {L"ENU", L"RUS"}) {
        useLanguage(code);
        openWindow();
        const HWND tooltip = dialog.tooltip();
        ASSERT_NE(tooltip, nullptr);
        EXPECT_EQ(::SendMessageW(tooltip, TTM_GETTOOLCOUNT, 0, 0), LRESULT(HistoryDlg::kChartTool));
        const HistoryLayout layout(clientSize());
        ResourceBundle texts = LocalizationManager::instance()->getBundle(L"History");
        for (UINT_PTR id = 1; id <= HistoryDlg::kChartTool; ++id) {
            SCOPED_TRACE(id);
            wchar_t text[1024] = {};
            TTTOOLINFOW tool = {};
            tool.cbSize = TTTOOLINFOW_V2_SIZE;
            tool.hwnd = dialog.handle();
            tool.uId = id;
            tool.lpszText = text;
            ::SendMessageW(tooltip, TTM_GETTEXTW, 1024, reinterpret_cast<LPARAM>(&tool));
            EXPECT_FALSE(texts.getString(keys[id]).empty());
            EXPECT_EQ(std::wstring(text), texts.getString(keys[id]));
            ASSERT_TRUE(
                ::SendMessageW(tooltip, TTM_GETTOOLINFOW, 0, reinterpret_cast<LPARAM>(&tool)));
            const RECT expected =
                id == HistoryDlg::kChartTool ? layout.plot() : layout.figureColumn(int(id));
            EXPECT_TRUE(::EqualRect(&tool.rect, &expected));
        }
        dialog.endDialog(IDCANCEL);
        pumpMessages();
    }
}

TEST_F(HistoryWindow, TodaysTypingShowsWithoutReopeningAndTheFolderButtonShowsTheFile) {
    writeKnownHistory();
    openWindow();
    for (int i = 0; i < 30; ++i) {
        ticks.advance(250);
        wall.advance(250);
        recorder.handleKey(testing::letter());
    }
    EXPECT_TRUE(pumpUntil([&] { return dialog.view().todayTotal.symbols == 1030; }, 5000));
    EXPECT_NE(dialog.getItemText(IDC_HISTORY_FIGURES).find(L"Today\t1030\t"), std::wstring::npos);

    dialog.send(WM_COMMAND, MAKEWPARAM(IDC_HISTORY_OPEN_FOLDER, BN_CLICKED),
                reinterpret_cast<LPARAM>(dialog.getItem(IDC_HISTORY_OPEN_FOLDER)));
    ASSERT_EQ(dialog.explorerCalls.size(), 1u);
    EXPECT_EQ(dialog.explorerCalls[0], L"/select,\"" + historyPath() + L"\"");
    EXPECT_EQ(HistoryDlg::explorerArguments(L"C:\\A b\\History.csv", false), L"\"C:\\A b\"");
}

TEST_F(HistoryWindow, SizeAndPlaceAreKeptInTheSettingsFile) {
    openWindow();
    EXPECT_EQ(::GetForegroundWindow(), dialog.handle()) << "the user opened it";
    ASSERT_TRUE(::MoveWindow(dialog.handle(), 40, 50, 720, 500, TRUE));
    pumpMessages();
    dialog.send(WM_CLOSE);
    pumpMessages();
    EXPECT_FALSE(dialog.exists());

    RECT stored;
    bool maximized = true;
    ASSERT_TRUE(HistoryWindowPlacement::load(stored, maximized));
    EXPECT_EQ(stored.left, 40);
    EXPECT_EQ(stored.top, 50);
    EXPECT_EQ(stored.right - stored.left, 720);
    EXPECT_EQ(stored.bottom - stored.top, 500);
    EXPECT_FALSE(maximized);

    openWindow();
    RECT rect;
    ::GetWindowRect(dialog.handle(), &rect);
    EXPECT_EQ(rect.left, 40);
    EXPECT_EQ(rect.right - rect.left, 720);
    dialog.endDialog(IDCANCEL);
    pumpMessages();

    // A place on no screen, or partly below it (saved on a larger one),
    // comes wholly into the work area with its size.
    RECT work;
    ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    const RECT places[] = {{-9000, -9000, -8300, -8500},
                           {100, work.bottom - 100, 800, work.bottom + 400}};
    for (const RECT& place : places) {
        ASSERT_TRUE(HistoryWindowPlacement::save(place, false));
        openWindow();
        ::GetWindowRect(dialog.handle(), &rect);
        EXPECT_GE(rect.left, work.left);
        EXPECT_GE(rect.top, work.top);
        EXPECT_LE(rect.right, work.right);
        EXPECT_LE(rect.bottom, work.bottom);
        EXPECT_EQ(rect.right - rect.left, 700);
        dialog.endDialog(IDCANCEL);
        pumpMessages();
    }
}

TEST_F(HistoryWindow, ADragThatEndsPartlyOffTheScreenComesBackButAMaximizedWindowStays) {
    openWindow();
    RECT work, rect;
    ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    ASSERT_TRUE(::MoveWindow(dialog.handle(), work.right - 100, 40, 600, 400, TRUE));
    dialog.send(WM_EXITSIZEMOVE);
    ::GetWindowRect(dialog.handle(), &rect);
    EXPECT_EQ(rect.right, work.right);
    EXPECT_EQ(rect.right - rect.left, 600);

    ::ShowWindow(dialog.handle(), SW_MAXIMIZE);
    RECT maximized;
    ::GetWindowRect(dialog.handle(), &maximized);
    dialog.send(WM_DISPLAYCHANGE, 32);
    ::GetWindowRect(dialog.handle(), &rect);
    EXPECT_TRUE(::EqualRect(&rect, &maximized));
    EXPECT_TRUE(::IsZoomed(dialog.handle()));
    dialog.endDialog(IDCANCEL);
    pumpMessages();
}

} // namespace
} // namespace keywhirl

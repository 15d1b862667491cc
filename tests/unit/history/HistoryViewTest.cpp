// tests/unit/history/HistoryViewTest.cpp - dates, the window's 30 days and its scales and labels.
#include "history/HistoryView.h"

#include <gtest/gtest.h>

namespace keywhirl {
namespace {

TEST(CalendarDate, CountsDaysAcrossMonthsLeapYearsAndCenturies) {
    struct Case {
        int year, month, day, dayNumber;
    };
    const Case cases[] = {
        {1970, 1, 1, 0},     {1969, 12, 31, -1},   {2000, 2, 29, 11016},  {2000, 3, 1, 11017},
        {2100, 3, 1, 47541}, {2026, 12, 8, 20795}, {1601, 1, 1, -134774}, {9999, 12, 31, 2932896},
    };
    for (const Case& c : cases) {
        const CalendarDate date = CalendarDate::fromYmd(c.year, c.month, c.day);
        EXPECT_EQ(date.dayNumber(), c.dayNumber) << c.year << "-" << c.month << "-" << c.day;
        EXPECT_EQ(date.year(), c.year);
        EXPECT_EQ(date.month(), c.month);
        EXPECT_EQ(date.day(), c.day);
        CalendarDate parsed;
        ASSERT_TRUE(CalendarDate::parseIso(date.toIso(), parsed)) << date.toIso();
        EXPECT_EQ(parsed, date);
    }
    EXPECT_EQ(CalendarDate::fromYmd(2026, 12, 8).toSystemTime().wDayOfWeek, 2) << "a Tuesday";
    EXPECT_EQ(CalendarDate::fromYmd(1969, 12, 31).toSystemTime().wDayOfWeek, 3);

    CalendarDate date;
    for (const char* wrong : {"2025-02-29", "2026-13-01", "2026-00-10", "2026-1-10", "2026-01-1x",
                              "1600-12-31", " 2026-01-01", "2026/01/01", ""})
        EXPECT_FALSE(CalendarDate::parseIso(wrong, date)) << wrong;
    EXPECT_TRUE(CalendarDate::parseIso("2024-02-29", date));
}

TEST(HistoryView, TakesTheThirtyDaysUpToTodayAndAddsUpTheSpans) {
    const CalendarDate today = CalendarDate::fromYmd(2026, 3, 1);
    std::vector<DayRecord> history;
    for (int age : {40, 30, 29, 7, 6, 0, -1}) {
        DayRecord day;
        day.date = today - age;
        day.symbols = 100 + std::uint64_t(age + 1);
        day.bestSpeed = 200 + unsigned(age + 1);
        history.push_back(day);
    }
    const HistoryView view = HistoryView::of(history, today);
    EXPECT_EQ(view.days.front().date, today - 29);
    EXPECT_EQ(view.days.back().date, today);
    EXPECT_EQ(view.days.front().symbols, 130u);
    EXPECT_EQ(view.days[22].symbols, 108u);
    EXPECT_EQ(view.days[23].symbols, 107u);
    EXPECT_EQ(view.days[24].symbols, 0u) << "an empty day keeps its date";
    EXPECT_EQ(view.days[24].date, today - 5);
    EXPECT_EQ(view.todayTotal.symbols, 101u);
    EXPECT_EQ(view.lastWeek.symbols, 101u + 107u) << "six days ago is in, seven days ago is not";
    EXPECT_EQ(view.lastMonth.symbols, 101u + 107u + 108u + 130u);
    EXPECT_EQ(view.lastMonth.bestSpeed, 230u);
    EXPECT_FALSE(view.nothingTyped());
    EXPECT_TRUE(HistoryView::of({history.front()}, today).nothingTyped());
}

TEST(HistoryView, DayLabelsDropTheYearFromTheShortDate) {
    const std::pair<const wchar_t*, const wchar_t*> cases[] = {
        {L"M/d/yyyy", L"M/d"},          {L"dd.MM.yyyy", L"dd.MM"}, {L"yyyy-MM-dd", L"MM-dd"},
        {L"d. M. yyyy", L"d. M"},       {L"dd.MM.yy", L"dd.MM"},   {L"yyyy'年'M'月'd'日'", L"Md"},
        {L"dd.MM.yyyy 'г.'", L"dd.MM"}, {L"d/M", L"d/M"},          {L"yyyy", L"d"},
    };
    for (const auto& [picture, expected] : cases)
        EXPECT_EQ(monthDayPicture(picture), expected) << picture;
}

TEST(HistoryView, ScalesEndOnRoundFiguresInFourSteps) {
    const std::pair<std::uint64_t, std::uint64_t> cases[] = {
        {0, 4},     {3, 4},       {5, 8},       {9, 20},        {41, 80},       {199, 200},
        {201, 400}, {1000, 1000}, {1001, 2000}, {13900, 20000}, {21000, 40000}, {250000, 400000},
    };
    for (const auto& [maximum, top] : cases)
        EXPECT_EQ(roundScale(maximum), top) << maximum;
}

} // namespace
} // namespace keywhirl

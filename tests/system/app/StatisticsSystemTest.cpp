// tests/system/app/StatisticsSystemTest.cpp - typing measured by the running program.
//
// The statistics window carries what its rows show as its window text (one
// "title<TAB>value" line per row), which is what this test reads back.
#include "KeywhirlProcess.h"

#include "Probe.h"
#include "support/WinePaths.h"

#include <gtest/gtest.h>

#include <cwchar>

namespace keywhirl::testing {
namespace {

long leadingNumber(const std::wstring& value) {
    return std::wcstol(value.c_str(), nullptr, 10);
}

TEST(StatisticsSystemTest, ThirtySymbolsAtASteadyPaceShowInTheRows) {
    removeKeywhirlSettings();
    deleteRunValue();
    writeSetting(L"l10nLanguageCode", L"ENU");
    writeSetting(L"showShortStatistics", L"TRUE");
    writeSetting(L"autoRun", L"FALSE");

    KeywhirlProcess program(programOutputFolder() + L"\\Keywhirl.exe");
    ASSERT_NE(program.mainWindow(), nullptr);
    const HWND statistics = findStatisticsWindow(program.processId());
    ASSERT_NE(statistics, nullptr) << "no statistics window";
    EXPECT_TRUE(::IsWindowVisible(statistics));

    ASSERT_TRUE(probe::typeText(program.mainWindow(), std::wstring(30, L'a'), 60));

    // The window refreshes once a second; on a busy machine a paint may come
    // later, so the rows are read until the count is complete (or not).
    std::map<std::wstring, std::wstring> rows;
    DWORD start = ::GetTickCount();
    do {
        ::Sleep(250);
        rows = statisticsRows(statistics);
    } while (rows[L"Symbols typed"] != L"30 symbols" && ::GetTickCount() - start < 15000);
    ASSERT_EQ(rows.size(), 6u) << "six monitors";
    EXPECT_EQ(rows[L"Symbols typed"], L"30 symbols");
    EXPECT_GT(leadingNumber(rows[L"Speed over the last 1 min"]), 0);
    EXPECT_GT(leadingNumber(rows[L"Speed over the last 60 min"]), 0);
    EXPECT_EQ(rows[L"Effectiveness"], L"100 %");

    removeKeywhirlSettings();
}

} // namespace
} // namespace keywhirl::testing

// tests/system/app/HistorySystemTest.cpp - the day's typing in the history window and History.csv.
//
// The history window carries its figures as the text of a hidden control
// (one "name<TAB>symbols<TAB>..." line per span), which this test reads back.
#include "KeywhirlProcess.h"

#include "Probe.h"
#include "resource.h"
#include "support/WinePaths.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <sstream>

namespace keywhirl::testing {
namespace {

bool isHistoryWindow(HWND window) {
    return ::GetDlgItem(window, IDC_HISTORY_FIGURES) != nullptr;
}

std::wstring figures(HWND window) {
    wchar_t text[1024] = {};
    ::GetDlgItemTextW(window, IDC_HISTORY_FIGURES, text, 1024);
    return text;
}

std::string todayIso() {
    SYSTEMTIME now;
    ::GetLocalTime(&now);
    char text[16];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d", now.wYear, now.wMonth, now.wDay);
    return text;
}

TEST(HistorySystemTest, TypedSymbolsShowInTheHistoryWindowAndStayInHistoryCsv) {
    removeKeywhirlSettings();
    deleteRunValue();
    writeSetting(L"l10nLanguageCode", L"ENU");
    writeSetting(L"autoRun", L"FALSE");
    const std::wstring file = probe::settingsFilePath();
    const std::wstring historyFile = file.substr(0, file.find_last_of(L'\\')) + L"\\History.csv";
    {
        KeywhirlProcess program(programOutputFolder() + L"\\Keywhirl.exe");
        ASSERT_NE(program.mainWindow(), nullptr);
        ASSERT_TRUE(probe::typeText(program.mainWindow(), std::wstring(30, L'a'), 60));

        ASSERT_TRUE(probe::chooseMenuCommand(program.mainWindow(), ID_TRAY_HISTORY));
        HWND found = nullptr;
        const DWORD start = ::GetTickCount();
        while (::GetTickCount() - start < 15000) {
            if (!found)
                found = probe::findWindowOf(program.processId(), isHistoryWindow);
            if (found && figures(found).rfind(L"Today\t30\t", 0) == 0)
                break;
            ::Sleep(250);
        }
        ASSERT_NE(found, nullptr) << "no history window";
        EXPECT_TRUE(::IsWindowVisible(found));
        const std::wstring shown = figures(found);
        EXPECT_EQ(shown.substr(0, shown.find(L"\r\n")).substr(0, 9), L"Today\t30\t") << shown;
        EXPECT_NE(shown.find(L"Last 30 days\t30\t"), std::wstring::npos) << shown;

        ::PostMessageW(program.mainWindow(), WM_COMMAND, ID_TRAY_EXIT, 0);
        ASSERT_TRUE(program.waitForExit(15000));
    }

    std::ifstream in(historyFile.c_str(), std::ios::binary);
    ASSERT_TRUE(in) << "History.csv is written at exit";
    std::stringstream text;
    text << in.rdbuf();
    EXPECT_EQ(text.str().rfind("date,symbols,", 0), 0u) << text.str();
    EXPECT_NE(text.str().find("\r\n" + todayIso() + ",30,"), std::string::npos) << text.str();

    removeKeywhirlSettings();
}

} // namespace
} // namespace keywhirl::testing

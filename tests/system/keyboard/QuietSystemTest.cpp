// tests/system/keyboard/QuietSystemTest.cpp - where the real program keeps quiet: a full-screen
// window, a password field, an ignored program and the pause, all of them the test's own.
#include "KeyboardWindow.h"
#include "KeywhirlProcess.h"

#include "Probe.h"
#include "resource.h"
#include "support/WinePaths.h"
#include "utils/Handles.h"

#include <gtest/gtest.h>

namespace keywhirl::testing {
namespace {

const DWORD kWaitInterval = 800;
// Generous: a loaded machine under Wine may run the checks late.
const DWORD kTimeout = 15000;

class QuietSystemTest : public ::testing::Test {
protected:
    void SetUp() override {
        removeKeywhirlSettings();
        for (auto [key, value] : {std::pair{L"l10nLanguageCode", L"ENU"},
                                  {L"keyboardAutoPopupping", L"TRUE"},
                                  {L"keyboardWaitInterval", L"800"},
                                  {L"keyboardIsVisible", L"FALSE"},
                                  {L"autoRun", L"FALSE"}})
            writeSetting(key, value);
    }
    void TearDown() override { removeKeywhirlSettings(); }

    HWND edit(DWORD style, int y) {
        return ::CreateWindowExW(0, L"EDIT", L"", WS_CHILD | WS_VISIBLE | style, 10, y, 200, 24,
                                 desk.get(), nullptr, nullptr, nullptr);
    }
    bool focus(HWND control) {
        ::SetForegroundWindow(desk.get());
        ::SetFocus(control);
        return pumpUntil([&] { return ::GetFocus() == control; });
    }
    long symbols() const {
        return std::wcstol(statisticsRows(statistics)[L"Symbols typed"].c_str(), nullptr, 10);
    }
    // Waits for the count to reach the figure, then tells the count.
    long countAfterReaching(long figure) const {
        eventually([&] { return symbols() >= figure; }, kTimeout);
        return symbols();
    }
    bool shown() const { return ::IsWindowVisible(keyboard) != FALSE; }
    bool type(const wchar_t* letters) const { return probe::typeText(main, letters, 0); }

    // Carries out a tray menu command and waits until it is done: the
    // statistics item, posted after it, hides the statistics window, and a
    // second one shows it again.
    void choose(UINT command) const {
        ASSERT_TRUE(probe::chooseMenuCommand(main, command));
        for (bool visible : {false, true}) {
            ASSERT_TRUE(probe::chooseMenuCommand(main, ID_TRAY_SHOW_STATISTICS));
            ASSERT_TRUE(eventually([&] { return (::IsWindowVisible(statistics) != 0) == visible; },
                                   kTimeout));
        }
    }
    // Waits until every key sent so far is delivered, while they are not
    // counted: one more key fades out the keyboard shown from the tray icon.
    void settleUncounted() const {
        probe::clickTray(main, WM_LBUTTONUP);
        ASSERT_TRUE(eventually([&] { return shown(); }, kTimeout));
        ASSERT_TRUE(type(L"z"));
        ASSERT_TRUE(eventually([&] { return !shown(); }, kTimeout));
    }

    // Made in front, filling the screen, before the program starts.
    utils::UniqueWindow desk{::CreateWindowExW(
        0, L"STATIC", L"quiet test", WS_POPUP | WS_VISIBLE, 0, 0, ::GetSystemMetrics(SM_CXSCREEN),
        ::GetSystemMetrics(SM_CYSCREEN), nullptr, nullptr, nullptr, nullptr)};
    HWND text = edit(0, 10);
    HWND password = edit(ES_PASSWORD, 40);
    HWND main = nullptr, keyboard = nullptr, statistics = nullptr;
};

TEST_F(QuietSystemTest, FullScreenPasswordFieldIgnoredProgramAndPauseEachHoldBackTheirPart) {
    ASSERT_TRUE(focus(text));
    KeywhirlProcess program(programOutputFolder() + L"\\Keywhirl.exe");
    main = program.mainWindow();
    keyboard = findKeyboardWindow(program.processId());
    statistics = findStatisticsWindow(program.processId());
    ASSERT_TRUE(main && keyboard && statistics);
    ASSERT_TRUE(focus(text));

    // Full screen: typing is counted, but no hint comes after the pause;
    // out of full screen it does.
    ASSERT_TRUE(type(L"abc"));
    EXPECT_EQ(countAfterReaching(3), 3);
    EXPECT_FALSE(eventually([&] { return shown(); }, kWaitInterval + 2500)) << "a hint";
    ::SetWindowPos(desk.get(), nullptr, 100, 100, 300, 200, SWP_NOZORDER);
    ASSERT_TRUE(eventually([&] { return shown(); }, kTimeout));
    ASSERT_TRUE(type(L"d"));
    ASSERT_TRUE(eventually([&] { return !shown(); }, kTimeout));

    ASSERT_TRUE(focus(password));
    ASSERT_TRUE(type(L"secret"));
    ASSERT_NO_FATAL_FAILURE(settleUncounted());
    ASSERT_TRUE(focus(text));
    ASSERT_TRUE(type(L"e"));
    EXPECT_EQ(countAfterReaching(5), 5) << "password keys were counted";

    // "Ignore <program>" names this test's program; then the pause. The
    // second choice of each item ends it.
    long counted = 5;
    for (UINT command : {ID_TRAY_IGNORE_PROGRAM, ID_TRAY_PAUSE}) {
        ASSERT_NO_FATAL_FAILURE(choose(command));
        ASSERT_TRUE(type(L"quiet"));
        ASSERT_NO_FATAL_FAILURE(settleUncounted());
        ASSERT_NO_FATAL_FAILURE(choose(command));
        ASSERT_TRUE(type(L"f"));
        ++counted;
        EXPECT_EQ(countAfterReaching(counted), counted) << "counted in quiet, " << command;
    }

    // The ignored program is kept in the settings file.
    ASSERT_TRUE(probe::chooseMenuCommand(main, ID_TRAY_IGNORE_PROGRAM));
    ASSERT_TRUE(probe::chooseMenuCommand(main, ID_TRAY_EXIT));
    ASSERT_TRUE(program.waitForExit(20000));
    EXPECT_EQ(probe::readSetting(L"ignoredPrograms"), L"system_keyboard.exe");
}

} // namespace
} // namespace keywhirl::testing

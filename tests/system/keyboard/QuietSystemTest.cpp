// tests/system/keyboard/QuietSystemTest.cpp - where the real program keeps quiet: a full-screen
// window, a password field, an ignored program and the pause, all of them the test's own.
#include "KeyboardWindow.h"
#include "KeywhirlProcess.h"

#include "Probe.h"
#include "resource.h"
#include "support/WinePaths.h"
#include "ui/Handles.h"

#include <gtest/gtest.h>

#include <memory>

namespace keywhirl::testing {
namespace {

const DWORD kWaitInterval = 800;
// Generous: a loaded machine under Wine may run the checks late.
const DWORD kPopUpTimeout = kWaitInterval + 5000;
const DWORD kCountTimeout = 15000;
const wchar_t kSymbolsTyped[] = L"Symbols typed";

// A top-level window of the test with two edits, an ordinary one and one for
// passwords; it fills the screen or sits in its middle.
class DeskWindow {
public:
    DeskWindow()
        : window(::CreateWindowExW(0, L"STATIC", L"quiet test", WS_POPUP | WS_VISIBLE, 0, 0,
                                   ::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN),
                                   nullptr, nullptr, nullptr, nullptr)),
          text(child(0, 10)), password(child(ES_PASSWORD, 40)) {
        focus(text);
    }
    bool made() const { return window && text && password; }
    bool focus(HWND edit) const {
        ::SetForegroundWindow(window.get());
        ::SetFocus(edit);
        return pumpUntil([&] { return ::GetFocus() == edit; });
    }
    void leaveFullScreen() const {
        ::SetWindowPos(window.get(), nullptr, 100, 100, 300, 200, SWP_NOZORDER);
        pumpMessages();
    }

    HWND textEdit() const { return text; }
    HWND passwordEdit() const { return password; }

private:
    HWND child(DWORD style, int y) {
        return ::CreateWindowExW(0, L"EDIT", L"", WS_CHILD | WS_VISIBLE | WS_BORDER | style, 10, y,
                                 200, 24, window.get(), nullptr, nullptr, nullptr);
    }

    ui::UniqueWindow window;
    HWND text;
    HWND password;
};

class QuietSystemTest : public ::testing::Test {
protected:
    void SetUp() override {
        removeKeywhirlSettings();
        writeSetting(L"l10nLanguageCode", L"ENU");
        writeSetting(L"keyboardAutoPopupping", L"TRUE");
        writeSetting(L"keyboardWaitInterval", std::to_wstring(kWaitInterval));
        writeSetting(L"keyboardIsVisible", L"FALSE");
        writeSetting(L"showShortStatistics", L"TRUE");
        writeSetting(L"enableKeyPressSound", L"FALSE");
        writeSetting(L"metronomeRunning", L"FALSE");
        writeSetting(L"autoRun", L"FALSE");
    }
    void TearDown() override { removeKeywhirlSettings(); }

    long symbols() const {
        return std::wcstol(statisticsRows(statistics)[kSymbolsTyped].c_str(), nullptr, 10);
    }
    bool waitSymbols(long expected) const {
        return eventually([&] { return symbols() >= expected; }, kCountTimeout);
    }
    bool visible() const { return ::IsWindowVisible(keyboard) != FALSE; }
    bool type(const std::wstring& letters) const { return probe::typeText(main, letters, 0); }

    // Chooses a tray menu command and waits until the main window has carried
    // it out: the statistics item, posted after it, hides the statistics
    // window, and a second one shows it again.
    void choose(UINT command) const {
        ASSERT_TRUE(probe::chooseMenuCommand(main, command));
        for (bool shown : {false, true}) {
            ASSERT_TRUE(probe::chooseMenuCommand(main, ID_TRAY_SHOW_STATISTICS));
            ASSERT_TRUE(eventually(
                [&] { return (::IsWindowVisible(statistics) != FALSE) == shown; }, kCountTimeout));
        }
    }

    // Proves that the dispatcher has delivered every key sent so far, while
    // those keys are not counted: the keyboard, shown from the tray icon, is
    // faded out by one more (uncounted) key, which comes after all of them.
    void settleUncounted() const {
        probe::clickTray(main, WM_LBUTTONUP);
        ASSERT_TRUE(eventually([&] { return visible(); }, kPopUpTimeout));
        ASSERT_TRUE(type(L"z"));
        ASSERT_TRUE(eventually([&] { return !visible(); }, kPopUpTimeout));
    }

    std::unique_ptr<KeywhirlProcess> program;
    HWND main = nullptr;
    HWND keyboard = nullptr;
    HWND statistics = nullptr;
};

TEST_F(QuietSystemTest, FullScreenPasswordFieldIgnoredProgramAndPauseEachHoldBackTheirPart) {
    DeskWindow desk;
    ASSERT_TRUE(desk.made());
    program = std::make_unique<KeywhirlProcess>(programOutputFolder() + L"\\Keywhirl.exe");
    main = program->mainWindow();
    ASSERT_NE(main, nullptr);
    keyboard = findKeyboardWindow(program->processId());
    statistics = findStatisticsWindow(program->processId());
    ASSERT_NE(keyboard, nullptr);
    ASSERT_NE(statistics, nullptr);
    ASSERT_TRUE(desk.focus(desk.textEdit()));

    // Full screen: typing is counted, but no hint comes after the pause.
    ASSERT_TRUE(type(L"abc"));
    ASSERT_TRUE(waitSymbols(3));
    EXPECT_FALSE(eventually([&] { return visible(); }, kWaitInterval + 2500))
        << "a hint over a full-screen window";
    // Out of full screen, the hint comes: the quiet was the full screen's.
    desk.leaveFullScreen();
    ASSERT_TRUE(eventually([&] { return visible(); }, kPopUpTimeout + 1000));
    ASSERT_TRUE(type(L"d"));
    ASSERT_TRUE(eventually([&] { return !visible(); }, kPopUpTimeout));
    ASSERT_TRUE(waitSymbols(4));

    // A password field: its keys leave the count as it was.
    ASSERT_TRUE(desk.focus(desk.passwordEdit()));
    ASSERT_TRUE(type(L"secret"));
    ASSERT_NO_FATAL_FAILURE(settleUncounted());
    ASSERT_TRUE(desk.focus(desk.textEdit()));
    ASSERT_TRUE(type(L"e"));
    ASSERT_TRUE(waitSymbols(5));
    EXPECT_EQ(symbols(), 5) << "password keys were counted";

    // The tray menu's "Ignore <program>" names this test's program.
    ASSERT_NO_FATAL_FAILURE(choose(ID_TRAY_IGNORE_PROGRAM));
    ASSERT_TRUE(type(L"ignored"));
    ASSERT_NO_FATAL_FAILURE(settleUncounted());
    ASSERT_NO_FATAL_FAILURE(choose(ID_TRAY_IGNORE_PROGRAM));
    ASSERT_TRUE(type(L"f"));
    ASSERT_TRUE(waitSymbols(6));
    EXPECT_EQ(symbols(), 6) << "keys of an ignored program were counted";

    // The pause, and its end from the tray menu.
    ASSERT_NO_FATAL_FAILURE(choose(ID_TRAY_PAUSE));
    ASSERT_TRUE(type(L"paused"));
    ASSERT_NO_FATAL_FAILURE(settleUncounted());
    ASSERT_NO_FATAL_FAILURE(choose(ID_TRAY_PAUSE));
    ASSERT_TRUE(type(L"g"));
    ASSERT_TRUE(waitSymbols(7));
    EXPECT_EQ(symbols(), 7) << "keys typed during the pause were counted";

    // The ignored program is kept in the settings file.
    ASSERT_TRUE(probe::chooseMenuCommand(main, ID_TRAY_IGNORE_PROGRAM));
    ASSERT_TRUE(probe::chooseMenuCommand(main, ID_TRAY_EXIT));
    ASSERT_TRUE(program->waitForExit(20000));
    EXPECT_EQ(probe::readSetting(L"ignoredPrograms"), L"system_keyboard.exe");
}

} // namespace
} // namespace keywhirl::testing

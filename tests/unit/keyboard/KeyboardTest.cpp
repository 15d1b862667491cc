// tests/unit/keyboard/KeyboardTest.cpp
#include "keyboard/Keyboard.h"

#include "keyboard/CloseKeyboardCommand.h"
#include "keyboard/MinimizeKeyboardCommand.h"
#include "settings/Settings.h"
#include "support/FakeClock.h"
#include "support/TestSettings.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace keywhirl {
namespace {

using Calls = std::vector<std::string>;

// A keyboard window that notes what the keyboard asks of it. Its window,
// when it has one, is a plain pop-up of the test's thread.
class RecordingDlg : public KeyboardDlg {
public:
    ~RecordingDlg() override {
        if (window && ::IsWindow(window))
            ::DestroyWindow(window);
    }
    void addCommand(commands::Command* command) override {
        added.push_back(command);
        calls.push_back(dynamic_cast<commands::CloseKeyboardCommand*>(command) ? "add close"
                                                                               : "add minimize");
    }
    bool create(HWND owner) override {
        calls.push_back("create");
        createdWith = owner;
        window = ::CreateWindowExW(0, L"STATIC", L"keyboard", WS_POPUP, 0, 0, 20, 20, owner,
                                   nullptr, ::GetModuleHandleW(nullptr), nullptr);
        return true;
    }
    HWND getSafeHwnd() const override { return window; }
    void startFade(bool show) override { calls.push_back(show ? "fade in" : "fade out"); }
    void hideToTray() override { calls.push_back("hide"); }
    void restoreFromTray() override { calls.push_back("restore"); }
    void setLayout(HKL layout) override {
        calls.push_back("layout");
        lastLayout = layout;
    }
    void onKey(const KeyInfoWrapper&) override { calls.push_back("key"); }

    Calls take() {
        Calls taken = calls;
        calls.clear();
        return taken;
    }

    Calls calls;
    std::vector<commands::Command*> added;
    HWND createdWith = nullptr;
    HWND window = nullptr;
    HKL lastLayout = nullptr;
};

class TestKeyboard : public Keyboard {
public:
    explicit TestKeyboard(KeyboardDlg& dialog) : Keyboard(dialog) {}
};

// The main window's part: it is closed when the keyboard closes.
class Owner {
public:
    Owner() {
        WNDCLASSW windowClass = {};
        windowClass.lpfnWndProc = &Owner::procedure;
        windowClass.hInstance = ::GetModuleHandleW(nullptr);
        windowClass.lpszClassName = L"KeyboardTestMainWindow";
        ::RegisterClassW(&windowClass);
        handle = ::CreateWindowExW(0, L"KeyboardTestMainWindow", L"main", WS_POPUP, 0, 0, 10, 10,
                                   nullptr, nullptr, ::GetModuleHandleW(nullptr), nullptr);
        closes = 0;
    }
    ~Owner() {
        if (::IsWindow(handle))
            ::DestroyWindow(handle);
    }
    HWND handle;
    static int closes;

private:
    static LRESULT CALLBACK procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
        if (message == WM_CLOSE) {
            ++closes;
            return 0;
        }
        return ::DefWindowProcW(window, message, wParam, lParam);
    }
};
int Owner::closes = 0;

KeyInfoWrapper key(UINT virtualKey, bool up = false, bool repeat = false) {
    KeyRecord record;
    std::memset(&record, 0, sizeof record);
    record.keyboardLayout = ::GetKeyboardLayout(0);
    record.virtualKey = virtualKey;
    record.keyData = 1u | (repeat || up ? 0x40000000u : 0u) | (up ? 0x80000000u : 0u);
    return KeyInfoWrapper(record);
}

class KeyboardTest : public ::testing::Test {
protected:
    void SetUp() override {
        options().keyboardAutoPopupping = true;
        options().keyboardWaitInterval = 3000;
    }
    Settings& options() { return *Settings::instance(); }
    // Lets time pass and runs the check, as the dispatcher does at the end
    // of every pass.
    Calls after(DWORD milliseconds) {
        clock.advance(milliseconds);
        keyboard.check();
        return dialog.take();
    }
    Calls type(const KeyInfoWrapper& event) {
        keyboard.handleKey(event);
        return dialog.take();
    }

    testing::TestSettings settings;
    testing::FakeClock clock{100000};
    RecordingDlg dialog;
    TestKeyboard keyboard{dialog};
};

TEST_F(KeyboardTest, CreatesItsWindowWithTheTwoCommandsAndShowsItIfItWasVisible) {
    Owner owner;
    options().keyboardIsVisible = true;
    keyboard.createWindow(owner.handle);
    EXPECT_EQ((Calls{"add minimize", "add close", "create", "restore"}), dialog.take());
    EXPECT_EQ(owner.handle, dialog.createdWith);

    RecordingDlg other;
    TestKeyboard second(other);
    options().keyboardIsVisible = false;
    second.createWindow(owner.handle);
    EXPECT_EQ((Calls{"add minimize", "add close", "create"}), other.take());
}

TEST_F(KeyboardTest, TypingFadesOutAndEveryEventReachesTheWindow) {
    EXPECT_EQ((Calls{"fade out", "key"}), type(key('A')));
    EXPECT_EQ((Calls{"key"}), type(key('A', true))) << "a release is not typing";
    EXPECT_EQ((Calls{"fade out", "key"}), type(key('A', false, true))) << "auto-repeat is typing";
    for (UINT modifier : {VK_SHIFT, VK_CONTROL, VK_MENU, VK_CAPITAL, VK_NUMLOCK, VK_SCROLL})
        EXPECT_EQ((Calls{"key"}), type(key(modifier))) << modifier;
    for (UINT sideKey : {VK_LSHIFT, VK_RCONTROL, VK_LMENU})
        EXPECT_EQ((Calls{"fade out", "key"}), type(key(sideKey))) << sideKey;
}

TEST_F(KeyboardTest, PopsUpOnlyAfterStrictlyMoreThanTheWaitSinceTheLastTypingKey) {
    EXPECT_TRUE(after(2000).empty());
    type(key('A'));
    EXPECT_TRUE(after(2999).empty());
    EXPECT_TRUE(after(1).empty()) << "exactly the wait is not enough";
    EXPECT_EQ((Calls{"fade in"}), after(1));
    // While the user stays idle nothing more is asked of the window.
    EXPECT_TRUE(after(3001).empty());
}

// The dispatcher sleeps as long as millisecondsLeft() says: once the hint
// has come, or the pause found it switched off or put off by a dialog, a
// short wait must not wake it again and again.
TEST_F(KeyboardTest, TheSleepAfterAPauseLastsUntilTheNextTypingKey) {
    Owner owner;
    keyboard.createWindow(owner.handle);
    options().keyboardWaitInterval = 0;
    struct Case {
        const char* name;
        bool autoPopup;
        bool dialogOpen;
        DWORD sleepAfterThePause;
    };
    const Case cases[] = {{"hint shown", true, false, INFINITE},
                          {"hint switched off", false, false, INFINITE},
                          {"put off by a modal dialog", true, true, 50}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        options().keyboardAutoPopupping = c.autoPopup;
        ::EnableWindow(owner.handle, c.dialogOpen ? FALSE : TRUE);
        type(key('A'));
        EXPECT_EQ(1u, keyboard.millisecondsLeft()) << "a wait of 0 ends 1 ms after typing";
        after(1);
        EXPECT_EQ(c.sleepAfterThePause, keyboard.millisecondsLeft());
        after(100000);
        type(key(VK_SHIFT));
        type(key('A', true));
        EXPECT_EQ(c.sleepAfterThePause, keyboard.millisecondsLeft()) << "not typing";
    }
    ::EnableWindow(owner.handle, TRUE);
    options().keyboardAutoPopupping = true;
    keyboard.restartWait();
    EXPECT_EQ((Calls{"fade in"}), after(1)) << "switched on again, the hint comes after a pause";
}

TEST_F(KeyboardTest, ReleasesAndModifiersDoNotPostponeTheHint) {
    type(key('A'));
    clock.advance(2500);
    type(key('A', true));
    type(key(VK_SHIFT));
    type(key(VK_SHIFT, false, true));
    EXPECT_EQ((Calls{"fade in"}), after(501)) << "Shift held: the keyboard pops up all the same";
}

TEST_F(KeyboardTest, NoHintWhileAModalDialogDisablesTheMainWindow) {
    Owner owner;
    options().keyboardIsVisible = false;
    keyboard.createWindow(owner.handle);
    dialog.take();
    type(key('A'));
    // A modal dialog of the main window disables it while it is open.
    ::EnableWindow(owner.handle, FALSE);
    EXPECT_TRUE(after(3001).empty());
    EXPECT_TRUE(after(6000).empty());
    ::EnableWindow(owner.handle, TRUE);
    EXPECT_TRUE(after(2999).empty()) << "a full pause after the dialog closed";
    EXPECT_EQ((Calls{"fade in"}), after(2));
}

TEST_F(KeyboardTest, AutoRepeatKeepsPostponingTheHint) {
    for (int i = 0; i < 10; ++i) {
        EXPECT_TRUE(after(1000).empty());
        type(key('A', false, true));
    }
}

TEST_F(KeyboardTest, AChangedWaitAppliesAtTheNextCheck) {
    type(key('A'));
    clock.advance(1500);
    options().keyboardWaitInterval = 1000;
    EXPECT_EQ((Calls{"fade in"}), after(0));
    options().keyboardWaitInterval = 0;
    type(key('A'));
    EXPECT_TRUE(after(0).empty());
    EXPECT_EQ((Calls{"fade in"}), after(1)) << "a wait of 0 fires 1 ms after typing";
}

TEST_F(KeyboardTest, WithoutAutoPopupTypingAndPausesNeitherShowNorHide) {
    options().keyboardAutoPopupping = false;
    EXPECT_EQ((Calls{"key"}), type(key('A')));
    EXPECT_TRUE(after(10000).empty());
    EXPECT_TRUE(after(10000).empty());
    // Explicit requests work whatever the setting.
    keyboard.showWindow();
    keyboard.hideWindow();
    EXPECT_EQ((Calls{"restore", "hide"}), dialog.take());
}

TEST_F(KeyboardTest, TypingStillRestartsTheWaitWithoutAutoPopup) {
    options().keyboardAutoPopupping = false;
    clock.advance(2000);
    type(key('A'));
    clock.advance(2000);
    options().keyboardAutoPopupping = true;
    EXPECT_TRUE(after(0).empty());
    EXPECT_EQ((Calls{"fade in"}), after(1001));
}

TEST_F(KeyboardTest, ExplicitShowAndHideRestartTheWait) {
    clock.advance(2000);
    keyboard.showWindow();
    EXPECT_EQ((Calls{"restore"}), dialog.take());
    EXPECT_TRUE(after(3000).empty());
    keyboard.hideWindow();
    EXPECT_EQ((Calls{"hide"}), dialog.take());
    EXPECT_TRUE(after(3000).empty());
    EXPECT_EQ((Calls{"fade in"}), after(1)) << "an explicit hide lasts one wait";
}

TEST_F(KeyboardTest, ALayoutChangeOnlyRelabels) {
    clock.advance(2000);
    HKL layout = reinterpret_cast<HKL>(static_cast<UINT_PTR>(0x04190419));
    keyboard.onLayoutChanged(layout);
    EXPECT_EQ((Calls{"layout"}), dialog.take());
    EXPECT_EQ(layout, dialog.lastLayout);
    EXPECT_EQ((Calls{"fade in"}), after(1001)) << "the wait was not restarted";
}

TEST_F(KeyboardTest, ClosingDestroysTheWindowAndClosesTheOwnerOnce) {
    Owner owner;
    keyboard.createWindow(owner.handle);
    HWND window = dialog.window;
    ASSERT_TRUE(::IsWindow(window));
    keyboard.closeWindow();
    EXPECT_FALSE(::IsWindow(window));
    EXPECT_EQ(1, Owner::closes);
    keyboard.closeWindow();
    EXPECT_EQ(1, Owner::closes) << "a second close does nothing";
}

TEST_F(KeyboardTest, ClosingWithoutWindowOrOwnerDoesNothing) {
    keyboard.closeWindow();
    keyboard.closeWindow();
    EXPECT_FALSE(keyboard.isWindowVisible());
}

TEST_F(KeyboardTest, VisibleExactlyWhenTheWindowIs) {
    Owner owner;
    keyboard.createWindow(owner.handle);
    EXPECT_FALSE(keyboard.isWindowVisible());
    ::ShowWindow(dialog.window, SW_SHOWNOACTIVATE);
    EXPECT_TRUE(keyboard.isWindowVisible());
    EXPECT_EQ(&dialog, &keyboard.getDialog());
}

TEST_F(KeyboardTest, TheCommandsHideAndCloseTheKeyboardThatMadeThem) {
    Owner owner;
    keyboard.createWindow(owner.handle);
    dialog.take();
    ASSERT_EQ(2u, dialog.added.size());
    clock.advance(2000);
    dialog.added[0]->execute(); // minimize
    EXPECT_EQ((Calls{"hide"}), dialog.take());
    EXPECT_TRUE(after(3000).empty()) << "hiding restarted the wait";
    dialog.added[1]->execute(); // close
    EXPECT_FALSE(::IsWindow(dialog.window));
    EXPECT_EQ(1, Owner::closes);
}

TEST(KeyboardCommandsTest, CommandsWithoutAKeyboardDoNothing) {
    commands::MinimizeKeyboardCommand minimize(nullptr);
    commands::CloseKeyboardCommand close(nullptr);
    minimize.execute();
    close.execute();
    SUCCEED();
}

} // namespace
} // namespace keywhirl

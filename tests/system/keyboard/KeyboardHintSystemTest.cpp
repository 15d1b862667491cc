// tests/system/keyboard/KeyboardHintSystemTest.cpp - the automatic keyboard hint
// of the real program, driven by key records as the hook library sends them.
#include "KeyboardWindow.h"
#include "KeywhirlProcess.h"

#include "Probe.h"
#include "support/WinePaths.h"

#include <gtest/gtest.h>

#include <memory>

namespace keywhirl::testing {
namespace {

const DWORD kWaitInterval = 800;
const int kOpacity = 225;
// Generous: a loaded machine under Wine may run the 50 ms checks late.
const DWORD kPopUpTimeout = kWaitInterval + 5000;
const DWORD kFadeTimeout = 5000;

class KeyboardHintSystemTest : public ::testing::Test {
protected:
    void SetUp() override {
        removeKeywhirlSettings();
        writeSetting(L"l10nLanguageCode", L"ENU");
        writeSetting(L"keyboardAutoPopupping", L"TRUE");
        writeSetting(L"keyboardWaitInterval", std::to_wstring(kWaitInterval));
        writeSetting(L"keyboardOpacity", std::to_wstring(kOpacity));
        writeSetting(L"keyboardIsVisible", L"FALSE");
        writeSetting(L"showShortStatistics", L"FALSE");
        writeSetting(L"enableKeyPressSound", L"FALSE");
        writeSetting(L"metronomeRunning", L"FALSE");
        writeSetting(L"autoRun", L"FALSE");
    }
    void TearDown() override { removeKeywhirlSettings(); }

    // Starts the program and finds its keyboard window.
    void start() {
        program = std::make_unique<KeywhirlProcess>(programOutputFolder() + L"\\Keywhirl.exe");
        ASSERT_NE(program->mainWindow(), nullptr) << "no main window \"#32770\" \"Keywhirl\"";
        main = program->mainWindow();
        keyboard = findKeyboardWindow(program->processId());
        ASSERT_NE(keyboard, nullptr) << "no window with the minimize button 1006";
    }

    bool visible() const { return ::IsWindowVisible(keyboard) != FALSE; }
    bool fullyShown() const { return visible() && layeredAlpha(keyboard) == kOpacity; }
    bool waitFullyShown() const {
        return eventually([&] { return fullyShown(); }, kPopUpTimeout);
    }
    bool waitHidden() const {
        return eventually([&] { return !visible(); }, kFadeTimeout);
    }
    bool press(UINT virtualKey, bool shift = false) const {
        return probe::sendKeyRecord(main, probe::makeKeyRecord(virtualKey, false, false, shift));
    }
    bool release(UINT virtualKey) const {
        return probe::sendKeyRecord(main, probe::makeKeyRecord(virtualKey, true));
    }

    std::unique_ptr<KeywhirlProcess> program;
    HWND main = nullptr;
    HWND keyboard = nullptr;
};

TEST_F(KeyboardHintSystemTest, PopsUpAfterThePauseAndTheNextTypingKeyFadesItOut) {
    ASSERT_NO_FATAL_FAILURE(start());

    // Nothing was typed since the start, so the hint comes by itself.
    ASSERT_TRUE(waitFullyShown()) << "visible " << visible() << ", alpha "
                                  << layeredAlpha(keyboard);
    EXPECT_EQ(probe::programWindows(main), std::vector<HWND>{keyboard})
        << "the hint is the program's one visible window";

    DWORD typed = ::GetTickCount();
    ASSERT_TRUE(probe::typeText(main, L"a", 0));
    ASSERT_TRUE(waitHidden()) << "a typing key fades the hint out and hides it; alpha "
                              << layeredAlpha(keyboard);
    EXPECT_EQ(layeredAlpha(keyboard), 0) << "the fade-out ends fully transparent";

    ASSERT_TRUE(eventually([&] { return visible(); }, kPopUpTimeout))
        << "the hint comes back after the wait";
    DWORD waited = ::GetTickCount() - typed;
    // The wait starts when the program takes the press, after it was sent;
    // a few milliseconds of slack cover the tick count's granularity.
    EXPECT_GE(waited, kWaitInterval - 20) << "the hint came before the wait was over";
    ASSERT_TRUE(waitFullyShown()) << "the fade-in ends at the configured opacity; alpha "
                                  << layeredAlpha(keyboard);

    ASSERT_TRUE(press('B'));
    ASSERT_TRUE(waitHidden()) << "the next typing key hides it again";
    ASSERT_TRUE(release('B'));
}

TEST_F(KeyboardHintSystemTest, ModifierKeysNeitherHideNorPostponeTheHint) {
    ASSERT_NO_FATAL_FAILURE(start());
    ASSERT_TRUE(waitFullyShown());

    // Shift is not typing: the hint stays at full opacity while it is
    // pressed, held (auto-repeat) and released.
    ASSERT_TRUE(press(VK_SHIFT, true));
    bool stayed = true;
    for (int i = 0; i < 10 && stayed; ++i) {
        ASSERT_TRUE(probe::sendKeyRecord(main, probe::makeKeyRecord(VK_SHIFT, false, true, true)));
        // Longer than a whole fade-out, so a wrong fade would be seen.
        stayed = !eventually([&] { return !fullyShown(); }, 60);
    }
    ASSERT_TRUE(release(VK_SHIFT));
    EXPECT_TRUE(stayed) << "Shift hid the hint; visible " << visible() << ", alpha "
                        << layeredAlpha(keyboard);
    EXPECT_FALSE(eventually([&] { return !fullyShown(); }, 300));

    // The records were taken: a letter still hides the hint.
    DWORD typed = ::GetTickCount();
    ASSERT_TRUE(press('A'));
    ASSERT_TRUE(release('A'));
    ASSERT_TRUE(waitHidden());

    // Holding Ctrl through the whole wait does not keep the hint away.
    ASSERT_TRUE(press(VK_CONTROL));
    bool poppedUp = false;
    DWORD start = ::GetTickCount();
    while (!poppedUp && ::GetTickCount() - start < kPopUpTimeout) {
        ASSERT_TRUE(probe::sendKeyRecord(main, probe::makeKeyRecord(VK_CONTROL, false, true)));
        poppedUp = eventually([&] { return visible(); }, 50);
    }
    DWORD waited = ::GetTickCount() - typed;
    ASSERT_TRUE(release(VK_CONTROL));
    EXPECT_TRUE(poppedUp) << "held Ctrl postponed the hint";
    EXPECT_GE(waited, kWaitInterval - 20);
    EXPECT_TRUE(waitFullyShown());
}

} // namespace
} // namespace keywhirl::testing

// tests/system/app/AppSystemTest.cpp - the real program, started and driven from outside.
#include "KeywhirlProcess.h"

#include "Probe.h"
#include "localization/CXmlProfile.h"
#include "resource.h"
#include "support/TempFolder.h"
#include "support/WinePaths.h"

#include <gtest/gtest.h>

#include <shellapi.h>

namespace keywhirl::testing {
namespace {

std::wstring programFile() {
    return programOutputFolder() + L"\\Keywhirl.exe";
}

// Waits up to two seconds for the condition.
template <typename Condition> bool eventually(Condition condition, DWORD milliseconds = 2000) {
    DWORD start = ::GetTickCount();
    while (!condition()) {
        if (::GetTickCount() - start > milliseconds)
            return false;
        ::Sleep(25);
    }
    return true;
}

bool trayIconRegistered(HWND mainWindow) {
    NOTIFYICONDATAW data = {};
    data.cbSize = NOTIFYICONDATAW_V2_SIZE;
    data.hWnd = mainWindow;
    data.uID = 128;
    data.uFlags = NIF_TIP;
    ::lstrcpynW(data.szTip, L"Keywhirl", ARRAYSIZE(data.szTip));
    return ::Shell_NotifyIconW(NIM_MODIFY, &data) != FALSE;
}

std::wstring englishText(const std::wstring& section, const std::wstring& key) {
    CXmlProfile profile;
    profile.Load(programOutputFolder() + L"\\Localization\\ENU.xml", 0);
    return profile.GetString(section, key, L"");
}

class AppSystemTest : public ::testing::Test {
protected:
    void SetUp() override {
        removeKeywhirlSettings();
        deleteRunValue();
        writeSetting(L"l10nLanguageCode", L"ENU");
    }
    void TearDown() override {
        removeKeywhirlSettings();
        deleteRunValue();
    }
};

TEST_F(AppSystemTest, RunsHiddenWithATrayIconAndASecondStartOnlyShowsTheKeyboard) {
    KeywhirlProcess program(programFile());
    ASSERT_NE(program.mainWindow(), nullptr) << "no main window \"#32770\" \"Keywhirl\"";
    HWND main = program.mainWindow();
    EXPECT_FALSE(::IsWindowVisible(main));
    EXPECT_TRUE(trayIconRegistered(main));

    // The keyboard is visible after start by default; a second start must
    // leave it visible (hidden and shown again) and end by itself at once.
    std::vector<HWND> before = probe::programWindows(main);
    DWORD start = ::GetTickCount();
    KeywhirlProcess second(programFile(), 0);
    ASSERT_TRUE(second.started());
    EXPECT_TRUE(second.waitForExit(10000));
    EXPECT_EQ(second.exitCode(), 0u);
    EXPECT_LT(::GetTickCount() - start, 2900u) << "the second start must not initialise";
    int mainWindows = 0;
    for (HWND w = nullptr; (w = ::FindWindowExW(nullptr, w, L"#32770", L"Keywhirl")) != nullptr;)
        ++mainWindows;
    EXPECT_EQ(mainWindows, 1);
    EXPECT_FALSE(::IsWindowVisible(main)) << "the main window stays hidden throughout";
    EXPECT_EQ(probe::programWindows(main).size(), before.size());
}

TEST_F(AppSystemTest, KeyRecordsReachTheDispatcherAndFadeTheHintOut) {
    writeSetting(L"keyboardAutoPopupping", L"TRUE");
    writeSetting(L"keyboardWaitInterval", L"60000");
    writeSetting(L"showShortStatistics", L"FALSE");
    KeywhirlProcess program(programFile());
    ASSERT_NE(program.mainWindow(), nullptr);
    HWND main = program.mainWindow();
    ASSERT_TRUE(eventually([&] { return !probe::programWindows(main).empty(); }, 5000))
        << "the keyboard shows at start";

    ASSERT_TRUE(probe::typeText(main, L"a", 0));
    EXPECT_TRUE(eventually([&] { return probe::programWindows(main).empty(); }, 5000))
        << "a typing key fades the keyboard out and hides it";
}

TEST_F(AppSystemTest, MenuSwitchesChangeSettingsAndExitWritesTheFile) {
    KeywhirlProcess program(programFile());
    ASSERT_NE(program.mainWindow(), nullptr);
    HWND main = program.mainWindow();

    std::wstring runValue = readRunValue();
    EXPECT_EQ(runValue, L"\"" + programFile() + L"\"") << "autorun is on by default";
    ::SendMessageW(main, WM_COMMAND, ID_TRAY_AUTORUN, 0);
    EXPECT_EQ(readRunValue(), L"") << "switching autorun off deletes the value at once";
    ::SendMessageW(main, WM_COMMAND, ID_TRAY_AUTORUN, 0);
    EXPECT_EQ(readRunValue(), runValue);

    for (UINT command :
         {ID_TRAY_AUTOPOPUP, ID_TRAY_METRONOME, ID_TRAY_KEYPRESS_SOUND, ID_TRAY_SHOW_STATISTICS})
        ::SendMessageW(main, WM_COMMAND, command, 0);
    ::PostMessageW(main, WM_COMMAND, ID_TRAY_EXIT, 0);
    ASSERT_TRUE(program.waitForExit(15000)) << "exit ends the program";

    EXPECT_EQ(probe::readSetting(L"keyboardAutoPopupping"), L"TRUE");
    EXPECT_EQ(probe::readSetting(L"metronomeRunning"), L"TRUE");
    EXPECT_EQ(probe::readSetting(L"enableKeyPressSound"), L"TRUE");
    EXPECT_EQ(probe::readSetting(L"showShortStatistics"), L"FALSE");
    EXPECT_EQ(probe::readSetting(L"autoRun"), L"TRUE");
    EXPECT_EQ(probe::readSetting(L"keyboardWaitInterval"), L"3000");
    EXPECT_EQ(probe::readSetting(L"l10nLanguageCode"), L"ENU");

    wchar_t keys[4096] = {};
    DWORD length = ::GetPrivateProfileStringW(L"Settings", nullptr, L"", keys, 4096,
                                              probe::settingsFilePath().c_str());
    int count = 0;
    for (DWORD i = 0; i < length; i += static_cast<DWORD>(wcslen(keys + i)) + 1)
        ++count;
    EXPECT_EQ(count, 21) << "the twenty keys and showWeakKeys are written";
}

TEST_F(AppSystemTest, WithoutTheHookLibraryTheProgramSaysSoAndRunsOn) {
    TempFolder copy;
    ASSERT_TRUE(::CopyFileW(programFile().c_str(), copy.file(L"Keywhirl.exe").c_str(), FALSE));
    ::CreateDirectoryW(copy.file(L"Localization").c_str(), nullptr);
    ::CreateDirectoryW(copy.file(L"Keyboard").c_str(), nullptr);
    ASSERT_TRUE(::CopyFileW((programOutputFolder() + L"\\Keyboard\\Keywhirl.bmp").c_str(),
                            copy.file(L"Keyboard\\Keywhirl.bmp").c_str(), FALSE));
    ASSERT_TRUE(::CopyFileW((programOutputFolder() + L"\\Localization\\ENU.xml").c_str(),
                            copy.file(L"Localization\\ENU.xml").c_str(), FALSE));

    // The message box holds up the start, so the wait for it is kept short.
    KeywhirlProcess program(copy.file(L"Keywhirl.exe"), 6000);
    std::wstring text;
    HWND box = findMessageBox(program.processId(), 20000, text);
    ASSERT_NE(box, nullptr) << "no message box about the hook";
    EXPECT_EQ(text, englishText(L"Messages", L"Error.cannotSetHook"));
    EXPECT_FALSE(text.empty());
    ::PostMessageW(box, WM_COMMAND, IDOK, 0);

    EXPECT_TRUE(eventually([&] { return ::FindWindowW(L"#32770", L"Keywhirl") != nullptr; }));
    EXPECT_FALSE(program.waitForExit(1000)) << "the program runs on without key events";
}

} // namespace
} // namespace keywhirl::testing

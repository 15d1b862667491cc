// tests/system/app/AppSystemTest.cpp - the real program, started and driven from outside.
#include "KeywhirlProcess.h"

#include "Probe.h"
#include "localization/CXmlProfile.h"
#include "resource.h"
#include "support/TempFolder.h"
#include "support/Waiting.h"
#include "support/WinePaths.h"

#include <gtest/gtest.h>

#include <shellapi.h>

#include <cstdio>
#include <string>
#include <memory>
#include <vector>

namespace keywhirl::testing {
namespace {

// The keys of a freshly written Keywhirl.ini.
constexpr int kSettingsKeys = 22;

std::wstring programFile() {
    return programOutputFolder() + L"\\Keywhirl.exe";
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

TEST_F(AppSystemTest, OfCopiesStartedTogetherExactlyOneRunsOn) {
    std::vector<std::unique_ptr<KeywhirlProcess>> copies;
    for (int i = 0; i < 6; ++i)
        copies.push_back(std::make_unique<KeywhirlProcess>(programFile(), 0));
    auto running = [&] {
        int count = 0;
        for (const auto& copy : copies)
            count += copy->started() && !copy->waitForExit(0) ? 1 : 0;
        return count;
    };
    ASSERT_TRUE(eventually([&] { return running() == 1; }, 40000)) << running() << " running";
    ::Sleep(2000);
    EXPECT_EQ(running(), 1) << "and it stays so";
    HWND survivor = nullptr;
    int mainWindows = 0;
    for (HWND w = nullptr; (w = ::FindWindowExW(nullptr, w, L"#32770", L"Keywhirl")) != nullptr;) {
        if (!::IsWindowVisible(w)) {
            survivor = w;
            ++mainWindows;
        }
    }
    EXPECT_EQ(mainWindows, 1);
    for (const auto& copy : copies) {
        if (copy->waitForExit(0)) {
            EXPECT_EQ(copy->exitCode(), 0u) << "the others asked the first and ended";
        }
    }
    if (survivor)
        ::PostMessageW(survivor, WM_CLOSE, 0, 0);
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
    EXPECT_EQ(count, kSettingsKeys) << "every key of the settings is written";
}

int settingsKeyCount() {
    wchar_t keys[4096] = {};
    DWORD length = ::GetPrivateProfileStringW(L"Settings", nullptr, L"", keys, 4096,
                                              probe::settingsFilePath().c_str());
    int count = 0;
    for (DWORD i = 0; i < length; i += static_cast<DWORD>(wcslen(keys + i)) + 1)
        ++count;
    return count;
}

TEST_F(AppSystemTest, KilledWhileWritingItsSettingsTheFileStaysWhole) {
    {
        KeywhirlProcess first(programFile());
        ASSERT_NE(first.mainWindow(), nullptr);
        ::PostMessageW(first.mainWindow(), WM_COMMAND, ID_TRAY_EXIT, 0);
        ASSERT_TRUE(first.waitForExit(15000));
    }
    ASSERT_EQ(settingsKeyCount(), kSettingsKeys);
    const std::wstring temporary = probe::settingsFilePath() + L".tmp";
    // Killed at once, as soon as the temporary appears, and a little later
    // each round: somewhere in the middle of the save.
    for (DWORD delay : {0u, 1u, 3u, 6u, 12u, 25u}) {
        SCOPED_TRACE(delay);
        KeywhirlProcess program(programFile());
        ASSERT_NE(program.mainWindow(), nullptr);
        ::PostMessageW(program.mainWindow(), WM_COMMAND, ID_TRAY_EXIT, 0);
        DWORD start = ::GetTickCount();
        while (::GetFileAttributesW(temporary.c_str()) == INVALID_FILE_ATTRIBUTES &&
               !program.waitForExit(0) && ::GetTickCount() - start < 15000)
            ;
        if (delay)
            ::Sleep(delay);
        program.kill();
        EXPECT_EQ(settingsKeyCount(), kSettingsKeys) << "every setting, old or new";
        EXPECT_EQ(probe::readSetting(L"l10nLanguageCode"), L"ENU");
    }
    // The next start cleans up what a kill left and writes a whole file.
    KeywhirlProcess last(programFile());
    ASSERT_NE(last.mainWindow(), nullptr);
    ::PostMessageW(last.mainWindow(), WM_COMMAND, ID_TRAY_EXIT, 0);
    ASSERT_TRUE(last.waitForExit(15000));
    EXPECT_EQ(settingsKeyCount(), kSettingsKeys);
    EXPECT_EQ(::GetFileAttributesW(temporary.c_str()), INVALID_FILE_ATTRIBUTES);
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

    // A second start while the box is open reaches the main window behind
    // it, not the box, which has the same class and caption.
    KeywhirlProcess second(copy.file(L"Keywhirl.exe"), 0);
    ASSERT_TRUE(second.started());
    EXPECT_TRUE(second.waitForExit(20000));
    EXPECT_EQ(second.exitCode(), 0u);
    EXPECT_TRUE(::IsWindowVisible(box)) << "the box is left alone";
    ::PostMessageW(box, WM_COMMAND, IDOK, 0);

    EXPECT_TRUE(eventually([&] { return ::FindWindowW(L"#32770", L"Keywhirl") != nullptr; }));
    EXPECT_FALSE(program.waitForExit(1000)) << "the program runs on without key events";
}

std::string fileBytes(const std::wstring& path) {
    std::string bytes;
    FILE* file = _wfopen(path.c_str(), L"rb");
    if (!file)
        return bytes;
    char buffer[4096];
    size_t read;
    while ((read = std::fread(buffer, 1, sizeof buffer, file)) > 0)
        bytes.append(buffer, read);
    std::fclose(file);
    return bytes;
}

void writeRunValue(const std::wstring& value) {
    HKEY key;
    if (::RegCreateKeyExW(HKEY_CURRENT_USER, L"Software\\Microsoft\\Windows\\CurrentVersion\\Run",
                          0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr) != ERROR_SUCCESS)
        return;
    ::RegSetValueExW(key, L"Keywhirl", 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                     static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
    ::RegCloseKey(key);
}

// Which of the two windows is nearer the top of the screen's stacking order.
bool isAbove(HWND upper, HWND lower) {
    for (HWND w = ::GetTopWindow(nullptr); w; w = ::GetWindow(w, GW_HWNDNEXT)) {
        if (w == upper)
            return true;
        if (w == lower)
            return false;
    }
    return false;
}

HWND splashWindowOf(DWORD processId) {
    for (HWND w = nullptr; (w = ::FindWindowExW(nullptr, w, L"KeywhirlSplash", nullptr));) {
        DWORD owner = 0;
        ::GetWindowThreadProcessId(w, &owner);
        if (owner == processId && ::IsWindowVisible(w))
            return w;
    }
    return nullptr;
}

TEST_F(AppSystemTest, AStartWithoutTheKeyboardPictureSaysSoAndChangesNoSetting) {
    TempFolder copy;
    ASSERT_TRUE(::CopyFileW(programFile().c_str(), copy.file(L"Keywhirl.exe").c_str(), FALSE));
    ASSERT_TRUE(::CopyFileW((programOutputFolder() + L"\\Keywhirl.dll").c_str(),
                            copy.file(L"Keywhirl.dll").c_str(), FALSE));
    ::CreateDirectoryW(copy.file(L"Localization").c_str(), nullptr);
    ASSERT_TRUE(::CopyFileW((programOutputFolder() + L"\\Localization\\ENU.xml").c_str(),
                            copy.file(L"Localization\\ENU.xml").c_str(), FALSE));
    // Settings a user has made, and the Run value of the installed program.
    writeSetting(L"keyboardPosX", L"123");
    writeSetting(L"keyboardPosY", L"45");
    writeSetting(L"keyboardIsVisible", L"TRUE");
    writeSetting(L"autoRun", L"TRUE");
    const std::wstring installed = L"\"C:\\Program Files\\Keywhirl\\Keywhirl.exe\"";
    writeRunValue(installed);
    const std::string settingsBefore = fileBytes(probe::settingsFilePath());
    ASSERT_FALSE(settingsBefore.empty());

    KeywhirlProcess program(copy.file(L"Keywhirl.exe"), 0);
    ASSERT_TRUE(program.started());
    std::wstring text;
    HWND box = findMessageBox(program.processId(), 20000, text);
    ASSERT_NE(box, nullptr) << "no message about the missing picture";
    const std::wstring path = copy.file(L"Keyboard\\Keywhirl.bmp");
    EXPECT_EQ(text, englishText(L"Messages", L"Error.cannotFindKeyboardBackground") + L"\n" + path +
                        L"\n" + englishText(L"Messages", L"Error.keywhirlWillClose"));
    // A box without an icon flag shows no icon at all.
    bool hasIcon = false;
    for (HWND item = nullptr; (item = ::FindWindowExW(box, item, L"Static", nullptr));) {
        if ((::GetWindowLongW(item, GWL_STYLE) & SS_TYPEMASK) == SS_ICON &&
            ::IsWindowVisible(item) && ::SendMessageW(item, STM_GETICON, 0, 0) != 0)
            hasIcon = true;
    }
    EXPECT_TRUE(hasIcon) << "the message carries an icon";
    if (HWND splash = splashWindowOf(program.processId())) {
        EXPECT_TRUE(isAbove(box, splash)) << "the message stands above the splash";
    }
    ::PostMessageW(box, WM_COMMAND, IDOK, 0);
    ASSERT_TRUE(program.waitForExit(15000)) << "the program ends after the message";

    EXPECT_EQ(fileBytes(probe::settingsFilePath()), settingsBefore)
        << "the settings file is left byte for byte as it was";
    EXPECT_EQ(readRunValue(), installed) << "the Run value still names the installed program";
}

TEST_F(AppSystemTest, TheEndOfTheSessionSavesWhereTheKeyboardWas) {
    writeSetting(L"keyboardIsVisible", L"TRUE");
    writeSetting(L"keyboardAutoPopupping", L"FALSE");
    KeywhirlProcess program(programFile());
    ASSERT_NE(program.mainWindow(), nullptr);
    HWND main = program.mainWindow();
    HWND keyboard = nullptr;
    ASSERT_TRUE(eventually(
        [&] {
            for (HWND window : probe::programWindows(main))
                if (::GetDlgItem(window, 1006))
                    keyboard = window;
            return keyboard != nullptr;
        },
        5000))
        << "the keyboard shows at start";
    ::SetWindowPos(keyboard, nullptr, 210, 160, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);

    DWORD_PTR result = 0;
    ::SendMessageTimeoutW(main, WM_ENDSESSION, TRUE, 0, SMTO_NORMAL, 15000, &result);
    EXPECT_EQ(probe::readSetting(L"keyboardPosX"), L"210");
    EXPECT_EQ(probe::readSetting(L"keyboardPosY"), L"160");
    EXPECT_EQ(probe::readSetting(L"keyboardIsVisible"), L"TRUE");
}

} // namespace
} // namespace keywhirl::testing

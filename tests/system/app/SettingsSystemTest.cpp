// tests/system/app/SettingsSystemTest.cpp - the settings dialog of the running program.
#include "KeywhirlProcess.h"

#include "Probe.h"
#include "localization/CXmlProfile.h"
#include "resource.h"
#include "support/WinePaths.h"

#include <gtest/gtest.h>

namespace keywhirl::testing {
namespace {

// The program's visible dialog that has the given control; waits for it.
HWND waitForDialog(DWORD processId, int controlId) {
    for (int attempt = 0; attempt < 200; ++attempt) {
        HWND found = probe::findWindowOf(processId, [&](HWND window) {
            return ::IsWindowVisible(window) && ::GetDlgItem(window, controlId);
        });
        if (found)
            return found;
        ::Sleep(50);
    }
    return nullptr;
}

std::wstring languageText(const std::wstring& code, const std::wstring& section,
                          const std::wstring& key) {
    CXmlProfile profile;
    profile.Load(programOutputFolder() + L"\\Localization\\" + code + L".xml", 0);
    return profile.GetString(section, key, L"");
}

std::wstring controlText(HWND dialog, int id) {
    wchar_t text[256] = {};
    ::SendMessageW(::GetDlgItem(dialog, id), WM_GETTEXT, 256, reinterpret_cast<LPARAM>(text));
    return text;
}

HWND openSettings(const KeywhirlProcess& program) {
    ::PostMessageW(program.mainWindow(), WM_COMMAND, ID_TRAY_SETTINGS, 0);
    return waitForDialog(program.processId(), IDC_SETTINGS_WAIT_INTERVAL);
}

TEST(SettingsSystemTest, ChangesMadeInTheDialogReachTheFileAndTheNextStart) {
    removeKeywhirlSettings();
    deleteRunValue();
    writeSetting(L"l10nLanguageCode", L"ENU");
    writeSetting(L"autoRun", L"FALSE");
    std::wstring program = programOutputFolder() + L"\\Keywhirl.exe";
    std::wstring russianName = languageText(L"RUS", L"Locale", L"languageName");
    ASSERT_FALSE(russianName.empty());
    {
        KeywhirlProcess running(program);
        ASSERT_NE(running.mainWindow(), nullptr);
        HWND dialog = openSettings(running);
        ASSERT_NE(dialog, nullptr) << "the settings item opens the dialog";
        EXPECT_EQ(controlText(dialog, IDC_SETTINGS_WAIT_INTERVAL), L"3000");

        HWND wait = ::GetDlgItem(dialog, IDC_SETTINGS_WAIT_INTERVAL);
        ::SendMessageW(wait, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"1234"));
        HWND languages = ::GetDlgItem(dialog, IDC_SETTINGS_LANGUAGE);
        LRESULT count = ::SendMessageW(languages, CB_GETCOUNT, 0, 0);
        LRESULT russian = CB_ERR;
        for (LRESULT i = 0; i < count; ++i) {
            wchar_t name[128] = {};
            if (::SendMessageW(languages, CB_GETLBTEXTLEN, i, 0) < 128)
                ::SendMessageW(languages, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(name));
            if (russianName == name)
                russian = i;
        }
        ASSERT_NE(russian, CB_ERR) << "Russian is offered";
        ::SendMessageW(languages, CB_SETCURSEL, russian, 0);
        ::SendMessageW(::GetDlgItem(dialog, IDOK), BM_CLICK, 0, 0);
        for (int i = 0; i < 100 && ::IsWindow(dialog); ++i)
            ::Sleep(50);
        EXPECT_FALSE(::IsWindow(dialog)) << "OK closes the dialog";

        ::PostMessageW(running.mainWindow(), WM_COMMAND, ID_TRAY_EXIT, 0);
        ASSERT_TRUE(running.waitForExit(15000));
    }
    EXPECT_EQ(probe::readSetting(L"keyboardWaitInterval"), L"1234");
    EXPECT_EQ(probe::readSetting(L"l10nLanguageCode"), L"RUS");

    KeywhirlProcess again(program);
    ASSERT_NE(again.mainWindow(), nullptr);
    HWND dialog = openSettings(again);
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(controlText(dialog, IDC_SETTINGS_WAIT_INTERVAL), L"1234");
    std::wstring title;
    wchar_t caption[256] = {};
    ::GetWindowTextW(dialog, caption, 256);
    EXPECT_EQ(caption, languageText(L"RUS", L"SettingsDialog", L"title"))
        << "the next start speaks the chosen language";
    ::SendMessageW(::GetDlgItem(dialog, IDCANCEL), BM_CLICK, 0, 0);
    removeKeywhirlSettings();
}

} // namespace
} // namespace keywhirl::testing

// tests/window/dialogs/LookTest.cpp - both dialogs with the shipped language files, kept on the
// screen for a while so that a person can look at them (or take a screenshot). Run on request:
//   KEYWHIRL_LOOK_LANGUAGE=RUS window_dialogs --gtest_also_run_disabled_tests
//       --gtest_filter=*Look*Settings*
// KEYWHIRL_LOOK_SECONDS sets how long each stays (5 by default); KEYWHIRL_LOOK_LINK=hover shows
// the about box's link under the mouse, =visited after it was followed and left.
#include "about/AboutDlg.h"
#include "about/CHyperLink.h"
#include "settings/SettingsDlg.h"

#include "DialogTestSupport.h"
#include "localization/LocalizationManager.h"
#include "settings/Paths.h"
#include "settings/Settings.h"
#include "support/WinePaths.h"

#include "resource.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

namespace keywhirl {
namespace {

class DialogLook : public ::testing::Test {
protected:
    DialogLook() {
        // The shipped languages beside the built program; the settings stay
        // in the temporary folder.
        setFolderOverrides(testing::programOutputFolder(), settings.folder().path());
        const char* language = std::getenv("KEYWHIRL_LOOK_LANGUAGE");
        const std::string code = language != nullptr ? language : "ENU";
        Settings::instance()->l10nLanguageCode = std::wstring(code.begin(), code.end());
        LocalizationManager::reload();
    }
    ~DialogLook() override { LocalizationManager::destroyInstance(); }

    static void keepShowing(HWND window) {
        ::ShowWindow(window, SW_SHOW);
        const char* seconds = std::getenv("KEYWHIRL_LOOK_SECONDS");
        const DWORD milliseconds = 1000 * (seconds != nullptr ? std::atoi(seconds) : 5);
        testing::pumpUntil([] { return false; }, milliseconds);
    }

    testing::TestSettings settings;
};

TEST_F(DialogLook, DISABLED_Settings) {
    SettingsDlg dialog(nullptr, nullptr);
    ASSERT_TRUE(dialog.createModeless(IDD_SETTINGS_DIALOG, nullptr));
    keepShowing(dialog);
}

// Follows nothing: a look must not start a browser.
bool openNothing(const std::wstring&) {
    return true;
}

TEST_F(DialogLook, DISABLED_About) {
    AboutDlg dialog;
    ASSERT_TRUE(dialog.createModeless(IDD_ABOUT_DIALOG, nullptr));
    CHyperLink::SetOpener(&openNothing);
    const char* linkState = std::getenv("KEYWHIRL_LOOK_LINK");
    const std::string state = linkState != nullptr ? linkState : "";
    const HWND link = ::GetDlgItem(dialog, IDC_ABOUT_LINK);
    ::ShowWindow(dialog, SW_SHOW);
    testing::pumpMessages();
    if (state == "hover" || state == "visited")
        ::SendMessageW(link, WM_MOUSEMOVE, 0, MAKELPARAM(2, 2));
    if (state == "visited") {
        ::SendMessageW(link, WM_LBUTTONUP, 0, MAKELPARAM(2, 2));
        ::SendMessageW(link, WM_MOUSEMOVE, 0, MAKELPARAM(-5, -5));
    }
    keepShowing(dialog);
    CHyperLink::SetOpener(nullptr);
}

} // namespace
} // namespace keywhirl

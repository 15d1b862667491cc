// tests/window/app/TrayMenuTest.cpp - the tray menu as the user sees it.
#include "app/TrayMenu.h"

#include "input/QuietState.h"
#include "localization/LocalizationManager.h"
#include "resource.h"
#include "settings/Settings.h"
#include "support/TestSettings.h"
#include "support/WinePaths.h"

#include <gtest/gtest.h>

#include <fstream>

namespace keywhirl {
namespace {

const UINT kCommands[] = {ID_TRAY_AUTOPOPUP,
                          ID_TRAY_METRONOME,
                          ID_TRAY_KEYPRESS_SOUND,
                          ID_TRAY_SHOW_STATISTICS,
                          ID_TRAY_AUTORUN,
                          ID_TRAY_SETTINGS,
                          ID_TRAY_HELP,
                          ID_TRAY_ABOUT,
                          ID_TRAY_EXIT,
                          ID_TRAY_WEAK_KEYS,
                          ID_TRAY_RESET_WEAK_KEYS,
                          ID_TRAY_HISTORY,
                          ID_TRAY_PAUSE};

std::wstring itemText(HMENU menu, UINT command) {
    wchar_t text[256] = {};
    ::GetMenuStringW(menu, command, text, 256, MF_BYCOMMAND);
    return text;
}

bool isChecked(HMENU menu, UINT command) {
    return (::GetMenuState(menu, command, MF_BYCOMMAND) & MF_CHECKED) != 0;
}

HBITMAP checkedBitmap(HMENU menu, UINT command) {
    MENUITEMINFOW info = {};
    info.cbSize = sizeof info;
    info.fMask = MIIM_CHECKMARKS;
    ::GetMenuItemInfoW(menu, command, FALSE, &info);
    return info.hbmpChecked;
}

class TrayMenuTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::wstring languages = settings.folder().file(L"Localization");
        ::CreateDirectoryW(languages.c_str(), nullptr);
        for (const wchar_t* code : {L"ENU", L"RUS"})
            ::CopyFileW(
                (testing::programOutputFolder() + L"\\Localization\\" + code + L".xml").c_str(),
                (languages + L"\\" + code + L".xml").c_str(), FALSE);
        useLanguage(L"ENU");
    }
    void TearDown() override { LocalizationManager::destroyInstance(); }

    void useLanguage(const std::wstring& code) {
        Settings::instance()->l10nLanguageCode = code;
        LocalizationManager::reload();
    }

    testing::TestSettings settings;
};

TEST_F(TrayMenuTest, ItemsCarryTheTextsOfTheInterfaceLanguage) {
    for (const wchar_t* code : {L"ENU", L"RUS"}) {
        useLanguage(code);
        ResourceBundle texts = LocalizationManager::instance()->getBundle(L"MainMenu");
        HMENU menu = buildTrayMenu();
        ASSERT_NE(menu, nullptr);
        EXPECT_EQ(itemText(menu, ID_TRAY_AUTOPOPUP), texts.getString(L"autoPopup")) << code;
        EXPECT_EQ(itemText(menu, ID_TRAY_METRONOME), texts.getString(L"metronome")) << code;
        EXPECT_EQ(itemText(menu, ID_TRAY_KEYPRESS_SOUND), texts.getString(L"keypressSound"));
        EXPECT_EQ(itemText(menu, ID_TRAY_SHOW_STATISTICS), texts.getString(L"showShortStatistics"));
        EXPECT_EQ(itemText(menu, ID_TRAY_AUTORUN), texts.getString(L"autorun"));
        EXPECT_EQ(itemText(menu, ID_TRAY_SETTINGS), texts.getString(L"settings"));
        EXPECT_EQ(itemText(menu, ID_TRAY_HISTORY), texts.getString(L"history"));
        EXPECT_EQ(itemText(menu, ID_TRAY_HELP), texts.getString(L"help"));
        EXPECT_EQ(itemText(menu, ID_TRAY_ABOUT), texts.getString(L"aboutKeywhirl"));
        EXPECT_EQ(itemText(menu, ID_TRAY_EXIT), texts.getString(L"exit"));
        EXPECT_EQ(itemText(menu, ID_TRAY_WEAK_KEYS), texts.getString(L"weakKeys"));
        EXPECT_EQ(itemText(menu, ID_TRAY_RESET_WEAK_KEYS), texts.getString(L"resetWeakKeys"));
        EXPECT_FALSE(itemText(menu, ID_TRAY_RESET_WEAK_KEYS).empty()) << code;
        EXPECT_FALSE(itemText(menu, ID_TRAY_EXIT).empty());
    }
    useLanguage(L"ENU");
    std::wstring english = itemText(buildTrayMenu(), ID_TRAY_EXIT);
    useLanguage(L"RUS");
    EXPECT_NE(itemText(buildTrayMenu(), ID_TRAY_EXIT), english);
}

TEST_F(TrayMenuTest, ALanguageWithoutTheMenuSectionLeavesEveryItemEmpty) {
    std::wstring file = settings.folder().file(L"Localization\\XXX.xml");
    std::ofstream(file.c_str()) << "<?xml version=\"1.0\"?>\n<Profile>\n<Section Name=\"Locale\">"
                                   "<Key Name=\"languageName\" Value=\"Test\"/></Section>\n"
                                   "</Profile>\n";
    useLanguage(L"XXX");
    HMENU menu = buildTrayMenu();
    ASSERT_NE(menu, nullptr);
    for (UINT command : kCommands)
        EXPECT_EQ(itemText(menu, command), L"")
            << "the template's own texts never show: " << command;
}

TEST_F(TrayMenuTest, CheckMarksFollowTheSettingsAtEachShowing) {
    Settings* current = Settings::instance();
    current->keyboardAutoPopupping = true;
    current->metronomeRunning = false;
    current->enableKeyPressSound = true;
    current->showShortStatistics = false;
    current->autoRun = true;
    HMENU menu = buildTrayMenu();
    EXPECT_TRUE(isChecked(menu, ID_TRAY_AUTOPOPUP));
    EXPECT_FALSE(isChecked(menu, ID_TRAY_METRONOME));
    EXPECT_TRUE(isChecked(menu, ID_TRAY_KEYPRESS_SOUND));
    EXPECT_FALSE(isChecked(menu, ID_TRAY_SHOW_STATISTICS));
    EXPECT_TRUE(isChecked(menu, ID_TRAY_AUTORUN));

    EXPECT_FALSE(isChecked(menu, ID_TRAY_WEAK_KEYS));

    current->keyboardAutoPopupping = false;
    current->showShortStatistics = true;
    current->showWeakKeys = true;
    menu = buildTrayMenu();
    EXPECT_FALSE(isChecked(menu, ID_TRAY_AUTOPOPUP));
    EXPECT_TRUE(isChecked(menu, ID_TRAY_SHOW_STATISTICS));
    EXPECT_TRUE(isChecked(menu, ID_TRAY_WEAK_KEYS));
    EXPECT_FALSE(isChecked(menu, ID_TRAY_RESET_WEAK_KEYS));
}

TEST_F(TrayMenuTest, TheIgnoreItemNamesTheLastProgramAndThePauseItemItsState) {
    const struct {
        const wchar_t* program;
        std::vector<std::wstring> ignored;
        bool paused;
        const wchar_t* text; // nullptr: the item is left out
        bool ignoreChecked;
    } rows[] = {
        {L"", {}, false, nullptr, false},
        {L"game.exe", {L"other.exe", L"GAME.EXE"}, true, L"&Ignore game.exe", true},
        {L"R&D tool.exe", {}, false, L"&Ignore R&&D tool.exe", false},
    };
    for (const auto& row : rows) {
        setIgnorableProgram(row.program);
        Settings::instance()->ignoredPrograms = row.ignored;
        QuietState::current().setPaused(row.paused);
        HMENU menu = buildTrayMenu();
        const bool present = ::GetMenuState(menu, ID_TRAY_IGNORE_PROGRAM, MF_BYCOMMAND) != UINT(-1);
        EXPECT_EQ(present, row.text != nullptr) << row.program;
        if (row.text) {
            // GetMenuString gives the text as it was set, with the doubled "&".
            EXPECT_EQ(itemText(menu, ID_TRAY_IGNORE_PROGRAM), row.text);
            EXPECT_EQ(isChecked(menu, ID_TRAY_IGNORE_PROGRAM), row.ignoreChecked) << row.program;
        }
        EXPECT_EQ(itemText(menu, ID_TRAY_PAUSE), L"&Pause Keywhirl");
        EXPECT_EQ(isChecked(menu, ID_TRAY_PAUSE), row.paused) << row.program;
    }
    setIgnorableProgram(L"");
    QuietState::current().setPaused(false);
}

TEST_F(TrayMenuTest, PicturesAreMadeOnceAndSwitchesShowOneOnlyWhenChecked) {
    HMENU first = buildTrayMenu();
    HBITMAP check = checkedBitmap(first, ID_TRAY_AUTOPOPUP);
    HBITMAP exit = checkedBitmap(first, ID_TRAY_EXIT);
    ASSERT_NE(check, nullptr);
    ASSERT_NE(exit, nullptr);
    EXPECT_NE(check, exit);

    HMENU second = buildTrayMenu();
    EXPECT_EQ(checkedBitmap(second, ID_TRAY_AUTOPOPUP), check) << "converted only once";
    EXPECT_EQ(checkedBitmap(second, ID_TRAY_EXIT), exit);
    EXPECT_FALSE(::IsMenu(first)) << "the previous menu is destroyed";

    MENUITEMINFOW info = {};
    info.cbSize = sizeof info;
    info.fMask = MIIM_CHECKMARKS;
    ::GetMenuItemInfoW(second, ID_TRAY_METRONOME, FALSE, &info);
    EXPECT_EQ(info.hbmpUnchecked, nullptr);
    ::GetMenuItemInfoW(second, ID_TRAY_SETTINGS, FALSE, &info);
    EXPECT_EQ(info.hbmpUnchecked, info.hbmpChecked) << "the same picture in both states";

    BITMAP picture = {};
    ::GetObjectW(check, sizeof picture, &picture);
    EXPECT_EQ(picture.bmWidth, 13);
    EXPECT_EQ(picture.bmHeight, 13);
}

// Where the open menu stands, found from a timer of the menu's own loop,
// which then closes it.
RECT openMenuRect;
int menuLooks;
void CALLBACK measureAndCloseMenu(HWND, UINT, UINT_PTR timer, DWORD) {
    HWND menu = ::FindWindowW(L"#32768", nullptr);
    if ((menu && ::IsWindowVisible(menu)) || ++menuLooks > 100) {
        if (menu)
            ::GetWindowRect(menu, &openMenuRect);
        ::KillTimer(nullptr, timer);
        ::EndMenu();
    }
}

// From the tray the menu opens left of the cursor; from a window of ours
// that was right-clicked, at the cursor.
TEST_F(TrayMenuTest, OpensLeftOfTheCursorFromTheTrayAndAtItFromAWindow) {
    HWND main = ::CreateWindowExW(0, L"STATIC", L"main", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                  ::GetModuleHandleW(nullptr), nullptr);
    HWND clicked =
        ::CreateWindowExW(WS_EX_TOOLWINDOW, L"STATIC", L"keyboard", WS_POPUP | WS_VISIBLE, 300, 300,
                          100, 100, nullptr, nullptr, ::GetModuleHandleW(nullptr), nullptr);
    ::SetCursorPos(640, 500);
    POINT cursor;
    ::GetCursorPos(&cursor);
    for (HWND from : {HWND(nullptr), clicked}) {
        SCOPED_TRACE(from ? "from a window" : "from the tray");
        openMenuRect = RECT{};
        menuLooks = 0;
        ::SetTimer(nullptr, 0, 20, &measureAndCloseMenu);
        showTrayMenu(main, from);
        ASSERT_LT(openMenuRect.left, openMenuRect.right) << "the menu was seen";
        EXPECT_EQ(openMenuRect.top, cursor.y);
        if (from)
            EXPECT_EQ(openMenuRect.left, cursor.x);
        else
            EXPECT_EQ(openMenuRect.right, cursor.x);
    }
    ::DestroyWindow(clicked);
    ::DestroyWindow(main);
}

} // namespace
} // namespace keywhirl

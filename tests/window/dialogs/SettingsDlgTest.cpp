// tests/window/dialogs/SettingsDlgTest.cpp - the settings dialog against the settings, the
// language manager and two windows that stand in for the keyboard and the statistics window.
#include "settings/SettingsDlg.h"

#include "DialogTestSupport.h"
#include "localization/LocalizationManager.h"
#include "settings/Settings.h"
#include "ui/Dialog.h"

#include "resource.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace keywhirl {
namespace {

using testing::clickButton;
using testing::itemText;
using testing::OpacityTarget;

constexpr UINT kKeyboardOpacity = WM_USER + 3;
constexpr UINT kStatisticsOpacity = WM_USER + 4;

TEST(SettingsDlgArithmetic, FrequencyAndIntervalConvertByIntegerDivision) {
    EXPECT_EQ(120u, SettingsDlg::frequencyFromInterval(500));
    EXPECT_EQ(8571u, SettingsDlg::intervalFromFrequency(7));
    EXPECT_EQ(500u, SettingsDlg::intervalFromFrequency(120));
    EXPECT_EQ(1u, SettingsDlg::intervalFromFrequency(60000));
    EXPECT_EQ(60000u, SettingsDlg::intervalFromFrequency(1));
    // An interval longer than a minute is below one beat per minute.
    EXPECT_EQ(0u, SettingsDlg::frequencyFromInterval(60001));
    // A stored 0 would divide by zero: it counts as the default 500.
    EXPECT_EQ(120u, SettingsDlg::frequencyFromInterval(0));
}

TEST(SettingsDlgArithmetic, OnlyWholeNumbersFromOneToTheLimitAreTaken) {
    const struct {
        const wchar_t* text;
        std::optional<unsigned> expected;
    } cases[] = {
        {L"7", 7u},
        {L"007", 7u},
        {L" 42 ", 42u},
        {L"60000", 60000u},
        {L"60001", std::nullopt},
        {L"0", std::nullopt},
        {L"000", std::nullopt},
        {L"", std::nullopt},
        {L"   ", std::nullopt},
        {L"-5", std::nullopt},
        {L"+5", std::nullopt},
        {L"1 2", std::nullopt},
        {L"12a", std::nullopt},
        {L"4294967297", std::nullopt},
        {L"99999999999999999999999", std::nullopt},
    };
    for (const auto& check : cases) {
        SCOPED_TRACE(check.text);
        EXPECT_EQ(check.expected, SettingsDlg::parsePositive(check.text, 60000));
    }
    EXPECT_EQ(std::optional<unsigned>(0x7FFFFFFFu),
              SettingsDlg::parsePositive(L"2147483647", SettingsDlg::kMaxWaitInterval));
    EXPECT_EQ(std::nullopt,
              SettingsDlg::parsePositive(L"2147483648", SettingsDlg::kMaxWaitInterval));
}

class SettingsDlgTest : public ::testing::Test {
protected:
    SettingsDlgTest() {
        languages.add(L"AAA", testing::dialogTexts(L"AAA", L"Zebra"));
        languages.add(L"ZZZ", testing::dialogTexts(L"ZZZ", L"Apple"));
        languages.start(L"AAA");
        settings = Settings::instance();
    }

    // A dialog with the stand-in windows, or with the ones given.
    std::unique_ptr<SettingsDlg> open(HWND keyboardWindow, HWND statisticsWindow) {
        auto dialog = std::make_unique<SettingsDlg>(keyboardWindow, statisticsWindow);
        EXPECT_TRUE(dialog->createModeless(IDD_SETTINGS_DIALOG, nullptr));
        return dialog;
    }
    std::unique_ptr<SettingsDlg> open() { return open(keyboard.handle(), statistics.handle()); }

    static HWND item(const SettingsDlg& dialog, int id) { return ::GetDlgItem(dialog, id); }

    static void setItem(const SettingsDlg& dialog, int id, const std::wstring& text) {
        ::SetDlgItemTextW(dialog, id, text.c_str());
    }

    // Moves a slider as its keys do: the trackbar tells the dialog itself.
    static void pressOnSlider(const SettingsDlg& dialog, int id, WPARAM key) {
        const HWND slider = item(dialog, id);
        ::SendMessageW(slider, WM_KEYDOWN, key, 1);
        ::SendMessageW(slider, WM_KEYUP, key, 0xC0000001);
    }

    static int sliderPosition(const SettingsDlg& dialog, int id) {
        return static_cast<int>(::SendMessageW(item(dialog, id), TBM_GETPOS, 0, 0));
    }

    // Clicks OK while a helper answers the message box that may come; the
    // message box's texts, empty when none came.
    static std::vector<std::wstring> pressOkAndAnswer(const SettingsDlg& dialog) {
        testing::MessageBoxAnswerer answerer(dialog);
        clickButton(dialog, IDOK);
        answerer.finish();
        return answerer.texts();
    }

    testing::LanguageSetup languages;
    Settings* settings = nullptr;
    OpacityTarget keyboard;
    OpacityTarget statistics;
};

TEST_F(SettingsDlgTest, OpensWithTheTextsOfTheCurrentLanguage) {
    auto dialog = open();
    EXPECT_EQ(L"AAA title", testing::windowText(*dialog));
    const struct {
        int id;
        const wchar_t* text;
    } texts[] = {
        {IDOK, L"AAA save"},
        {IDCANCEL, L"AAA cancel"},
        {IDC_SETTINGS_OPAQUE_ON_HOVER, L"AAA setOpaqueStatisticsOnHover"},
        {IDC_SETTINGS_WAIT_INTERVAL_LABEL, L"AAA keyboardAutoPopupInterval"},
        {IDC_SETTINGS_METRONOME_FREQUENCY_LABEL, L"AAA metronomeFrequency"},
        {IDC_SETTINGS_KEYBOARD_OPACITY_LABEL, L"AAA keyboardOpacity"},
        {IDC_SETTINGS_STATISTICS_OPACITY_LABEL, L"AAA statisticsOpacity"},
        {IDC_SETTINGS_LANGUAGE_LABEL, L"AAA interfaceLanguage"},
        {IDC_SETTINGS_SPEED_UNIT_LABEL, L"AAA speedUnit"},
        {IDC_SETTINGS_FOLLOWS_TYPING, L"AAA keyboardFollowsTyping"},
    };
    for (const auto& text : texts)
        EXPECT_EQ(text.text, itemText(*dialog, text.id)) << "control " << text.id;
}

TEST_F(SettingsDlgTest, ShowsTheStoredValues) {
    settings->keyboardWaitInterval = 2500;
    settings->metronomeInterval = 500;
    settings->keyboardOpacity = 37;
    settings->statisticsOpacity = 254;
    settings->setOpaqueStatisticsOnHover = false;
    settings->keyboardFollowsTyping = true;
    auto dialog = open();
    EXPECT_EQ(BST_CHECKED, ::IsDlgButtonChecked(*dialog, IDC_SETTINGS_FOLLOWS_TYPING));
    EXPECT_EQ(L"2500", itemText(*dialog, IDC_SETTINGS_WAIT_INTERVAL));
    EXPECT_EQ(L"120", itemText(*dialog, IDC_SETTINGS_METRONOME_FREQUENCY));
    EXPECT_EQ(37, sliderPosition(*dialog, IDC_SETTINGS_KEYBOARD_OPACITY));
    EXPECT_EQ(254, sliderPosition(*dialog, IDC_SETTINGS_STATISTICS_OPACITY));
    for (int id : {IDC_SETTINGS_KEYBOARD_OPACITY, IDC_SETTINGS_STATISTICS_OPACITY}) {
        EXPECT_EQ(Settings::MinimumOpacity,
                  ::SendMessageW(item(*dialog, id), TBM_GETRANGEMIN, 0, 0));
        EXPECT_EQ(255, ::SendMessageW(item(*dialog, id), TBM_GETRANGEMAX, 0, 0));
    }
    EXPECT_EQ(BST_UNCHECKED, ::IsDlgButtonChecked(*dialog, IDC_SETTINGS_OPAQUE_ON_HOVER));
    // Opening sends nothing.
    EXPECT_TRUE(keyboard.received().empty());
    EXPECT_TRUE(statistics.received().empty());
}

TEST_F(SettingsDlgTest, IsAsWideAsTheBannerAsHighAsItsTemplateAndCentred) {
    ui::Dialog plain;
    ASSERT_TRUE(plain.createModeless(IDD_SETTINGS_DIALOG, nullptr));
    RECT templateRect{};
    ::GetWindowRect(plain, &templateRect);

    auto dialog = open();
    RECT rect{};
    ::GetWindowRect(*dialog, &rect);
    BITMAP banner{};
    HBITMAP bitmap = static_cast<HBITMAP>(::LoadImageW(
        ::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDB_SETTINGS_BANNER), IMAGE_BITMAP, 0, 0, 0));
    ASSERT_NE(nullptr, bitmap);
    ::GetObjectW(bitmap, sizeof(banner), &banner);
    ::DeleteObject(bitmap);

    EXPECT_EQ(banner.bmWidth + 2 * ::GetSystemMetrics(SM_CXDLGFRAME), rect.right - rect.left);
    EXPECT_EQ(templateRect.bottom - templateRect.top, rect.bottom - rect.top);
    RECT workArea{};
    ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &workArea, 0);
    EXPECT_NEAR((workArea.left + workArea.right) / 2, (rect.left + rect.right) / 2, 1);
    EXPECT_NEAR((workArea.top + workArea.bottom) / 2, (rect.top + rect.bottom) / 2, 1);
}

TEST_F(SettingsDlgTest, PaintsTheBannerAtTheTopLeftOfItsClientArea) {
    auto dialog = open();
    ::ShowWindow(*dialog, SW_SHOWNOACTIVATE);
    ::UpdateWindow(*dialog);
    testing::pumpMessages();
    POINT origin{0, 0};
    ::ClientToScreen(*dialog, &origin);
    for (POINT point : {POINT{5, 5}, POINT{30, 20}, POINT{200, 30}, POINT{340, 40}}) {
        EXPECT_EQ(testing::bitmapPixel(IDB_SETTINGS_BANNER, point.x, point.y),
                  testing::screenPixel(origin.x + point.x, origin.y + point.y))
            << point.x << "," << point.y;
    }
}

TEST_F(SettingsDlgTest, OkStoresTheValuesAndSendsBothOpacities) {
    settings->metronomeInterval = 500;
    settings->setOpaqueStatisticsOnHover = true;
    auto dialog = open();
    setItem(*dialog, IDC_SETTINGS_WAIT_INTERVAL, L"4000");
    setItem(*dialog, IDC_SETTINGS_METRONOME_FREQUENCY, L"7");
    pressOnSlider(*dialog, IDC_SETTINGS_KEYBOARD_OPACITY, VK_END);
    ::CheckDlgButton(*dialog, IDC_SETTINGS_OPAQUE_ON_HOVER, BST_UNCHECKED);
    settings->keyboardFollowsTyping = true;
    ::CheckDlgButton(*dialog, IDC_SETTINGS_FOLLOWS_TYPING, BST_UNCHECKED);

    EXPECT_TRUE(pressOkAndAnswer(*dialog).empty());
    EXPECT_FALSE(settings->keyboardFollowsTyping.load());
    EXPECT_FALSE(::IsWindow(*dialog));
    EXPECT_EQ(4000u, settings->keyboardWaitInterval.load());
    EXPECT_EQ(8571u, settings->metronomeInterval.load());
    EXPECT_EQ(255, settings->keyboardOpacity.load());
    EXPECT_EQ(200, settings->statisticsOpacity.load());
    EXPECT_FALSE(settings->setOpaqueStatisticsOnHover.load());
    ASSERT_FALSE(keyboard.values(kKeyboardOpacity).empty());
    EXPECT_EQ(255u, keyboard.values(kKeyboardOpacity).back());
    EXPECT_EQ(std::vector<WPARAM>{200}, statistics.values(kStatisticsOpacity));
    for (const OpacityTarget* target : {&keyboard, &statistics}) {
        for (const auto& received : target->received())
            EXPECT_EQ(0, received.lParam);
    }
    // Each window hears only of its own opacity.
    EXPECT_TRUE(keyboard.values(kStatisticsOpacity).empty());
    EXPECT_TRUE(statistics.values(kKeyboardOpacity).empty());
}

TEST_F(SettingsDlgTest, TheSpeedUnitIsChosenFromItsListAndAnUnknownOneShowsAsSymbols) {
    const struct {
        unsigned stored;
        int shown;
        int chosen;
        unsigned kept;
    } cases[] = {{0, 0, 1, 1}, {1, 1, 0, 0}, {7, 0, 1, 1}, {7, 0, -1, 7}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.stored);
        settings->speedUnit = c.stored;
        auto dialog = open();
        const HWND list = item(*dialog, IDC_SETTINGS_SPEED_UNIT);
        ASSERT_EQ(2, ::SendMessageW(list, CB_GETCOUNT, 0, 0));
        EXPECT_EQ(c.shown, ::SendMessageW(list, CB_GETCURSEL, 0, 0));
        if (c.chosen >= 0) {
            ::SendMessageW(list, CB_SETCURSEL, WPARAM(c.chosen), 0);
            EXPECT_TRUE(pressOkAndAnswer(*dialog).empty());
        } else {
            clickButton(*dialog, IDCANCEL);
        }
        EXPECT_EQ(c.kept, settings->speedUnit.load());
    }
}

TEST_F(SettingsDlgTest, IgnoredProgramsAreRemovedOneByOneAndOnlyOkStoresTheList) {
    const struct {
        std::vector<int> removals; // the positions chosen, one removal each
        bool ok;
        std::vector<std::wstring> stored;
    } rows[] = {
        {{1}, true, {L"a.exe", L"c.exe"}},
        {{2, 1, 0}, true, {}},
        {{0, 0}, false, {L"a.exe", L"b.exe", L"c.exe"}},
    };
    for (const auto& row : rows) {
        settings->ignoredPrograms = {L"a.exe", L"b.exe", L"c.exe"};
        auto dialog = open();
        const HWND list = item(*dialog, IDC_SETTINGS_IGNORED_LIST);
        const HWND remove = item(*dialog, IDC_SETTINGS_IGNORED_REMOVE);
        EXPECT_FALSE(::IsWindowEnabled(remove)) << "nothing chosen yet";
        for (int position : row.removals) {
            ::SendMessageW(list, LB_SETCURSEL, position, 0);
            ::SendMessageW(*dialog, WM_COMMAND,
                           MAKEWPARAM(IDC_SETTINGS_IGNORED_LIST, LBN_SELCHANGE),
                           reinterpret_cast<LPARAM>(list));
            ASSERT_TRUE(::IsWindowEnabled(remove));
            clickButton(*dialog, IDC_SETTINGS_IGNORED_REMOVE);
        }
        const LRESULT left = ::SendMessageW(list, LB_GETCOUNT, 0, 0);
        EXPECT_EQ(left, 3 - static_cast<LRESULT>(row.removals.size()));
        EXPECT_EQ(::IsWindowEnabled(remove) != FALSE, left > 0) << "the next entry is chosen";
        if (row.ok)
            EXPECT_TRUE(pressOkAndAnswer(*dialog).empty());
        else
            clickButton(*dialog, IDCANCEL);
        EXPECT_EQ(settings->ignoredPrograms, row.stored);
    }
}

TEST_F(SettingsDlgTest, TheLimitsOfTheFrequencyAreTaken) {
    for (const auto& [frequency, interval] :
         {std::pair<const wchar_t*, unsigned>{L"60000", 1}, {L"1", 60000}}) {
        auto dialog = open();
        setItem(*dialog, IDC_SETTINGS_METRONOME_FREQUENCY, frequency);
        EXPECT_TRUE(pressOkAndAnswer(*dialog).empty()) << frequency;
        EXPECT_FALSE(::IsWindow(*dialog));
        EXPECT_EQ(interval, settings->metronomeInterval.load());
    }
}

TEST_F(SettingsDlgTest, ANumberThatIsNotPositiveOrTooLargeIsRefusedAndTheDialogStays) {
    settings->keyboardWaitInterval = 3000;
    settings->metronomeInterval = 500;
    const struct {
        const wchar_t* wait;
        const wchar_t* frequency;
    } cases[] = {
        {L"3000", L"0"}, {L"3000", L""},  {L"3000", L"60001"},      {L"0", L"120"},
        {L"", L"120"},   {L"x1", L"120"}, {L"99999999999", L"120"}, {L"3000", L"-3"},
    };
    auto dialog = open();
    for (const auto& check : cases) {
        SCOPED_TRACE(std::wstring(check.wait) + L" / " + check.frequency);
        setItem(*dialog, IDC_SETTINGS_WAIT_INTERVAL, check.wait);
        setItem(*dialog, IDC_SETTINGS_METRONOME_FREQUENCY, check.frequency);
        EXPECT_EQ(std::vector<std::wstring>{L"AAA Error.enterPositiveNumber"},
                  pressOkAndAnswer(*dialog));
        ASSERT_TRUE(::IsWindow(*dialog));
        EXPECT_EQ(check.wait, itemText(*dialog, IDC_SETTINGS_WAIT_INTERVAL));
        EXPECT_EQ(check.frequency, itemText(*dialog, IDC_SETTINGS_METRONOME_FREQUENCY));
        EXPECT_EQ(3000u, settings->keyboardWaitInterval.load());
        EXPECT_EQ(500u, settings->metronomeInterval.load());
    }
    EXPECT_TRUE(keyboard.received().empty());
    EXPECT_TRUE(statistics.received().empty());
}

TEST_F(SettingsDlgTest, TheMessageBoxIsNotTakenForTheMainWindow) {
    auto dialog = open();
    setItem(*dialog, IDC_SETTINGS_METRONOME_FREQUENCY, L"0");
    testing::MessageBoxAnswerer answerer(*dialog);
    clickButton(*dialog, IDOK);
    ASSERT_TRUE(answerer.finish());
    // A second start finds the main window by the class of dialogs and the
    // caption "Keywhirl".
    EXPECT_NE(L"Keywhirl", answerer.caption());
    EXPECT_EQ(L"AAA title", answerer.caption());
}

TEST_F(SettingsDlgTest, SlidersPreviewTheirOpacityInTheirOwnWindowOnly) {
    auto dialog = open();
    pressOnSlider(*dialog, IDC_SETTINGS_KEYBOARD_OPACITY, VK_HOME);
    ASSERT_FALSE(keyboard.values(kKeyboardOpacity).empty());
    EXPECT_EQ(WPARAM{Settings::MinimumOpacity}, keyboard.values(kKeyboardOpacity).back())
        << "the lowest opacity still shows the window";
    EXPECT_TRUE(statistics.received().empty());

    pressOnSlider(*dialog, IDC_SETTINGS_STATISTICS_OPACITY, VK_END);
    ASSERT_FALSE(statistics.values(kStatisticsOpacity).empty());
    EXPECT_EQ(255u, statistics.values(kStatisticsOpacity).back());
    EXPECT_TRUE(keyboard.values(kStatisticsOpacity).empty());

    const std::size_t before = statistics.values(kStatisticsOpacity).size();
    pressOnSlider(*dialog, IDC_SETTINGS_STATISTICS_OPACITY, VK_LEFT);
    EXPECT_GT(statistics.values(kStatisticsOpacity).size(), before);
    EXPECT_EQ(254u, statistics.values(kStatisticsOpacity).back());
    // Nothing is stored before OK.
    EXPECT_EQ(225, settings->keyboardOpacity.load());
    EXPECT_EQ(200, settings->statisticsOpacity.load());
}

TEST_F(SettingsDlgTest, AWindowThatIsGoneOrMissingGetsNothing) {
    const HWND gone = keyboard.handle();
    keyboard.destroy();
    auto dialog = open(gone, statistics.handle());
    pressOnSlider(*dialog, IDC_SETTINGS_KEYBOARD_OPACITY, VK_HOME);
    EXPECT_TRUE(statistics.received().empty());

    // The other window still hears of its slider, and Cancel works.
    pressOnSlider(*dialog, IDC_SETTINGS_STATISTICS_OPACITY, VK_HOME);
    ASSERT_FALSE(statistics.values(kStatisticsOpacity).empty());
    EXPECT_EQ(WPARAM{Settings::MinimumOpacity}, statistics.values(kStatisticsOpacity).back());
    clickButton(*dialog, IDCANCEL);
    EXPECT_FALSE(::IsWindow(*dialog));
    EXPECT_EQ(200u, statistics.values(kStatisticsOpacity).back());
    EXPECT_TRUE(keyboard.received().empty());

    const std::size_t heard = statistics.received().size();
    auto withoutWindows = open(nullptr, nullptr);
    pressOnSlider(*withoutWindows, IDC_SETTINGS_KEYBOARD_OPACITY, VK_HOME);
    pressOnSlider(*withoutWindows, IDC_SETTINGS_STATISTICS_OPACITY, VK_HOME);
    EXPECT_TRUE(pressOkAndAnswer(*withoutWindows).empty());
    EXPECT_FALSE(::IsWindow(*withoutWindows));
    EXPECT_EQ(Settings::MinimumOpacity, settings->keyboardOpacity.load());
    EXPECT_EQ(Settings::MinimumOpacity, settings->statisticsOpacity.load());
    EXPECT_EQ(heard, statistics.received().size());
}

TEST_F(SettingsDlgTest, CancelSendsTheStoredOpacitiesBackAndStoresNothing) {
    settings->keyboardWaitInterval = 3000;
    auto dialog = open();
    pressOnSlider(*dialog, IDC_SETTINGS_KEYBOARD_OPACITY, VK_HOME);
    pressOnSlider(*dialog, IDC_SETTINGS_STATISTICS_OPACITY, VK_HOME);
    setItem(*dialog, IDC_SETTINGS_WAIT_INTERVAL, L"100");
    ::CheckDlgButton(*dialog, IDC_SETTINGS_OPAQUE_ON_HOVER, BST_UNCHECKED);
    ::SendMessageW(item(*dialog, IDC_SETTINGS_LANGUAGE), CB_SETCURSEL, 0, 0);
    clickButton(*dialog, IDCANCEL);

    EXPECT_FALSE(::IsWindow(*dialog));
    EXPECT_EQ(225u, keyboard.values(kKeyboardOpacity).back());
    EXPECT_EQ(200u, statistics.values(kStatisticsOpacity).back());
    EXPECT_EQ(3000u, settings->keyboardWaitInterval.load());
    EXPECT_EQ(225, settings->keyboardOpacity.load());
    EXPECT_EQ(200, settings->statisticsOpacity.load());
    EXPECT_TRUE(settings->setOpaqueStatisticsOnHover.load());
    EXPECT_EQ(L"AAA", LocalizationManager::instance()->getCurrentLocale().toString());
}

TEST_F(SettingsDlgTest, EscapeAndClosingAreACancelToo) {
    for (UINT message : {UINT(WM_CLOSE), UINT(WM_COMMAND)}) {
        auto dialog = open();
        pressOnSlider(*dialog, IDC_SETTINGS_KEYBOARD_OPACITY, VK_HOME);
        if (message == WM_CLOSE)
            ::SendMessageW(*dialog, WM_CLOSE, 0, 0);
        else
            ::SendMessageW(*dialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, 0), 0);
        EXPECT_TRUE(testing::pumpUntil([&] { return !::IsWindow(*dialog); }));
        EXPECT_EQ(225u, keyboard.values(kKeyboardOpacity).back());
    }
}

TEST_F(SettingsDlgTest, AStoredOpacityOfZeroIsNeverSent) {
    settings->keyboardOpacity = 0;
    auto dialog = open();
    // The slider cannot go below the lowest opacity that still shows.
    EXPECT_EQ(Settings::MinimumOpacity, sliderPosition(*dialog, IDC_SETTINGS_KEYBOARD_OPACITY));
    clickButton(*dialog, IDCANCEL);
    EXPECT_TRUE(keyboard.received().empty());
    EXPECT_EQ(std::vector<WPARAM>{200}, statistics.values(kStatisticsOpacity));
}

TEST_F(SettingsDlgTest, TheLanguageListIsSortedByNameAndLeadsBackToTheRightCode) {
    auto dialog = open();
    const HWND list = item(*dialog, IDC_SETTINGS_LANGUAGE);
    ASSERT_EQ(2, ::SendMessageW(list, CB_GETCOUNT, 0, 0));
    const auto itemName = [&](int index) {
        wchar_t name[64] = {};
        ::SendMessageW(list, CB_GETLBTEXT, index, reinterpret_cast<LPARAM>(name));
        return std::wstring(name);
    };
    // Codes AAA, ZZZ; names Zebra, Apple.
    EXPECT_EQ(L"Apple", itemName(0));
    EXPECT_EQ(L"Zebra", itemName(1));
    EXPECT_EQ(1, ::SendMessageW(list, CB_GETCURSEL, 0, 0));

    ::SendMessageW(list, CB_SETCURSEL, 0, 0);
    EXPECT_TRUE(pressOkAndAnswer(*dialog).empty());
    ASSERT_FALSE(::IsWindow(*dialog));
    EXPECT_EQ(L"ZZZ", LocalizationManager::instance()->getCurrentLocale().toString());
    EXPECT_EQ(L"ZZZ", settings->l10nLanguageCode);
    EXPECT_EQ(L"ZZZ title",
              LocalizationManager::instance()->getBundle(L"SettingsDialog").getString(L"title"));

    // The next dialog speaks the new language and selects it.
    auto next = open();
    EXPECT_EQ(L"ZZZ title", testing::windowText(*next));
    EXPECT_EQ(L"ZZZ save", itemText(*next, IDOK));
    EXPECT_EQ(0, ::SendMessageW(item(*next, IDC_SETTINGS_LANGUAGE), CB_GETCURSEL, 0, 0));
}

TEST_F(SettingsDlgTest, WithoutASelectionTheLanguageStays) {
    auto dialog = open();
    ::SendMessageW(item(*dialog, IDC_SETTINGS_LANGUAGE), CB_SETCURSEL, static_cast<WPARAM>(-1), 0);
    EXPECT_TRUE(pressOkAndAnswer(*dialog).empty());
    EXPECT_EQ(L"AAA", LocalizationManager::instance()->getCurrentLocale().toString());
    EXPECT_EQ(L"AAA", settings->l10nLanguageCode);
}

// The modal run, driven from a timer of this thread, which the dialog's own
// message loop serves.
struct ModalDriver {
    static inline std::function<void(HWND)> action;
    static inline HWND seen = nullptr;
    static inline bool wasVisible = false;
    static inline std::wstring caption;

    static inline int ticks = 0;

    static void CALLBACK onTimer(HWND, UINT, UINT_PTR timer, DWORD) {
        const HWND dialog = ::FindWindowW(L"#32770", nullptr);
        // The dialog shows itself once its message loop first runs idle.
        if (dialog == nullptr || (!::IsWindowVisible(dialog) && ++ticks < 100))
            return;
        ::KillTimer(nullptr, timer);
        seen = dialog;
        wasVisible = ::IsWindowVisible(dialog) != FALSE;
        caption = testing::windowText(dialog);
        action(dialog);
    }

    static INT_PTR run(SettingsDlg& dialog, std::function<void(HWND)> todo) {
        action = std::move(todo);
        seen = nullptr;
        wasVisible = false;
        caption.clear();
        ticks = 0;
        ::SetTimer(nullptr, 0, 20, &ModalDriver::onTimer);
        return dialog.run(nullptr);
    }
};

TEST_F(SettingsDlgTest, RunsModallyAndTellsHowItEnded) {
    SettingsDlg cancelled(keyboard.handle(), statistics.handle());
    EXPECT_EQ(IDCANCEL, ModalDriver::run(cancelled, [](HWND dialog) {
                  ::SetDlgItemTextW(dialog, IDC_SETTINGS_WAIT_INTERVAL, L"1234");
                  clickButton(dialog, IDCANCEL);
              }));
    EXPECT_TRUE(ModalDriver::wasVisible);
    EXPECT_EQ(L"AAA title", ModalDriver::caption);
    EXPECT_FALSE(::IsWindow(ModalDriver::seen));
    EXPECT_EQ(3000u, settings->keyboardWaitInterval.load());

    SettingsDlg accepted(keyboard.handle(), statistics.handle());
    EXPECT_EQ(IDOK, ModalDriver::run(accepted, [](HWND dialog) {
                  ::SetDlgItemTextW(dialog, IDC_SETTINGS_WAIT_INTERVAL, L"1234");
                  clickButton(dialog, IDOK);
              }));
    EXPECT_EQ(1234u, settings->keyboardWaitInterval.load());
}

} // namespace
} // namespace keywhirl

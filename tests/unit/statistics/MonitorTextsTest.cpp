// tests/unit/statistics/MonitorTextsTest.cpp - the titles and values as the window shows them.
#include "localization/LocalizationManager.h"
#include "settings/Paths.h"
#include "settings/Settings.h"
#include "statistics/Statistics.h"
#include "statistics/SymbolsCounter.h"

#include "KeyEvents.h"
#include "support/FakeClock.h"
#include "support/TestSettings.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <utility>
#include <vector>

namespace keywhirl {
namespace {

using Keys = std::vector<std::pair<std::wstring, std::wstring>>;

// A program folder of its own whose languages the test writes.
class MonitorTexts : public ::testing::Test {
protected:
    MonitorTexts() {
        LocalizationManager::destroyInstance();
        ::CreateDirectoryW((settings.folder().path() + L"\\Localization").c_str(), nullptr);
    }
    ~MonitorTexts() override { LocalizationManager::destroyInstance(); }

    // Writes <code>.xml in UTF-16 with its mark, with the section "Statistics" if given.
    void addLanguage(const std::wstring& code, const Keys& statistics, bool withSection = true) {
        std::wstring text = L"\xFEFF<?xml version=\"1.0\" encoding=\"UTF-16\"?>\r\n<content>\r\n"
                            L"<section name=\"Locale\"><key name=\"languageName\" value=\"" +
                            code + L"\"/></section>\r\n";
        if (withSection) {
            text += L"<section name=\"Statistics\">\r\n";
            for (const auto& [key, value] : statistics)
                text += L"<key name=\"" + key + L"\" value=\"" + value + L"\"/>\r\n";
            text += L"</section>\r\n";
        }
        text += L"</content>\r\n";
        const std::wstring path = settings.folder().path() + L"\\Localization\\" + code + L".xml";
        FILE* file = _wfopen(path.c_str(), L"wb");
        ASSERT_NE(file, nullptr);
        std::fwrite(text.data(), sizeof(wchar_t), text.size(), file);
        std::fclose(file);
    }
    void useLanguage(const std::wstring& code) {
        Settings::instance()->l10nLanguageCode = code;
        LocalizationManager::reload();
    }

    static Keys englishKeys() {
        return {{L"symbolsCount.title", L"Symbols typed"},
                {L"symbolsCount.unit", L" sym"},
                {L"lastSpeed.title.1", L"Speed, last "},
                {L"lastSpeed.title.2", L" min"},
                {L"speed.unit", L" spm"},
                {L"wordSpeed.unit", L" wpm"},
                {L"rhythm.title", L"Rhythm"},
                {L"rhythm.unit", L"%"},
                {L"effectiveness.title", L"Effectiveness"},
                {L"effectiveness.unit", L" %"}};
    }

    // Three symbols at 0, 1000 and 2000 ms and one Delete, shown at 3000 ms.
    void typeSample(Statistics& statistics) {
        for (DWORD tick : {0u, 1000u, 2000u}) {
            clock.set(tick);
            for (Monitor* monitor : statistics.getMonitors())
                monitor->handleKey(testing::letter());
        }
        for (Monitor* monitor : statistics.getMonitors())
            monitor->handleKey(testing::deleteKey());
        clock.set(3000);
    }

    testing::TestSettings settings;
    testing::FakeClock clock{0};
};

TEST_F(MonitorTexts, TitlesAndValuesJoinTheLanguagesTextsWithNothingBetween) {
    addLanguage(L"TST", englishKeys());
    useLanguage(L"TST");
    Statistics statistics;
    typeSample(statistics);

    const std::vector<std::pair<std::wstring, std::wstring>> expected = {
        {L"Symbols typed", L"3 sym"},       {L"Speed, last 1 min", L"40 spm"},
        {L"Speed, last 10 min", L"40 spm"}, {L"Speed, last 60 min", L"40 spm"},
        {L"Effectiveness", L"66 %"},        {L"Rhythm", L"100%"},
    };
    const std::vector<Monitor*>& monitors = statistics.getMonitors();
    ASSERT_EQ(monitors.size(), expected.size());
    for (std::size_t i = 0; i < monitors.size(); ++i) {
        EXPECT_EQ(monitors[i]->getTitle(), expected[i].first) << "row " << i;
        EXPECT_EQ(monitors[i]->getValue(), expected[i].second) << "row " << i;
    }
}

TEST_F(MonitorTexts, SpeedsFollowTheSpeedUnitAtFiveSymbolsAWord) {
    addLanguage(L"TST", englishKeys());
    useLanguage(L"TST");
    Statistics statistics;
    // 12 symbols a second apart, shown a second after the last: 60 a minute.
    for (DWORD second = 0; second < 12; ++second) {
        clock.set(second * 1000);
        statistics.getMonitors()[1]->handleKey(testing::letter());
    }
    clock.set(12000);
    const struct {
        unsigned setting;
        const wchar_t* value;
    } cases[] = {{0, L"55 spm"}, {1, L"11 wpm"}, {2, L"55 spm"}};
    for (const auto& c : cases) {
        Settings::instance()->speedUnit = c.setting;
        EXPECT_EQ(statistics.getMonitors()[1]->getValue(), c.value) << c.setting;
    }
    Settings::instance()->speedUnit = 0;
}

TEST_F(MonitorTexts, MissingTextsLeaveTheBareNumbers) {
    addLanguage(L"NON", {}, false);
    useLanguage(L"NON");
    Statistics statistics;
    typeSample(statistics);

    const std::vector<std::pair<std::wstring, std::wstring>> expected = {
        {L"", L"3"}, {L"1", L"40"}, {L"10", L"40"}, {L"60", L"40"}, {L"", L"66"}, {L"", L"100"},
    };
    for (std::size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(statistics.getMonitors()[i]->getTitle(), expected[i].first) << "row " << i;
        EXPECT_EQ(statistics.getMonitors()[i]->getValue(), expected[i].second) << "row " << i;
    }
}

// Before there is anything to judge, effectiveness and evenness show a dash,
// not a "0 %" that would read as a bad score; counts and speeds show 0.
TEST_F(MonitorTexts, ValuesWithoutDataShowADashUntilTheirFirstData) {
    addLanguage(L"TST", englishKeys());
    useLanguage(L"TST");
    Statistics statistics;
    const std::vector<Monitor*>& monitors = statistics.getMonitors();
    const std::wstring dash = L"\x2013";
    const std::vector<std::wstring> untouched = {L"0 sym", L"0 spm", L"0 spm",
                                                 L"0 spm", dash,     dash};
    for (std::size_t i = 0; i < monitors.size(); ++i)
        EXPECT_EQ(monitors[i]->getValue(), untouched[i]) << "row " << i;

    // Erasing alone types nothing: still no effectiveness.
    for (Monitor* monitor : monitors)
        monitor->handleKey(testing::deleteKey());
    EXPECT_EQ(monitors[4]->getValue(), dash);

    // One symbol gives an effectiveness but no interval for the rhythm yet.
    for (Monitor* monitor : monitors)
        monitor->handleKey(testing::letter());
    EXPECT_EQ(monitors[4]->getValue(), L"100 %");
    EXPECT_EQ(monitors[5]->getValue(), dash);

    // Everything erased is a real 0 %, shown as such.
    for (Monitor* monitor : monitors)
        monitor->handleKey(testing::deleteKey());
    EXPECT_EQ(monitors[4]->getValue(), L"0 %");

    clock.set(500);
    for (Monitor* monitor : monitors)
        monitor->handleKey(testing::letter());
    EXPECT_EQ(monitors[5]->getValue(), L"100%");

    // Once both presses have left the rhythm's one-minute window, the dash returns.
    clock.set(500 + 2 * 60000);
    EXPECT_EQ(monitors[5]->getValue(), dash);
}

TEST_F(MonitorTexts, NumbersHaveNoSeparatorsAndTextsFollowALanguageSwitch) {
    addLanguage(L"TST", englishKeys());
    addLanguage(L"RUS", {{L"symbolsCount.title", L"\x041D\x0430\x0431\x0440\x0430\x043D\x043E"},
                         {L"symbolsCount.unit", L" \x0437\x043D."}});
    useLanguage(L"TST");
    SymbolsCounter symbols;
    const KeyInfoWrapper key = testing::letter();
    for (int i = 0; i < 1234567; ++i)
        symbols.handleKey(key);
    EXPECT_EQ(symbols.getValue(), L"1234567 sym");

    LocalizationManager::instance()->setLocale(Locale(std::wstring(L"RUS")));
    EXPECT_EQ(symbols.getTitle(), L"\x041D\x0430\x0431\x0440\x0430\x043D\x043E");
    EXPECT_EQ(symbols.getValue(), L"1234567 \x0437\x043D.");
}

} // namespace
} // namespace keywhirl

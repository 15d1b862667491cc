// tests/unit/localization/LocalizationManagerTest.cpp
#include "localization/InstalledLanguages.h"
#include "localization/LocalizationManager.h"

#include "LanguageFolder.h"
#include "TestFiles.h"
#include "settings/Settings.h"

#include <gtest/gtest.h>

#include <windows.h>

namespace keywhirl {
namespace {

using testing::SectionText;

std::wstring text(const std::wstring& section, const std::wstring& key = L"text") {
    return LocalizationManager::instance()->getBundle(section).getString(key);
}

std::wstring systemLanguage() {
    return Locale(static_cast<LCID>(LOCALE_SYSTEM_DEFAULT)).toString();
}

std::wstring& storedCode() {
    return Settings::instance()->l10nLanguageCode;
}

class LocalizationManagerTest : public testing::LanguageFolder {};

TEST_F(LocalizationManagerTest, WithoutLanguageFilesEveryTextIsEmpty) {
    startManager();
    EXPECT_EQ(text(L"Statistics", L"rhythm.title"), L"");
    EXPECT_EQ(text(L"Locale", L"languageName"), L"");
    EXPECT_TRUE(LocalizationManager::instance()->getLanguages().empty());
    EXPECT_EQ(LocalizationManager::instance()->getCurrentLocale().toString(), L"ENU")
        << "the fallback is kept though its file is missing";
    EXPECT_EQ(storedCode(), L"ENU");
}

TEST_F(LocalizationManagerTest, WithoutTheFolderEveryTextIsEmpty) {
    ::RemoveDirectoryW(localizationFolder().c_str());
    storedCode() = L"RUS";
    startManager();
    EXPECT_EQ(text(L"Statistics"), L"");
    EXPECT_TRUE(LocalizationManager::instance()->getLanguages().empty());
}

TEST_F(LocalizationManagerTest, LoadsTheLanguageOfTheSetting) {
    addSimpleLanguage(L"ENU", {L"Statistics"});
    addSimpleLanguage(L"DEU", {L"Statistics"});
    addSimpleLanguage(L"RUS", {L"Statistics"});
    storedCode() = L"RUS";
    startManager();
    EXPECT_EQ(text(L"Statistics"), L"Statistics in RUS");
    EXPECT_EQ(LocalizationManager::instance()->getCurrentLocale().toString(), L"RUS");
    EXPECT_EQ(storedCode(), L"RUS");
}

TEST_F(LocalizationManagerTest, ASettingWithoutAFileFallsBackToEnglish) {
    addSimpleLanguage(L"AAA", {L"Statistics"});
    addSimpleLanguage(L"ENU", {L"Statistics"});
    for (const wchar_t* code : {L"XYZ", L"enu", L"ENU.xml"}) {
        storedCode() = code;
        startManager();
        EXPECT_EQ(text(L"Statistics"), L"Statistics in ENU") << code << L": codes match exactly";
        EXPECT_EQ(storedCode(), L"ENU") << "the choice goes back into the setting";
    }
}

TEST_F(LocalizationManagerTest, AnEmptySettingTakesTheSystemLanguage) {
    std::wstring system = systemLanguage();
    ASSERT_FALSE(system.empty());
    addSimpleLanguage(system, {L"Statistics"});
    addSimpleLanguage(L"AAA", {L"Statistics"});
    if (system != L"ENU")
        addSimpleLanguage(L"ENU", {L"Statistics"});
    startManager();
    EXPECT_EQ(text(L"Statistics"), L"Statistics in " + system);
    EXPECT_EQ(storedCode(), system);
}

TEST_F(LocalizationManagerTest, AnEmptySettingFallsBackToEnglishWhenTheSystemLanguageLacksAFile) {
    // The test program runs with a German system locale (see CMakeLists.txt).
    std::wstring system = systemLanguage();
    if (system == L"ENU")
        GTEST_SKIP() << "needs a system language other than English (United States)";
    addSimpleLanguage(L"AAA", {L"Statistics"});
    addSimpleLanguage(L"ENU", {L"Statistics"});
    startManager();
    EXPECT_EQ(text(L"Statistics"), L"Statistics in ENU");
    EXPECT_EQ(storedCode(), L"ENU");
}

TEST_F(LocalizationManagerTest, WithNeitherFileTheFirstInstalledLanguageIsUsed) {
    addSimpleLanguage(L"QQQ", {L"Statistics"});
    storedCode() = L"XYZ";
    startManager();
    EXPECT_EQ(text(L"Statistics"), L"Statistics in QQQ");
    EXPECT_EQ(storedCode(), L"QQQ");
}

TEST_F(LocalizationManagerTest, LooksUpSectionsAndKeysExactly) {
    addLanguage(L"ENU", {{L"Statistics", {{L"rhythm.title", L"Rhythm"}}}});
    startManager();
    EXPECT_EQ(text(L"Statistics", L"rhythm.title"), L"Rhythm");
    EXPECT_EQ(text(L"statistics", L"rhythm.title"), L"");
    EXPECT_EQ(text(L"Statistics", L"Rhythm.title"), L"");
    EXPECT_EQ(text(L"Statistics", L"missing"), L"");
    EXPECT_EQ(text(L"Missing", L"rhythm.title"), L"");
}

TEST_F(LocalizationManagerTest, SwitchingKeepsTextsOfSectionsTheNewLanguageLacks) {
    addLanguage(L"ENU", {{L"Statistics", {{L"title", L"Statistics"}, {L"extra", L"Extra"}}},
                         {L"MainMenu", {{L"exit", L"Exit"}}}});
    addLanguage(L"DEU", {{L"Statistics", {{L"title", L"Statistik"}}}});
    storedCode() = L"ENU";
    startManager();
    LocalizationManager::instance()->setLocale(Locale(L"DEU"));
    EXPECT_EQ(LocalizationManager::instance()->getCurrentLocale().toString(), L"DEU");
    EXPECT_EQ(storedCode(), L"DEU");
    EXPECT_EQ(text(L"Statistics", L"title"), L"Statistik");
    EXPECT_EQ(text(L"Statistics", L"extra"), L"") << "a section is replaced as a whole";
    EXPECT_EQ(text(L"MainMenu", L"exit"), L"Exit") << "a missing section keeps the old texts";

    LocalizationManager::instance()->setLocale(Locale(L"ENU"));
    EXPECT_EQ(text(L"Statistics", L"extra"), L"Extra");
    EXPECT_EQ(storedCode(), L"ENU");
}

TEST_F(LocalizationManagerTest, SwitchingToALanguageWithoutAFileChangesNothing) {
    addSimpleLanguage(L"ENU", {L"Statistics"});
    addSimpleLanguage(L"RUS", {L"Statistics"});
    storedCode() = L"RUS";
    startManager();
    LocalizationManager::instance()->setLocale(Locale(L"FRA"));
    EXPECT_EQ(LocalizationManager::instance()->getCurrentLocale().toString(), L"RUS");
    EXPECT_EQ(storedCode(), L"RUS");
    EXPECT_EQ(text(L"Statistics"), L"Statistics in RUS");
}

TEST_F(LocalizationManagerTest, InstalledLanguagesAreFixedUntilReadAgain) {
    addSimpleLanguage(L"ENU", {L"Statistics"});
    startManager();
    addSimpleLanguage(L"DEU", {L"Statistics"});
    LocalizationManager::instance()->setLocale(Locale(L"DEU"));
    EXPECT_EQ(text(L"Statistics"), L"Statistics in ENU") << "not installed at start";
    EXPECT_EQ(LocalizationManager::instance()->getLanguages().size(), 1u);
}

TEST_F(LocalizationManagerTest, ListsLanguagesByTheirOwnNamesInInstalledOrder) {
    addLanguage(L"ENU", {{L"Locale", {{L"languageName", L"English"}}}});
    addLanguage(L"RUS",
                {{L"Locale", {{L"languageName", L"\x0420\x0443\x0441\x0441\x043A\x0438\x0439"}}}});
    addLanguage(L"NOL", {{L"Statistics", {{L"title", L"no Locale section"}}}});
    addLanguage(L"EMP", {{L"Locale", {{L"languageName", L""}}}});
    addLanguage(L"LOW", {{L"locale", {{L"languagename", L"Lower"}}}});
    testing::writeBytes(localizationFolder() + L"\\BAD.xml", "\x01\x02 not a language file");
    startManager();

    auto languages = LocalizationManager::instance()->getLanguages();
    const std::vector<std::wstring>& codes = InstalledLanguages::codes();
    ASSERT_EQ(languages.size(), codes.size());
    ASSERT_EQ(codes.size(), 6u);
    std::map<std::wstring, std::wstring> names;
    for (std::size_t i = 0; i < languages.size(); ++i) {
        EXPECT_EQ(languages[i].second, codes[i]) << "in the order of the installed codes";
        names[languages[i].second] = languages[i].first;
    }
    EXPECT_EQ(names[L"ENU"], L"English");
    EXPECT_EQ(names[L"RUS"], L"\x0420\x0443\x0441\x0441\x043A\x0438\x0439");
    EXPECT_EQ(names[L"NOL"], L"-");
    EXPECT_EQ(names[L"EMP"], L"-") << "an empty value is no value";
    EXPECT_EQ(names[L"LOW"], L"Lower") << "the file's own lookup ignores the case of names";
    EXPECT_EQ(names[L"BAD"], L"-");
}

TEST_F(LocalizationManagerTest, KeepsTheListOfLanguagesOnceRead) {
    addLanguage(L"ENU", {{L"Locale", {{L"languageName", L"English"}}}});
    startManager();
    ASSERT_EQ(LocalizationManager::instance()->getLanguages().at(0).first, L"English");
    addLanguage(L"ENU", {{L"Locale", {{L"languageName", L"Changed"}}}});
    EXPECT_EQ(LocalizationManager::instance()->getLanguages().at(0).first, L"English");
}

TEST_F(LocalizationManagerTest, AFileWithATwiceNamedSectionKeepsTheSectionsBeforeIt) {
    addLanguage(L"ENU", {{L"Statistics", {{L"text", L"first"}}},
                         {L"MainMenu", {{L"text", L"menu"}}},
                         {L"statistics", {{L"text", L"second"}}},
                         {L"AboutDialog", {{L"text", L"about"}}}});
    startManager();
    EXPECT_EQ(text(L"Statistics"), L"first");
    EXPECT_EQ(text(L"MainMenu"), L"menu");
    EXPECT_EQ(text(L"AboutDialog"), L"");
}

TEST_F(LocalizationManagerTest, ReadsAFileWithoutTheMarkInTheAnsiCodePage) {
    testing::writeBytes(localizationFolder() + L"\\ENU.xml",
                        "<content><section name=\"Statistics\"><key name=\"text\" "
                        "value=\"plain &amp; simple\"/></section></content>");
    startManager();
    EXPECT_EQ(text(L"Statistics"), L"plain & simple");
}

} // namespace
} // namespace keywhirl

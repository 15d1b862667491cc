// tests/unit/localization/LocalizationManagerTest.cpp
#include "localization/InstalledLanguages.h"
#include "localization/LocalizationManager.h"
#include "localization/ResourceLoader.h"

#include "LanguageFolder.h"
#include "TestFiles.h"
#include "settings/Settings.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <map>

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

// Locales as the platform names them, and two made up for the tests.
LANGID madeUpLanguageOf(const std::wstring& code) {
    static const std::map<std::wstring, LANGID> locales = {
        {L"ENU", 0x0409}, {L"ENG", 0x0809}, {L"ENC", 0x1009}, {L"DEU", 0x0407},
        {L"DES", 0x0807}, {L"DEA", 0x0C07}, {L"FRA", 0x040C}, {L"FRC", 0x0C0C},
        {L"ESP", 0x040A}, {L"ESN", 0x0C0A}, {L"ESM", 0x080A}, {L"RUS", 0x0419},
        {L"UKR", 0x0422}, {L"PLK", 0x0415}, {L"DEX", 0x0007}, {L"QQQ", 0x0000}};
    auto found = locales.find(code);
    return found == locales.end() ? 0 : found->second;
}

class RegionalLanguages : public ::testing::Test {
protected:
    void SetUp() override { Locale::setLanguageLookup(&madeUpLanguageOf); }
    void TearDown() override { Locale::setLanguageLookup(nullptr); }
};

TEST_F(RegionalLanguages, ARegionalCodeTakesAnInstalledFileOfItsLanguageBeforeEnglish) {
    const std::vector<std::wstring> shipped = {L"DEU", L"ENU", L"ESP", L"FRA", L"RUS", L"UKR"};
    struct Case {
        const wchar_t* requested;
        std::vector<std::wstring> installed;
        const wchar_t* expected;
    };
    const Case cases[] = {
        {L"ESN", shipped, L"ESP"},
        {L"ESM", shipped, L"ESP"},
        {L"DES", shipped, L"DEU"},
        {L"DEA", shipped, L"DEU"},
        {L"FRC", shipped, L"FRA"},
        {L"ENG", shipped, L"ENU"},
        {L"RUS", shipped, L"RUS"},
        {L"PLK", shipped, L"ENU"},                  // its language does not ship
        {L"XYZ", shipped, L"ENU"},                  // no locale has this code
        {L"", shipped, L"ENU"},                     // nothing asked for
        {L"ENG", {L"RUS", L"ENC", L"ENU"}, L"ENC"}, // the first of the language
        {L"DES", {L"RUS", L"DEX"}, L"DEX"},         // a neutral German locale
        {L"QQQ", {L"RUS", L"QQQ2"}, L"RUS"},        // language 0 matches nothing
        {L"ESN", {L"RUS", L"UKR"}, L"RUS"},         // neither fallback nor language
    };
    for (const Case& c : cases) {
        Locale chosen = ResourceLoader::choose(Locale(c.requested), Locale(L"ENU"), c.installed,
                                               ResourceLoader::Match::sameLanguage);
        EXPECT_EQ(chosen.toString(), c.expected) << c.requested;
    }
    for (const wchar_t* regional : {L"ESN", L"DES", L"FRC", L"ENG"})
        EXPECT_EQ(ResourceLoader::choose(Locale(regional), Locale(L"ENU"), shipped).toString(),
                  L"ENU")
            << regional << ": exact matching is the default";
}

class RegionalManager : public LocalizationManagerTest {
protected:
    RegionalManager() { Locale::setLanguageLookup(&madeUpLanguageOf); }
    ~RegionalManager() override { Locale::setLanguageLookup(nullptr); }
};

TEST_F(RegionalManager, TheSystemLanguageFindsAFileOfItsLanguageButAStoredChoiceMatchesExactly) {
    // The test program runs with a German system locale (DEU), which has no
    // file here; the made-up DEX is German too.
    if (Locale::primaryLanguageOf(systemLanguage()) != LANG_GERMAN)
        GTEST_SKIP() << "needs a German system locale";
    addSimpleLanguage(L"ENU", {L"Statistics"});
    addSimpleLanguage(L"DEX", {L"Statistics"});
    startManager();
    EXPECT_EQ(text(L"Statistics"), L"Statistics in DEX");
    EXPECT_EQ(storedCode(), L"DEX");

    storedCode() = L"DES";
    startManager();
    EXPECT_EQ(text(L"Statistics"), L"Statistics in ENU") << "a stored code is taken only as it is";
    EXPECT_EQ(storedCode(), L"ENU");

    LocalizationManager::instance()->setLocale(Locale(L"DEA"));
    EXPECT_EQ(storedCode(), L"ENU") << "nor does a switch look for a regional relative";
}

TEST(PlatformLocales, RegionalCodesHaveThePrimaryLanguageOfTheirFamily) {
    struct Case {
        const wchar_t* code;
        LANGID primary;
    };
    const Case cases[] = {{L"ENU", LANG_ENGLISH},
                          {L"ENG", LANG_ENGLISH},
                          {L"DEU", LANG_GERMAN},
                          {L"DES", LANG_GERMAN},
                          {L"FRC", LANG_FRENCH},
                          {L"ESN", LANG_SPANISH},
                          {L"ESM", LANG_SPANISH},
                          {L"RUS", LANG_RUSSIAN},
                          {L"UKR", LANG_UKRAINIAN},
                          {L"XYZ", 0},
                          {L"", 0},
                          {L"enu", 0}};
    for (const Case& c : cases)
        EXPECT_EQ(Locale::primaryLanguageOf(c.code), c.primary) << c.code;
}

} // namespace
} // namespace keywhirl

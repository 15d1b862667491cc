// tests/unit/localization/LanguageFilesTest.cpp - the language files that ship
// with the program.
#include "localization/CXmlParser.h"
#include "localization/CXmlProfile.h"
#include "localization/InstalledLanguages.h"
#include "localization/LocalizationManager.h"

#include "TestFiles.h"
#include "settings/Paths.h"
#include "settings/Settings.h"
#include "support/TestSettings.h"
#include "support/WinePaths.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cwctype>
#include <set>
#include <utility>

namespace keywhirl {
namespace {

using Key = std::pair<std::wstring, std::wstring>;

std::wstring shippedFolder() {
    return testing::sourceFolder() + L"\\data\\Localization\\";
}

// Every text the program looks up.
const std::set<Key> kLookedUp = {
    {L"Locale", L"languageName"},
    {L"Statistics", L"symbolsCount.title"},
    {L"Statistics", L"symbolsCount.unit"},
    {L"Statistics", L"lastSpeed.title.1"},
    {L"Statistics", L"lastSpeed.title.2"},
    {L"Statistics", L"speed.unit"},
    {L"Statistics", L"wordSpeed.unit"},
    {L"Statistics", L"rhythm.title"},
    {L"Statistics", L"rhythm.unit"},
    {L"Statistics", L"effectiveness.title"},
    {L"Statistics", L"effectiveness.unit"},
    {L"SettingsDialog", L"title"},
    {L"SettingsDialog", L"keyboardAutoPopupInterval"},
    {L"SettingsDialog", L"metronomeFrequency"},
    {L"SettingsDialog", L"keyboardOpacity"},
    {L"SettingsDialog", L"statisticsOpacity"},
    {L"SettingsDialog", L"setOpaqueStatisticsOnHover"},
    {L"SettingsDialog", L"save"},
    {L"SettingsDialog", L"cancel"},
    {L"SettingsDialog", L"interfaceLanguage"},
    {L"SettingsDialog", L"speedUnit"},
    {L"SettingsDialog", L"speedUnit.symbols"},
    {L"SettingsDialog", L"speedUnit.words"},
    {L"SettingsDialog", L"ignoredPrograms"},
    {L"SettingsDialog", L"removeIgnoredProgram"},
    {L"SettingsDialog", L"keyboardFollowsTyping"},
    {L"Messages", L"Error.enterPositiveNumber"},
    {L"Messages", L"Error.cannotFindKeyboardBackground"},
    {L"Messages", L"Error.cannotSetHook"},
    {L"Messages", L"Error.keywhirlWillClose"},
    {L"Messages", L"Error.cannotStart"},
    {L"Messages", L"Button.yes"},
    {L"Messages", L"Button.no"},
    {L"MainMenu", L"autoPopup"},
    {L"MainMenu", L"metronome"},
    {L"MainMenu", L"keypressSound"},
    {L"MainMenu", L"showShortStatistics"},
    {L"MainMenu", L"autorun"},
    {L"MainMenu", L"settings"},
    {L"MainMenu", L"aboutKeywhirl"},
    {L"MainMenu", L"help"},
    {L"MainMenu", L"exit"},
    {L"MainMenu", L"weakKeys"},
    {L"MainMenu", L"resetWeakKeys"},
    {L"MainMenu", L"ignoreProgram"},
    {L"MainMenu", L"pause"},
    {L"MainMenu", L"pausedTip"},
    {L"Messages", L"Question.resetWeakKeys"},
    {L"WeakKeys", L"legend.caption"},
    {L"WeakKeys", L"legend.few"},
    {L"WeakKeys", L"legend.many"},
    {L"WeakKeys", L"tooltip.presses"},
    {L"WeakKeys", L"tooltip.hesitations"},
    {L"WeakKeys", L"tooltip.leadTime"},
    {L"WeakKeys", L"tooltip.ms"},
    {L"WeakKeys", L"tooltip.noLeadTime"},
    {L"MainMenu", L"history"},
    {L"AboutDialog", L"productVersion"},
    {L"AboutDialog", L"programmer"},
    {L"AboutDialog", L"ideaCreator"},
    {L"AboutDialog", L"designer"},
    {L"AboutDialog", L"webPage"},
    {L"History", L"title"},
    {L"History", L"chart.symbols"},
    {L"History", L"chart.speed"},
    {L"History", L"chart.speed.words"},
    {L"History", L"tip.symbols"},
    {L"History", L"tip.averageSpeed"},
    {L"History", L"tip.bestSpeed"},
    {L"History", L"tip.effectiveness"},
    {L"History", L"tip.evenness"},
    {L"History", L"tip.chart"},
    {L"History", L"today"},
    {L"History", L"last7Days"},
    {L"History", L"last30Days"},
    {L"History", L"symbols"},
    {L"History", L"averageSpeed"},
    {L"History", L"bestSpeed"},
    {L"History", L"effectiveness"},
    {L"History", L"evenness"},
    {L"History", L"empty"},
    {L"History", L"openFolder"},
    {L"Splash", L"subtitle"},
    {L"Splash", L"version"},
    {L"Keyboard", L"key.backspace"},
    {L"Keyboard", L"key.tab"},
    {L"Keyboard", L"key.capsLock"},
    {L"Keyboard", L"key.enter"},
    {L"Keyboard", L"key.shift"},
    {L"Keyboard", L"key.ctrl"},
    {L"Keyboard", L"key.alt"},
    {L"Keyboard", L"key.altGr"},
    {L"Keyboard", L"key.win"},
    {L"Keyboard", L"key.menu"},
};

struct Loaded {
    std::set<Key> keys;
    std::map<Key, std::wstring> texts;
};

Loaded load(const std::wstring& code) {
    CXmlProfile profile;
    Loaded loaded;
    EXPECT_EQ(profile.Load(shippedFolder() + code + L".xml", CXmlParser::kEncodingAuto), 1) << code;
    EXPECT_EQ(profile.GetSkippedKeyCount(), 0) << code << L": a key without a text";
    EXPECT_EQ(profile.GetDuplicateKeyCount(), 0) << code;
    std::vector<CXmlSection> sections;
    profile.GetSections(&sections);
    for (const CXmlSection& section : sections) {
        std::vector<CXmlKey> keys;
        profile.GetKeys(section.GetName(), &keys);
        for (const CXmlKey& key : keys) {
            loaded.keys.insert({section.GetName(), key.name});
            loaded.texts[{section.GetName(), key.name}] = key.value;
        }
    }
    return loaded;
}

std::vector<std::wstring> shippedCodes() {
    std::vector<std::wstring> codes = InstalledLanguages::scan(shippedFolder());
    std::sort(codes.begin(), codes.end());
    return codes;
}

TEST(LanguageFiles, EnglishHasEveryTextTheProgramLooksUp) {
    EXPECT_EQ(load(L"ENU").keys, kLookedUp);
}

TEST(LanguageFiles, EveryFileHasExactlyTheKeysOfTheEnglishOne) {
    std::vector<std::wstring> codes = shippedCodes();
    EXPECT_EQ(codes, (std::vector<std::wstring>{L"DEU", L"ENU", L"ESP", L"FRA", L"RUS", L"UKR"}));
    std::set<Key> english = load(L"ENU").keys;
    for (const std::wstring& code : codes) {
        std::set<Key> keys = load(code).keys;
        for (const Key& key : english)
            EXPECT_TRUE(keys.count(key)) << code << L" lacks " << key.first << L"/" << key.second;
        for (const Key& key : keys)
            EXPECT_TRUE(english.count(key))
                << code << L" has an extra " << key.first << L"/" << key.second;
    }
}

TEST(LanguageFiles, AreUtf16WithTheMark) {
    for (const std::wstring& code : shippedCodes()) {
        std::string bytes = testing::readBytes(shippedFolder() + code + L".xml");
        ASSERT_GE(bytes.size(), 4u) << code;
        EXPECT_EQ(bytes.substr(0, 4), std::string("\xFF\xFE<\0", 4)) << code;
        EXPECT_EQ(bytes.size() % 2, 0u) << code;
    }
}

TEST(LanguageFiles, UnitsAndTheTextAfterANumberStartWithASpace) {
    const wchar_t* const spaced[] = {L"symbolsCount.unit", L"lastSpeed.title.2",
                                     L"speed.unit",        L"wordSpeed.unit",
                                     L"rhythm.unit",       L"effectiveness.unit"};
    std::set<std::wstring> names;
    for (const std::wstring& code : shippedCodes()) {
        Loaded loaded = load(code);
        for (const wchar_t* key : spaced) {
            const std::wstring& text = loaded.texts[{L"Statistics", key}];
            EXPECT_TRUE(text.size() > 1 && text[0] == L' ' && text[1] != L' ')
                << code << L" " << key;
        }
        const std::wstring& before = loaded.texts[{L"Statistics", L"lastSpeed.title.1"}];
        EXPECT_TRUE(!before.empty() && before.back() == L' ') << code;
        for (const auto& [key, text] : loaded.texts) {
            EXPECT_EQ(text.find_first_of(L"\r\n\t<>\""), std::wstring::npos)
                << code << L" " << key.second;
            // Only menu items and buttons have an access letter.
            const bool accessed = key.first == L"MainMenu" ? key.second != L"pausedTip"
                                                           : key.second.rfind(L"Button.", 0) == 0;
            EXPECT_EQ(text.find(L'&') != std::wstring::npos, accessed)
                << code << L" " << key.second;
        }
        names.insert(loaded.texts[{L"Locale", L"languageName"}]);
    }
    EXPECT_EQ(names.size(), shippedCodes().size()) << "every language has a name of its own";
}

// Alt and a letter choose a menu item: in every language each item of the
// tray menu has one letter of its own.
TEST(LanguageFiles, EveryTrayMenuItemHasAnAccessLetterOfItsOwn) {
    for (const std::wstring& code : shippedCodes()) {
        std::set<wchar_t> letters;
        for (const auto& [key, text] : load(code).texts) {
            if (key.first != L"MainMenu" || key.second == L"pausedTip")
                continue;
            const size_t mark = text.find(L'&');
            ASSERT_TRUE(mark != std::wstring::npos && mark + 1 < text.size())
                << code << L" " << key.second;
            EXPECT_EQ(text.find(L'&', mark + 1), std::wstring::npos) << code << L" " << key.second;
            const wchar_t letter = static_cast<wchar_t>(std::towlower(text[mark + 1]));
            EXPECT_TRUE(letters.insert(letter).second)
                << code << L": the letter of " << key.second << L" is taken";
        }
    }
}

TEST(LanguageFiles, AreNamedAsThePlatformAbbreviatesTheirLanguages) {
    const std::pair<LCID, const wchar_t*> languages[] = {{1033, L"ENU"}, {1049, L"RUS"},
                                                         {1031, L"DEU"}, {1036, L"FRA"},
                                                         {1034, L"ESP"}, {1058, L"UKR"}};
    for (const auto& [id, code] : languages)
        EXPECT_EQ(Locale(id).toString(), code) << id;
}

TEST(LanguageFiles, TheManagerSwitchesThroughAllOfThem) {
    testing::TestSettings settings;
    setFolderOverrides(testing::sourceFolder() + L"\\data", settings.folder().path());
    Settings::instance()->l10nLanguageCode = L"RUS";
    LocalizationManager::reload();
    LocalizationManager* manager = LocalizationManager::instance();
    EXPECT_EQ(manager->getBundle(L"MainMenu").getString(L"exit"),
              L"&\x0412\x044B\x0445\x043E\x0434");

    auto languages = manager->getLanguages();
    EXPECT_EQ(languages.size(), 6u);
    for (const auto& [name, code] : languages) {
        EXPECT_NE(name, L"-") << code;
        manager->setLocale(Locale(code));
        EXPECT_EQ(manager->getCurrentLocale().toString(), code);
        EXPECT_EQ(Settings::instance()->l10nLanguageCode, code);
        EXPECT_EQ(manager->getBundle(L"Locale").getString(L"languageName"), name);
    }
    manager->setLocale(Locale(L"ENU"));
    EXPECT_EQ(manager->getBundle(L"MainMenu").getString(L"exit"), L"E&xit");
    EXPECT_EQ(manager->getBundle(L"Statistics").getString(L"speed.unit"), L" sym/min");
    LocalizationManager::destroyInstance();
}

} // namespace
} // namespace keywhirl

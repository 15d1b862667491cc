// tests/unit/localization/InstalledLanguagesTest.cpp
#include "localization/InstalledLanguages.h"
#include "localization/ResourceLoader.h"

#include "LanguageFolder.h"
#include "TestFiles.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>

#include <windows.h>

namespace keywhirl {
namespace {

using testing::writeBytes;

std::vector<std::wstring> sorted(std::vector<std::wstring> codes) {
    std::sort(codes.begin(), codes.end());
    return codes;
}

class InstalledLanguagesTest : public testing::LanguageFolder {
protected:
    std::wstring folder() const { return localizationFolder() + L"\\"; }
};

TEST_F(InstalledLanguagesTest, TakesTheBaseNamesOfXmlFiles) {
    writeBytes(folder() + L"ENU.xml", "x");
    writeBytes(folder() + L"RUS.XML", "x");
    writeBytes(folder() + L"de-CH.xml", "x");
    writeBytes(folder() + L"notes.txt", "x");
    writeBytes(folder() + L"ENU.xml.bak", "x");
    writeBytes(folder() + L".xml", "x");
    ::CreateDirectoryW((folder() + L"DIR.xml").c_str(), nullptr);
    writeBytes(folder() + L"RO.xml", "x");
    ::SetFileAttributesW((folder() + L"RO.xml").c_str(), FILE_ATTRIBUTE_READONLY);
    writeBytes(folder() + L"HID.xml", "x");
    ::SetFileAttributesW((folder() + L"HID.xml").c_str(), FILE_ATTRIBUTE_HIDDEN);

    EXPECT_EQ(sorted(InstalledLanguages::scan(folder())),
              (std::vector<std::wstring>{L"ENU", L"HID", L"RO", L"RUS", L"de-CH"}))
        << "a folder has none of the attributes a file has";
    ::SetFileAttributesW((folder() + L"RO.xml").c_str(), FILE_ATTRIBUTE_NORMAL);
}

TEST_F(InstalledLanguagesTest, FilesOverAMegabyteAreNotLanguages) {
    writeBytes(folder() + L"ENU.xml", std::string(1024 * 1024, 'x'));
    writeBytes(folder() + L"BIG.xml", std::string(1024 * 1024 + 1, 'x'));
    // 20 MB, as a hostile folder might hold hundreds of.
    HANDLE huge = ::CreateFileW((folder() + L"HUGE.xml").c_str(), GENERIC_WRITE, 0, nullptr,
                                CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(huge, INVALID_HANDLE_VALUE);
    ::SetFilePointer(huge, 20 * 1024 * 1024, nullptr, FILE_BEGIN);
    ::SetEndOfFile(huge);
    ::CloseHandle(huge);
    EXPECT_EQ(InstalledLanguages::scan(folder()), std::vector<std::wstring>{L"ENU"});
}

TEST_F(InstalledLanguagesTest, AMissingFolderHasNoLanguages) {
    EXPECT_TRUE(InstalledLanguages::scan(folder() + L"missing\\").empty());
}

TEST_F(InstalledLanguagesTest, TheListIsReadOnceAndAgainOnlyOnRequest) {
    writeBytes(folder() + L"ENU.xml", "x");
    InstalledLanguages::rescan();
    writeBytes(folder() + L"RUS.xml", "x");
    EXPECT_EQ(InstalledLanguages::codes(), std::vector<std::wstring>{L"ENU"});
    InstalledLanguages::rescan();
    EXPECT_EQ(sorted(InstalledLanguages::codes()), (std::vector<std::wstring>{L"ENU", L"RUS"}));
}

TEST(ResourceLoaderChoice, PrefersTheRequestedThenTheFallbackThenTheFirstInstalled) {
    struct Case {
        const wchar_t* requested;
        const wchar_t* fallback;
        std::vector<std::wstring> installed;
        const wchar_t* chosen;
    } cases[] = {
        {L"RUS", L"ENU", {L"ENU", L"RUS"}, L"RUS"},
        {L"DEU", L"ENU", {L"RUS", L"ENU"}, L"ENU"},
        {L"DEU", L"ENU", {L"RUS", L"FRA"}, L"RUS"},
        {L"rus", L"ENU", {L"RUS", L"ENU"}, L"ENU"}, // exact, case-sensitive
        {L"DEU", L"ENU", {}, L"ENU"},               // nothing installed: keep the fallback
        {L"", L"ENU", {L"ENU"}, L"ENU"},
        {L"", L"", {L"FRA"}, L"FRA"},
        {L"RUS", L"RUS", {L"UKR"}, L"UKR"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(
            ResourceLoader::choose(Locale(c.requested), Locale(c.fallback), c.installed).toString(),
            c.chosen)
            << c.requested << L" / " << c.fallback;
    }
}

class ResourceLoaderTest : public testing::LanguageFolder {};

TEST_F(ResourceLoaderTest, LoadsIntoTheMapWithoutEmptyingIt) {
    addLanguage(L"DEU", {{L"Statistics", {{L"title", L"Statistik"}, {L"unit", L" Zeichen"}}},
                         {L"Locale", {{L"languageName", L"Deutsch"}}}});
    InstalledLanguages::rescan();
    std::map<std::wstring, ResourceBundle> bundles;
    bundles[L"Statistics"].setString(L"old", L"old text");
    bundles[L"MainMenu"].setString(L"exit", L"Exit");

    ResourceLoader loader(Locale(L"DEU"), Locale(L"ENU"));
    EXPECT_EQ(loader.getLocale().toString(), L"DEU");
    loader.load(bundles);
    EXPECT_EQ(bundles.size(), 3u);
    EXPECT_EQ(bundles[L"Statistics"].getString(L"unit"), L" Zeichen");
    EXPECT_EQ(bundles[L"Statistics"].getString(L"old"), L"") << "replaced as a whole";
    EXPECT_EQ(bundles[L"MainMenu"].getString(L"exit"), L"Exit");
    EXPECT_EQ(bundles[L"Locale"].getString(L"languageName"), L"Deutsch");
}

TEST_F(ResourceLoaderTest, AMissingFileLeavesTheMapAlone) {
    InstalledLanguages::rescan();
    std::map<std::wstring, ResourceBundle> bundles;
    bundles[L"MainMenu"].setString(L"exit", L"Exit");
    ResourceLoader(Locale(L"DEU"), Locale(L"ENU")).load(bundles);
    EXPECT_EQ(bundles.size(), 1u);
    EXPECT_EQ(bundles[L"MainMenu"].getString(L"exit"), L"Exit");
}

TEST(ResourceBundle, CopiesAreIndependent) {
    ResourceBundle bundle;
    bundle.setString(L"k", L"one");
    ResourceBundle copy = bundle;
    copy.setString(L"k", L"two");
    EXPECT_EQ(bundle.getString(L"k"), L"one");
    EXPECT_EQ(copy.getString(L"k"), L"two");
    EXPECT_EQ(copy.getString(L"K"), L"");
}

} // namespace
} // namespace keywhirl

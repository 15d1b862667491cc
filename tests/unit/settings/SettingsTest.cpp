// tests/unit/settings/SettingsTest.cpp
#include "settings/Settings.h"

#include "settings/Paths.h"
#include "settings/ReadBackStorage.h"

#include "IniFileTestSupport.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <cwchar>
#include <fstream>

namespace keywhirl {
namespace {

using testing::fileExists;
using testing::iniKeys;
using testing::iniValue;
using testing::writeIniText;

const std::vector<std::wstring> tableOrder = {L"keyboardAutoPopupping",
                                              L"keyboardWaitInterval",
                                              L"metronomeRunning",
                                              L"metronomeInterval",
                                              L"keyboardOpacity",
                                              L"statisticsOpacity",
                                              L"enableKeyPressSound",
                                              L"showShortStatistics",
                                              L"setOpaqueStatisticsOnHover",
                                              L"keyboardPosX",
                                              L"keyboardPosY",
                                              L"keyboardIsVisible",
                                              L"autoRun",
                                              L"statTopRed",
                                              L"statTopGreen",
                                              L"statTopBlue",
                                              L"statBottomRed",
                                              L"statBottomGreen",
                                              L"statBottomBlue",
                                              L"l10nLanguageCode",
                                              L"showWeakKeys",
                                              L"speedUnit",
                                              L"ignoredPrograms",
                                              L"keyboardFollowsTyping"};

std::vector<std::wstring> valuesInOrder(const std::wstring& file) {
    std::vector<std::wstring> values;
    for (const std::wstring& key : iniKeys(file, L"Settings"))
        values.push_back(iniValue(file, L"Settings", key));
    return values;
}

TEST(Settings, SavedDefaultsAreTheKnownFileInTableOrder) {
    testing::TempFolder temp;
    const std::wstring file = temp.file(L"Keywhirl.ini");
    { Settings settings(file, L"Settings"); }
    EXPECT_EQ(iniKeys(file, L"Settings"), tableOrder);
    EXPECT_EQ(valuesInOrder(file),
              (std::vector<std::wstring>{
                  L"FALSE", L"3000",  L"FALSE", L"500",  L"225",   L"200", L"FALSE", L"TRUE",
                  L"TRUE",  L"-1024", L"-1024", L"TRUE", L"TRUE",  L"152", L"229",   L"255",
                  L"193",   L"241",   L"255",   L"",     L"FALSE", L"0",   L"",      L"TRUE"}));
}

TEST(Settings, ChangedValuesSurviveASaveAndLoad) {
    testing::TempFolder temp;
    const std::wstring file = temp.file(L"Keywhirl.ini");
    {
        Settings settings(file, L"Settings");
        settings.keyboardAutoPopupping = true;
        settings.keyboardWaitInterval = 1234;
        settings.metronomeRunning = true;
        settings.metronomeInterval = 250;
        settings.keyboardOpacity = Settings::MinimumOpacity;
        settings.statisticsOpacity = 255;
        settings.enableKeyPressSound = true;
        settings.showShortStatistics = false;
        settings.setOpaqueStatisticsOnHover = false;
        settings.keyboardPosX = -3000;
        settings.keyboardPosY = 2147483647;
        settings.keyboardIsVisible = false;
        settings.autoRun = false;
        settings.statTopRed = 0;
        settings.statTopGreen = 1;
        settings.statTopBlue = 2;
        settings.statBottomRed = 3;
        settings.statBottomGreen = 4;
        settings.statBottomBlue = 5;
        settings.l10nLanguageCode = L"RUS";
        settings.showWeakKeys = true;
        settings.speedUnit = 1;
        settings.keyboardFollowsTyping = false;
    }
    Settings loaded(file, L"Settings");
    EXPECT_TRUE(loaded.keyboardAutoPopupping);
    EXPECT_EQ(loaded.keyboardWaitInterval, 1234u);
    EXPECT_TRUE(loaded.metronomeRunning);
    EXPECT_EQ(loaded.metronomeInterval, 250u);
    EXPECT_EQ(loaded.keyboardOpacity, Settings::MinimumOpacity);
    EXPECT_EQ(loaded.statisticsOpacity, 255);
    EXPECT_TRUE(loaded.enableKeyPressSound);
    EXPECT_FALSE(loaded.showShortStatistics);
    EXPECT_FALSE(loaded.setOpaqueStatisticsOnHover);
    EXPECT_EQ(loaded.keyboardPosX, -3000);
    EXPECT_EQ(loaded.keyboardPosY, 2147483647);
    EXPECT_FALSE(loaded.keyboardIsVisible);
    EXPECT_FALSE(loaded.autoRun);
    EXPECT_EQ(loaded.statTopRed, 0);
    EXPECT_EQ(loaded.statTopGreen, 1);
    EXPECT_EQ(loaded.statTopBlue, 2);
    EXPECT_EQ(loaded.statBottomRed, 3);
    EXPECT_EQ(loaded.statBottomGreen, 4);
    EXPECT_EQ(loaded.statBottomBlue, 5);
    EXPECT_EQ(loaded.l10nLanguageCode, L"RUS");
    EXPECT_TRUE(loaded.showWeakKeys);
    EXPECT_EQ(loaded.speedUnit, 1u);
    EXPECT_FALSE(loaded.keyboardFollowsTyping);
}

TEST(Settings, OddStoredValuesLoadByTheTextRules) {
    testing::TempFolder temp;
    const std::wstring file = temp.file(L"Keywhirl.ini");
    writeIniText(file, L"[Settings]\r\n"
                       L"keyboardOpacity=300\r\n"
                       L"statisticsOpacity=-1\r\n"
                       L"metronomeInterval=0\r\n"
                       L"keyboardWaitInterval=2500ms\r\n"
                       L"keyboardAutoPopupping=true\r\n"
                       L"autoRun=\r\n"
                       L"showShortStatistics=1\r\n"
                       L"keyboardPosX=\r\n"
                       L"keyboardPosY=abc\r\n"
                       L"statTopRed=256\r\n");
    Settings settings(file, L"Settings");
    EXPECT_EQ(settings.keyboardOpacity, 255) << "held to the range, never wrapped";
    EXPECT_EQ(settings.statisticsOpacity, Settings::MinimumOpacity);
    EXPECT_EQ(settings.metronomeInterval, 500u) << "0 would be divided by";
    EXPECT_EQ(settings.keyboardWaitInterval, 2500u);
    EXPECT_FALSE(settings.keyboardAutoPopupping);
    EXPECT_FALSE(settings.autoRun) << "present but empty is not TRUE, whatever the default";
    EXPECT_FALSE(settings.showShortStatistics);
    EXPECT_EQ(settings.keyboardPosX, -1024);
    EXPECT_EQ(settings.keyboardPosY, -1024);
    EXPECT_EQ(settings.statTopRed, 0);
    EXPECT_TRUE(settings.keyboardIsVisible) << "absent: its default";
    EXPECT_TRUE(settings.l10nLanguageCode.empty());
}

TEST(Settings, IgnoredProgramsAreCleanedWhenReadAndWritten) {
    const struct {
        const wchar_t* stored;
        std::vector<std::wstring> programs;
        const wchar_t* written;
    } rows[] = {
        {L"game.exe|Slides.exe", {L"game.exe", L"Slides.exe"}, L"game.exe|Slides.exe"},
        {L" game.exe |  | tool.exe|", {L"game.exe", L"tool.exe"}, L"game.exe|tool.exe"},
        {L"Game.exe|GAME.EXE|game.exe", {L"Game.exe"}, L"Game.exe"},
        {L"|||", {}, L""},
    };
    for (const auto& row : rows) {
        testing::TempFolder temp;
        const std::wstring file = temp.file(L"Keywhirl.ini");
        writeIniText(file, std::wstring(L"[Settings]\r\nignoredPrograms=") + row.stored + L"\r\n");
        {
            Settings settings(file, L"Settings");
            EXPECT_EQ(settings.ignoredPrograms, row.programs) << row.stored;
        }
        EXPECT_EQ(iniValue(file, L"Settings", L"ignoredPrograms"), row.written) << row.stored;
    }
    // Names added in memory are cleaned by the same rule when written.
    testing::TempFolder temp;
    const std::wstring file = temp.file(L"Keywhirl.ini");
    {
        Settings settings(file, L"Settings");
        settings.ignoredPrograms = {L"a.exe", L" ", L"A.EXE", L"b.exe"};
    }
    EXPECT_EQ(iniValue(file, L"Settings", L"ignoredPrograms"), L"a.exe|b.exe");
}

TEST(Settings, OpacitiesOutOfRangeAreHeldToItWhenRead) {
    struct Case {
        const wchar_t* stored;
        unsigned char loaded;
    };
    const Case cases[] = {{L"0", Settings::MinimumOpacity},
                          {L"1", Settings::MinimumOpacity},
                          {L"19", Settings::MinimumOpacity},
                          {L"20", 20},
                          {L"21", 21},
                          {L"255", 255},
                          {L"256", 255},
                          {L"300", 255},
                          {L"-5", Settings::MinimumOpacity}};
    testing::TempFolder temp;
    const std::wstring file = temp.file(L"Keywhirl.ini");
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.stored, c.stored + std::wcslen(c.stored)));
        writeIniText(file, std::wstring(L"[Settings]\r\nkeyboardOpacity=") + c.stored +
                               L"\r\nstatisticsOpacity=" + c.stored + L"\r\n");
        Settings settings(L"", L"Settings");
        Duvuzora::CSettingsStorageIniFile stored(file.c_str(), L"Settings");
        ASSERT_TRUE(settings.Load(stored));
        EXPECT_EQ(settings.keyboardOpacity, c.loaded);
        EXPECT_EQ(settings.statisticsOpacity, c.loaded);
    }
}

// The profile functions may lose a file's end on a full disk and still
// report success: a save is only trusted once it reads back.
TEST(Settings, ASavedFileIsTrustedOnlyWhenItReadsBack) {
    testing::TempFolder temp;
    const std::wstring file = temp.file(L"Keywhirl.ini");
    Settings settings(L"", L"Settings");
    settings.l10nLanguageCode = L"DEU";
    settings.showWeakKeys = true; // the last key: "TRUE" cut short reads as false
    Duvuzora::CSettingsStorageIniFile stored(file.c_str(), L"Settings");
    ReadBackStorage readBack(stored);
    ASSERT_TRUE(settings.Save(stored));
    EXPECT_TRUE(settings.Save(readBack));
    std::vector<char> whole;
    ASSERT_EQ(readFileBytes(file, whole), 0);

    for (size_t cut : {size_t(3), whole.size() / 2}) {
        SCOPED_TRACE(cut);
        std::ofstream(file.c_str(), std::ios::binary | std::ios::trunc)
            .write(whole.data(), std::streamsize(whole.size() - cut));
        EXPECT_FALSE(settings.Save(readBack));
    }
    std::ofstream(file.c_str(), std::ios::binary | std::ios::trunc)
        .write(whole.data(), std::streamsize(whole.size()));
    settings.autoRun = !settings.autoRun.load();
    EXPECT_FALSE(settings.Save(readBack)) << "a value that differs";
}

TEST(Settings, LanguageCodeHasNoDefault) {
    testing::TempFolder temp;
    const std::wstring file = temp.file(L"Keywhirl.ini");
    writeIniText(file, L"[Settings]\r\nl10nLanguageCode=ENU\r\nkeyboardOpacity=9\r\n");
    Settings settings(file, L"Settings");
    EXPECT_EQ(settings.l10nLanguageCode, L"ENU");

    Duvuzora::CSettingsStorageIniFile elsewhere(temp.file(L"none.ini").c_str(), L"Settings");
    settings.ExchangeSettings(true, elsewhere, false, true);
    EXPECT_EQ(settings.keyboardOpacity, 225);
    EXPECT_EQ(settings.l10nLanguageCode, L"ENU") << "resetting to defaults leaves it";
    settings.keyboardOpacity = 9;
    EXPECT_TRUE(settings.Load(elsewhere));
    EXPECT_EQ(settings.keyboardOpacity, 225);
    EXPECT_EQ(settings.l10nLanguageCode, L"ENU") << "a failed load leaves it";
}

TEST(Settings, AnUnboundObjectHoldsDefaultsAndWritesNothing) {
    Settings settings(L"", L"Settings");
    EXPECT_EQ(settings.metronomeInterval, 500u);
    EXPECT_TRUE(settings.autoRun);
    Duvuzora::CSettingsStorageIniFile nowhere(L"", L"Settings");
    EXPECT_FALSE(settings.Save(nowhere));
}

class SettingsInstance : public ::testing::Test {
protected:
    void SetUp() override {
        Settings::destroyInstance();
        setFolderOverrides(L"", temp.path());
    }
    void TearDown() override {
        Settings::destroyInstance();
        resetFolderOverrides();
    }
    std::wstring iniFile() const { return temp.path() + L"\\Keywhirl\\Keywhirl.ini"; }

    testing::TempFolder temp;
};

TEST_F(SettingsInstance, FirstRunCreatesTheFolderAndWritesTheFileWhenDestroyed) {
    Settings* settings = Settings::instance();
    ASSERT_NE(settings, nullptr);
    EXPECT_EQ(Settings::instance(), settings) << "one object";
    EXPECT_TRUE(fileExists(temp.path() + L"\\Keywhirl"));
    EXPECT_FALSE(fileExists(iniFile())) << "written only at the end";
    EXPECT_EQ(settings->keyboardWaitInterval, 3000u);

    settings->keyboardWaitInterval = 4500;
    settings->l10nLanguageCode = L"RUS";
    Settings::destroyInstance();
    ASSERT_TRUE(fileExists(iniFile()));
    EXPECT_EQ(iniKeys(iniFile(), L"Settings"), tableOrder);
    EXPECT_EQ(iniValue(iniFile(), L"Settings", L"keyboardWaitInterval"), L"4500");

    Settings::destroyInstance(); // nothing left: does nothing
    Settings* fresh = Settings::instance();
    EXPECT_EQ(fresh->keyboardWaitInterval, 4500u) << "a fresh object reads the file anew";
    EXPECT_EQ(fresh->l10nLanguageCode, L"RUS");
}

TEST_F(SettingsInstance, AnExistingFolderAndFileAreUsed) {
    ASSERT_TRUE(::CreateDirectoryW((temp.path() + L"\\Keywhirl").c_str(), nullptr));
    writeIniText(iniFile(), L"[Settings]\r\nkeyboardPosX=17\r\n[Other]\r\nkeep=me\r\n");
    EXPECT_EQ(Settings::instance()->keyboardPosX, 17);
    Settings::destroyInstance();
    EXPECT_EQ(iniValue(iniFile(), L"Other", L"keep"), L"me");
    EXPECT_EQ(iniValue(iniFile(), L"Settings", L"keyboardPosX"), L"17");
}

TEST_F(SettingsInstance, SavingGoesThroughATemporaryThatIsGoneAfterwards) {
    ASSERT_TRUE(::CreateDirectoryW((temp.path() + L"\\Keywhirl").c_str(), nullptr));
    const std::wstring leftOver = iniFile() + L".tmp";
    writeIniText(iniFile(), L"[Settings]\r\nkeyboardWaitInterval=1500\r\n");
    // A crash in the middle of the last save left half a temporary.
    writeIniText(leftOver, L"[Settings]\r\nkeyboardWaitInt");
    EXPECT_EQ(Settings::instance()->keyboardWaitInterval, 1500u) << "the temporary is not read";
    EXPECT_FALSE(fileExists(leftOver)) << "cleaned up at start";
    Settings::instance()->keyboardWaitInterval = 2000;
    Settings::destroyInstance();
    EXPECT_FALSE(fileExists(leftOver));
    EXPECT_EQ(iniKeys(iniFile(), L"Settings").size(), tableOrder.size());
    EXPECT_EQ(iniValue(iniFile(), L"Settings", L"keyboardWaitInterval"), L"2000");
}

TEST_F(SettingsInstance, ASaveThatCannotBeWrittenLeavesTheOldFileWhole) {
    ASSERT_TRUE(::CreateDirectoryW((temp.path() + L"\\Keywhirl").c_str(), nullptr));
    const std::wstring before = L"[Settings]\r\nkeyboardWaitInterval=1500\r\nautoRun=FALSE\r\n";
    writeIniText(iniFile(), before);
    std::vector<char> oldBytes;
    ASSERT_EQ(readFileBytes(iniFile(), oldBytes), 0);
    Settings::instance()->keyboardWaitInterval = 2000;
    // The temporary's place is taken by a folder after the start's clean-up.
    ASSERT_TRUE(::CreateDirectoryW((iniFile() + L".tmp").c_str(), nullptr));
    Settings::destroyInstance();
    std::vector<char> newBytes;
    ASSERT_EQ(readFileBytes(iniFile(), newBytes), 0);
    EXPECT_EQ(newBytes, oldBytes);
    ::RemoveDirectoryW((iniFile() + L".tmp").c_str());
}

TEST_F(SettingsInstance, AnApplicationDataFolderThatCannotBeUsedGivesDefaults) {
    setFolderOverrides(L"", temp.path() + L"\\missing\\deeper");
    Settings* settings = Settings::instance();
    EXPECT_EQ(settings->metronomeInterval, 500u);
    Settings::destroyInstance(); // the save fails quietly
    EXPECT_FALSE(fileExists(temp.path() + L"\\missing"));
}

} // namespace
} // namespace keywhirl

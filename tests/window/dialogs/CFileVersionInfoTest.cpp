// tests/window/dialogs/CFileVersionInfoTest.cpp - reading the version resource; this test
// program carries the program's resources, version included.
#include "about/CFileVersionInfo.h"

#include "support/TempFolder.h"

#include "KeywhirlVersion.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <vector>

namespace keywhirl {
namespace {

using Translation = CFileVersionInfo::Translation;

TEST(CFileVersionInfo, ReadsTheStringsAndTheFixedBlockOfTheProgram) {
    CFileVersionInfo info;
    EXPECT_EQ(L"", info.GetProductVersion());
    EXPECT_EQ(0u, info.GetFixedFileInfo().dwSignature);
    ASSERT_TRUE(info.Open());

    // The project version, the one the user reads everywhere.
    EXPECT_EQ(KEYWHIRL_VERSION_WIDE, info.GetProductVersion());
    EXPECT_EQ(KEYWHIRL_VERSION_WIDE, info.GetFileVersion());
    EXPECT_EQ(L"Keywhirl", info.GetProductName());
    EXPECT_EQ(L"Keywhirl", info.GetInternalName());
    EXPECT_EQ(L"The Keywhirl team", info.GetCompanyName());
    EXPECT_EQ(L"Keywhirl typing companion", info.GetFileDescription());
    // The resource spells it "OriginalFilename": names are not case-sensitive.
    EXPECT_EQ(L"Keywhirl.exe", info.GetOriginalFileName());
    EXPECT_FALSE(info.GetLegalCopyright().empty());
    EXPECT_FALSE(info.GetComments().empty());
    // Not in the resource.
    EXPECT_EQ(L"", info.GetLegalTrademarks());
    EXPECT_EQ(L"", info.GetPrivateBuild());
    EXPECT_EQ(L"", info.GetSpecialBuild());

    EXPECT_EQ(0xFEEF04BDu, info.GetFixedFileInfo().dwSignature);
    EXPECT_EQ((std::array<WORD, 4>{KEYWHIRL_VERSION_MAJOR, KEYWHIRL_VERSION_MINOR,
                                   KEYWHIRL_VERSION_PATCH, 0}),
              info.GetFixedProductVersion());
}

TEST(CFileVersionInfo, AFileWithoutVersionLeavesEverythingEmpty) {
    testing::TempFolder folder;
    const std::wstring path = folder.file(L"plain.dll");
    FILE* file = ::_wfopen(path.c_str(), L"wb");
    ASSERT_NE(nullptr, file);
    std::fputs("not a program file", file);
    std::fclose(file);

    CFileVersionInfo info;
    ASSERT_TRUE(info.Open());
    EXPECT_FALSE(info.Open(path));
    EXPECT_EQ(L"", info.GetProductVersion());
    EXPECT_EQ(L"", info.GetCompanyName());
    EXPECT_EQ(0u, info.GetFixedFileInfo().dwSignature);
    EXPECT_EQ((std::array<WORD, 4>{0, 0, 0, 0}), info.GetFixedProductVersion());

    EXPECT_FALSE(info.Open(folder.file(L"missing.exe")));
}

TEST(CFileVersionInfo, ChoosesTheTranslationThatSuitsTheUserBest) {
    const LANGID russian = MAKELANGID(LANG_RUSSIAN, SUBLANG_DEFAULT);
    const LANGID german = MAKELANGID(LANG_GERMAN, SUBLANG_GERMAN);
    const LANGID swissGerman = MAKELANGID(LANG_GERMAN, SUBLANG_GERMAN_SWISS);
    const LANGID english = MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US);
    const LANGID britishEnglish = MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_UK);
    const LANGID neutral = MAKELANGID(LANG_NEUTRAL, SUBLANG_NEUTRAL);
    const LANGID french = MAKELANGID(LANG_FRENCH, SUBLANG_FRENCH);
    const struct {
        std::vector<Translation> translations;
        LANGID user;
        int expected;
    } cases[] = {
        {{}, russian, -1},
        // The user's language exactly, before the same primary language.
        {{{swissGerman, 1200}, {german, 1200}}, german, 1},
        {{{english, 1252}, {swissGerman, 1200}}, german, 1},
        // A neutral one before English.
        {{{english, 1200}, {neutral, 1200}}, russian, 1},
        {{{french, 1200}, {britishEnglish, 1200}}, russian, 1},
        {{{french, 1200}, {german, 1200}}, russian, 0},
        // Among equals the first.
        {{{russian, 1251}, {russian, 1200}}, russian, 0},
    };
    for (std::size_t index = 0; index < sizeof(cases) / sizeof(cases[0]); ++index) {
        EXPECT_EQ(cases[index].expected,
                  CFileVersionInfo::ChooseTranslation(cases[index].translations, cases[index].user))
            << "case " << index;
    }
}

} // namespace
} // namespace keywhirl

// tests/unit/settings/HelpFileTest.cpp - the help in the interface language, English otherwise.
#include "settings/Paths.h"

#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <string>

namespace keywhirl {
namespace {

void touch(const std::wstring& path) {
    HANDLE file = ::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    ::CloseHandle(file);
}

TEST(HelpFile, TheInterfaceLanguagesHelpIfThereIsOneElseTheEnglishOne) {
    testing::TempFolder folder;
    const std::wstring program = folder.path() + L"\\Keywhirl.exe";
    touch(folder.path() + L"\\Keywhirl.chm");
    touch(folder.path() + L"\\Keywhirl.RUS.chm");
    ::CreateDirectoryW((folder.path() + L"\\Keywhirl.DEU.chm").c_str(), nullptr);
    const std::wstring english = folder.path() + L"\\Keywhirl.CHM";

    struct Case {
        const wchar_t* code;
        std::wstring expected;
    };
    const Case cases[] = {
        {L"RUS", folder.path() + L"\\Keywhirl.RUS.chm"},
        {L"ENU", english},
        {L"FRA", english},     // no help of its own
        {L"DEU", english},     // a folder of that name is no help file
        {L"", english},        // no language chosen
        {L"..\\RUS", english}, // a code never leads out of the folder
        {L"RUS.chm\\..", english},
    };
    for (const Case& c : cases)
        EXPECT_EQ(helpFileFor(program, c.code), c.expected) << std::wstring(c.code).size();
}

} // namespace
} // namespace keywhirl

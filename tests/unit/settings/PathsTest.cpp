// tests/unit/settings/PathsTest.cpp
#include "settings/FileResources.h"
#include "settings/Paths.h"

#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <cerrno>
#include <fstream>

namespace keywhirl {
namespace {

void writeBytes(const std::wstring& path, const std::string& bytes) {
    HANDLE file = ::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    DWORD written = 0;
    ::WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    ::CloseHandle(file);
}

TEST(ReadFileBytes, ReadsTheWholeFileIncludingZeroBytes) {
    testing::TempFolder temp;
    std::string contents("RIFF\0\x01\x02\xff\r\n\x1a tail", 16);
    writeBytes(temp.file(L"sound.wav"), contents);
    std::vector<char> bytes = {'o', 'l', 'd'};
    EXPECT_EQ(readFileBytes(temp.file(L"sound.wav"), bytes), 0);
    EXPECT_EQ(std::string(bytes.begin(), bytes.end()), contents) << "binary mode, no text mangling";
}

TEST(ReadFileBytes, EmptyFileGivesNoBytesAndSucceeds) {
    testing::TempFolder temp;
    writeBytes(temp.file(L"empty.wav"), std::string());
    std::vector<char> bytes = {'x'};
    EXPECT_EQ(readFileBytes(temp.file(L"empty.wav"), bytes), 0);
    EXPECT_TRUE(bytes.empty());
}

TEST(ReadFileBytes, MissingFileOrFolderReportsTheErrorAndLeavesNoBytes) {
    testing::TempFolder temp;
    std::vector<char> bytes = {'x'};
    EXPECT_EQ(readFileBytes(temp.file(L"absent.wav"), bytes), ENOENT);
    EXPECT_TRUE(bytes.empty());
    bytes = {'y'};
    EXPECT_NE(readFileBytes(temp.path(), bytes), 0) << "a folder is not a file";
    EXPECT_TRUE(bytes.empty());
}

TEST(ToLongPath, ExpandsShortNamesAndRejectsMissingPaths) {
    testing::TempFolder temp;
    std::wstring longName = temp.file(L"A rather long folder name");
    ASSERT_TRUE(::CreateDirectoryW(longName.c_str(), nullptr));
    wchar_t shortName[MAX_PATH] = {};
    ASSERT_NE(::GetShortPathNameW(longName.c_str(), shortName, MAX_PATH), 0u);
    EXPECT_EQ(toLongPath(shortName), toLongPath(longName));
    EXPECT_NE(toLongPath(longName).find(L"A rather long folder name"), std::wstring::npos);
    EXPECT_EQ(toLongPath(temp.file(L"absent")), L"");
}

TEST(Folders, RealFoldersExistAndHaveNoTrailingBackslash) {
    resetFolderOverrides();
    std::wstring program = getProgramFolder();
    std::wstring appData = getAppDataFolder();
    ASSERT_FALSE(program.empty());
    ASSERT_FALSE(appData.empty());
    EXPECT_NE(program.back(), L'\\');
    EXPECT_NE(appData.back(), L'\\');
    EXPECT_NE(::GetFileAttributesW(program.c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_NE(::GetFileAttributesW(appData.c_str()), INVALID_FILE_ATTRIBUTES);

    wchar_t module[MAX_PATH + 1] = {};
    ::GetModuleFileNameW(nullptr, module, MAX_PATH + 1);
    EXPECT_EQ(toLongPath(module).rfind(program + L"\\", 0), 0u) << "the program file's folder";
    EXPECT_EQ(getLocalizationFolder(), program + L"\\Localization\\");
}

TEST(Folders, OverridesRedirectBothFoldersAndTheLocalizationFolder) {
    setFolderOverrides(L"C:\\prog", L"C:\\data");
    EXPECT_EQ(getProgramFolder(), L"C:\\prog");
    EXPECT_EQ(getAppDataFolder(), L"C:\\data");
    EXPECT_EQ(getLocalizationFolder(), L"C:\\prog\\Localization\\");

    setFolderOverrides(L"", L"C:\\data");
    std::wstring realProgram = getProgramFolder();
    EXPECT_NE(realProgram, L"C:\\prog") << "empty keeps the real folder";
    EXPECT_EQ(getLocalizationFolder(), realProgram + L"\\Localization\\");

    resetFolderOverrides();
    EXPECT_NE(getAppDataFolder(), L"C:\\data");
}

TEST(HelpFile, IsTheProgramFileWithTheExtensionChm) {
    struct Case {
        const wchar_t* program;
        const wchar_t* help;
    };
    const Case cases[] = {
        {L"C:\\Program Files\\Keywhirl\\Keywhirl.exe",
         L"C:\\Program Files\\Keywhirl\\Keywhirl.CHM"},
        {L"C:\\Tools.v2\\Keywhirl.exe", L"C:\\Tools.v2\\Keywhirl.CHM"},
        {L"C:\\Tools.v2\\Keywhirl", L"C:\\Tools.v2\\Keywhirl.CHM"}, // a dot only in a folder
        {L"\\\\server\\share\\kw.1.exe", L"\\\\server\\share\\kw.1.CHM"},
        {L"Keywhirl.exe", L"Keywhirl.CHM"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(helpFileFor(c.program, L""), c.help);
}

class FileResourcesTest : public ::testing::Test {
protected:
    void SetUp() override {
        FileResources::destroyInstance();
        setFolderOverrides(temp.path(), L"");
    }
    void TearDown() override {
        FileResources::destroyInstance();
        resetFolderOverrides();
    }
    testing::TempFolder temp;
};

TEST_F(FileResourcesTest, HoldsBothSoundFilesFromTheProgramFolder) {
    ASSERT_TRUE(::CreateDirectoryW(temp.file(L"Sounds").c_str(), nullptr));
    writeBytes(temp.file(L"Sounds\\Metronome.wav"), "tick-tock");
    writeBytes(temp.file(L"Sounds\\Click.wav"), "click");
    FileResources* resources = FileResources::instance();
    EXPECT_EQ(FileResources::instance(), resources);
    const std::vector<char>& metronome = resources->getMetronomeSound();
    EXPECT_EQ(std::string(metronome.begin(), metronome.end()), "tick-tock");
    const std::vector<char>& click = resources->getClickSound();
    EXPECT_EQ(std::string(click.begin(), click.end()), "click");
}

// A file of the given length without writing it (sparse where the file
// system allows).
void makeFileOfLength(const std::wstring& path, LONGLONG length) {
    HANDLE file = ::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    LARGE_INTEGER end;
    end.QuadPart = length;
    EXPECT_TRUE(::SetFilePointerEx(file, end, nullptr, FILE_BEGIN));
    EXPECT_TRUE(::SetEndOfFile(file));
    ::CloseHandle(file);
}

TEST_F(FileResourcesTest, SoundFilesPastTheLimitAreRefusedUnread) {
    ASSERT_TRUE(::CreateDirectoryW(temp.file(L"Sounds").c_str(), nullptr));
    makeFileOfLength(temp.file(L"Sounds\\Metronome.wav"), FileResources::MaxSoundFileBytes);
    // Reading this whole would run a 32-bit program out of memory.
    makeFileOfLength(temp.file(L"Sounds\\Click.wav"), 1536LL * 1024 * 1024);
    FileResources* resources = FileResources::instance();
    EXPECT_EQ(resources->getMetronomeSound().size(), FileResources::MaxSoundFileBytes)
        << "a file at the limit is read";
    EXPECT_TRUE(resources->getClickSound().empty());

    std::vector<char> bytes = {'x'};
    EXPECT_EQ(readFileBytes(temp.file(L"Sounds\\Metronome.wav"), bytes,
                            FileResources::MaxSoundFileBytes - 1),
              EFBIG);
    EXPECT_TRUE(bytes.empty());
}

TEST_F(FileResourcesTest, MissingSoundLeavesItsBlockEmpty) {
    ASSERT_TRUE(::CreateDirectoryW(temp.file(L"Sounds").c_str(), nullptr));
    writeBytes(temp.file(L"Sounds\\Click.wav"), "click");
    FileResources* resources = FileResources::instance();
    EXPECT_TRUE(resources->getMetronomeSound().empty());
    EXPECT_EQ(resources->getClickSound().size(), 5u);
}

} // namespace
} // namespace keywhirl

// tests/unit/settings/IniStorageTest.cpp
#include "settings/persistence/CSettingsStorageIniFile.h"

#include "IniFileTestSupport.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <memory>

namespace Duvuzora {
namespace {

using keywhirl::testing::iniKeys;
using keywhirl::testing::iniValue;
using keywhirl::testing::writeIniText;

class IniStorage : public ::testing::Test {
protected:
    std::wstring file() const { return temp.file(L"store.ini"); }
    std::wstring value(const wchar_t* key) const { return iniValue(file(), L"Settings", key); }
    void setFile(const std::wstring& text) { writeIniText(file(), text); }

    keywhirl::testing::TempFolder temp;
    CSettingsStorageIniFile storage{file().c_str(), L"Settings"};
};

// Writes value under key, checks the text in the file, reads it back.
template <typename T>
void roundTrip(CSettingsStorageIniFile& storage,
               bool (CSettingsStorageIniFile::*exchange)(const wchar_t*, T&, bool),
               const wchar_t* key, T value, const std::wstring& text, const std::wstring& file) {
    SCOPED_TRACE(std::string(key, key + std::wcslen(key)));
    T written = value;
    ASSERT_TRUE((storage.*exchange)(key, written, true));
    EXPECT_EQ(iniValue(file, L"Settings", key), text);
    T back{};
    EXPECT_TRUE((storage.*exchange)(key, back, false));
    EXPECT_EQ(back, value);
}

TEST_F(IniStorage, NumbersAreWrittenInTheirTextFormsAndReadBack) {
    using S = CSettingsStorageIniFile;
    roundTrip<int>(storage, &S::ExchangeInt, L"int", -42, L"-42", file());
    roundTrip<unsigned>(storage, &S::ExchangeUInt, L"uint", 4294967295u, L"4294967295", file());
    roundTrip<long>(storage, &S::ExchangeLong, L"long", -1024, L"-1024", file());
    roundTrip<unsigned char>(storage, &S::ExchangeUChar, L"uchar", 7, L"7", file());
    roundTrip<signed char>(storage, &S::ExchangeChar, L"char", -5, L"-5", file());
    roundTrip<unsigned short>(storage, &S::ExchangeUShort, L"ushort", 65535, L"65535", file());
    roundTrip<short>(storage, &S::ExchangeShort, L"short", -32768, L"-32768", file());
    roundTrip<unsigned long>(storage, &S::ExchangeULong, L"ulong", 12, L"12", file());
    roundTrip<double>(storage, &S::ExchangeDouble, L"double", 2.25, L"2.250000", file());
    roundTrip<float>(storage, &S::ExchangeFloat, L"float", 0.5f, L"0.500000", file());
}

TEST_F(IniStorage, NumberTextIsReadFromItsLeadingCharacters) {
    setFile(L"[Settings]\r\n"
            L"trailing=2500ms\r\n"
            L"empty=\r\n"
            L"letters=abc\r\n"
            L"minusOne=-1\r\n"
            L"tooBig=300\r\n"
            L"negativeShort=-40000\r\n"
            L"fraction=1.75xyz\r\n");
    struct Case {
        const wchar_t* key;
        bool loads;
        int expected;
    };
    const Case ints[] = {
        {L"trailing", true, 2500}, {L"empty", false, 99},   {L"letters", false, 99},
        {L"missing", false, 99},   {L"minusOne", true, -1}, {L"fraction", true, 1},
    };
    for (const Case& c : ints) {
        int member = 99;
        EXPECT_EQ(storage.ExchangeInt(c.key, member, false), c.loads) << c.key;
        EXPECT_EQ(member, c.expected) << c.key << ": a failed read leaves the member";
    }

    unsigned char byte = 1;
    EXPECT_TRUE(storage.ExchangeUChar(L"minusOne", byte, false));
    EXPECT_EQ(byte, 255) << "parsed as unsigned, cut to 8 bits";
    EXPECT_TRUE(storage.ExchangeUChar(L"tooBig", byte, false));
    EXPECT_EQ(byte, 44);
    short halfWord = 0;
    EXPECT_TRUE(storage.ExchangeShort(L"negativeShort", halfWord, false));
    EXPECT_EQ(halfWord, static_cast<short>(-40000)) << "cut, not clamped";

    double real = 0;
    EXPECT_TRUE(storage.ExchangeDouble(L"fraction", real, false));
    EXPECT_DOUBLE_EQ(real, 1.75);
    float single = 3;
    EXPECT_FALSE(storage.ExchangeFloat(L"letters", single, false));
    EXPECT_EQ(single, 3);
}

TEST_F(IniStorage, BooleansAreTrueOnlyForUpperCaseTrue) {
    bool on = true;
    bool off = false;
    ASSERT_TRUE(storage.ExchangeBool(L"on", on, true));
    ASSERT_TRUE(storage.ExchangeBool(L"off", off, true));
    EXPECT_EQ(value(L"on"), L"TRUE");
    EXPECT_EQ(value(L"off"), L"FALSE");

    setFile(L"[Settings]\r\nupper=TRUE\r\nlower=true\r\none=1\r\nempty=\r\n"
            L"long=TRUEandsomemoretext\r\n");
    struct Case {
        const wchar_t* key;
        bool loads;
        bool expected;
    };
    const Case cases[] = {
        {L"upper", true, true},    {L"lower", true, false}, {L"one", true, false},
        {L"empty", true, false}, // present but empty: read, and not "TRUE"
        {L"missing", false, true}, {L"long", false, true}, // longer than the 16-character read
    };
    for (const Case& c : cases) {
        bool member = true;
        EXPECT_EQ(storage.ExchangeBool(c.key, member, false), c.loads) << c.key;
        EXPECT_EQ(member, c.expected) << c.key;
    }
}

TEST_F(IniStorage, RawStringReportsTheSizeItNeeds) {
    std::wstring text = L"hello world";
    unsigned length = static_cast<unsigned>(text.size());
    ASSERT_TRUE(storage.ExchangeRawString(L"text", &text[0], length, true));
    EXPECT_EQ(value(L"text"), L"hello world");

    // No buffer: only the size, terminator included.
    unsigned needed = 0;
    EXPECT_TRUE(storage.ExchangeRawString(L"text", nullptr, needed, false));
    EXPECT_EQ(needed, 12u);

    wchar_t small[5] = L"old";
    unsigned smallLength = 5;
    EXPECT_FALSE(storage.ExchangeRawString(L"text", small, smallLength, false));
    EXPECT_EQ(smallLength, 12u);
    EXPECT_STREQ(small, L"old");

    wchar_t exact[12];
    unsigned exactLength = 12;
    EXPECT_TRUE(storage.ExchangeRawString(L"text", exact, exactLength, false));
    EXPECT_STREQ(exact, L"hello world");

    wchar_t missing[8] = L"keep";
    unsigned missingLength = 8;
    EXPECT_FALSE(storage.ExchangeRawString(L"nothere", missing, missingLength, false));
    EXPECT_EQ(missingLength, 0u) << "0 says the key is missing";
    EXPECT_STREQ(missing, L"keep");

    setFile(L"[Settings]\r\nempty=\r\n");
    wchar_t empty[4] = L"xyz";
    unsigned emptyLength = 4;
    EXPECT_TRUE(storage.ExchangeRawString(L"empty", empty, emptyLength, false));
    EXPECT_STREQ(empty, L"");
}

TEST_F(IniStorage, RawStringThatFillsTheWorkingBufferAsksForMore) {
    std::wstring text(1023, L'a');
    unsigned length = static_cast<unsigned>(text.size());
    ASSERT_TRUE(storage.ExchangeRawString(L"text", &text[0], length, true));

    std::vector<wchar_t> buffer(300, L'\0');
    unsigned bufferLength = 300;
    EXPECT_FALSE(storage.ExchangeRawString(L"text", buffer.data(), bufferLength, false));
    EXPECT_EQ(bufferLength, 600u) << "the caller's length is doubled";

    // A caller that offers enough room gets it all.
    std::vector<wchar_t> big(2048, L'\0');
    unsigned bigLength = 2048;
    EXPECT_TRUE(storage.ExchangeRawString(L"text", big.data(), bigLength, false));
    EXPECT_EQ(std::wstring(big.data()), text);

    unsigned sizeOnly = 0;
    EXPECT_FALSE(storage.ExchangeRawString(L"text", nullptr, sizeOnly, false));
    EXPECT_GT(sizeOnly, 1024u) << "a size query never reads back as 'missing'";
}

TEST_F(IniStorage, GrowableStringsLoadUpTo1022Characters) {
    for (size_t size :
         {size_t(0), size_t(1), size_t(127), size_t(128), size_t(129), size_t(1022)}) {
        std::wstring saved(size, L'x');
        if (size > 0)
            saved[size - 1] = L'z';
        ASSERT_TRUE(storage.ExchangeString(L"text", saved, true)) << size;
        std::wstring loaded = L"previous contents that are long enough to matter";
        EXPECT_TRUE(storage.ExchangeString(L"text", loaded, false)) << size;
        EXPECT_EQ(loaded, saved) << size;
    }

    std::wstring tooLong(1023, L'y');
    ASSERT_TRUE(storage.ExchangeString(L"text", tooLong, true));
    std::wstring member = L"unchanged";
    EXPECT_FALSE(storage.ExchangeString(L"text", member, false));
    EXPECT_EQ(member, L"unchanged");

    std::wstring absent = L"stays";
    EXPECT_FALSE(storage.ExchangeString(L"absent", absent, false));
    EXPECT_EQ(absent, L"stays");
}

TEST_F(IniStorage, AUnicodeFileKeepsTextBeyondLatin1) {
    // The profile functions write a new file in the ANSI code page; a file
    // that already is UTF-16 stays so.
    setFile(L"[Settings]\r\n");
    std::wstring saved = L"\x0416\x0443\x043A \x03A9 \x65E5";
    ASSERT_TRUE(storage.ExchangeString(L"text", saved, true));
    std::wstring loaded;
    EXPECT_TRUE(storage.ExchangeString(L"text", loaded, false));
    EXPECT_EQ(loaded, saved);
}

TEST_F(IniStorage, BinaryBlocksAndWideIntegersRoundTrip) {
    unsigned char block[5] = {0x00, 0x7F, 0x80, 0xFF, 0x10};
    ASSERT_TRUE(storage.ExchangeBinary(L"block", block, sizeof block, true));
    std::wstring text = value(L"block");
    EXPECT_EQ(text.substr(0, 10), L"007F80FF10") << "two hex digits per byte, then a checksum";
    EXPECT_EQ(text.size(), 12u);

    unsigned char back[5] = {};
    EXPECT_TRUE(storage.ExchangeBinary(L"block", back, sizeof back, false));
    EXPECT_EQ(std::memcmp(back, block, sizeof block), 0);

    unsigned char wrongSize[4] = {1, 2, 3, 4};
    EXPECT_FALSE(storage.ExchangeBinary(L"block", wrongSize, sizeof wrongSize, false));
    EXPECT_EQ(wrongSize[0], 1) << "a block of another size is not read";
    unsigned char missing[5] = {9};
    EXPECT_FALSE(storage.ExchangeBinary(L"absent", missing, sizeof missing, false));
    EXPECT_EQ(missing[0], 9);

    unsigned long long huge = 0x0123456789ABCDEFull;
    long long negative = LLONG_MIN + 1;
    ASSERT_TRUE(storage.ExchangeUInt64(L"u64", huge, true));
    ASSERT_TRUE(storage.ExchangeInt64(L"i64", negative, true));
    unsigned long long hugeBack = 0;
    long long negativeBack = 0;
    EXPECT_TRUE(storage.ExchangeUInt64(L"u64", hugeBack, false));
    EXPECT_TRUE(storage.ExchangeInt64(L"i64", negativeBack, false));
    EXPECT_EQ(hugeBack, huge);
    EXPECT_EQ(negativeBack, negative);

    // A tampered checksum is refused.
    std::wstring tampered = value(L"u64");
    tampered.back() = tampered.back() == L'0' ? L'1' : L'0';
    ::WritePrivateProfileStringW(L"Settings", L"u64", tampered.c_str(), file().c_str());
    unsigned long long unchanged = 5;
    EXPECT_FALSE(storage.ExchangeUInt64(L"u64", unchanged, false));
    EXPECT_EQ(unchanged, 5u);
}

TEST_F(IniStorage, ValuesLandInTheirOwnSectionAndOthersStayUntouched) {
    setFile(L"[Other]\r\nnumber=1\r\n[Settings]\r\nnumber=2\r\n");
    int number = 7;
    ASSERT_TRUE(storage.ExchangeInt(L"number", number, true));
    EXPECT_EQ(iniValue(file(), L"Other", L"number"), L"1");
    EXPECT_EQ(value(L"number"), L"7");
}

TEST(IniStorageBinding, OverLongPathOrSectionIsRefused) {
    keywhirl::testing::TempFolder temp;
    std::wstring fits = temp.path() + L"\\" + std::wstring(259 - temp.path().size() - 1, L'f');
    ASSERT_EQ(fits.size(), 259u);
    std::wstring tooLong = fits + L"g";
    std::wstring longSection(260, L's');

    CSettingsStorageIniFile longPath(tooLong.c_str(), L"Settings");
    CSettingsStorageIniFile longName(temp.file(L"a.ini").c_str(), longSection.c_str());
    for (CSettingsStorageIniFile* refused : {&longPath, &longName}) {
        EXPECT_FALSE(refused->IsBound());
        int number = 3;
        bool flag = true;
        std::wstring text = L"t";
        unsigned char block[2] = {};
        EXPECT_FALSE(refused->ExchangeInt(L"n", number, true));
        EXPECT_FALSE(refused->ExchangeInt(L"n", number, false));
        EXPECT_FALSE(refused->ExchangeBool(L"b", flag, true));
        EXPECT_FALSE(refused->ExchangeBool(L"b", flag, false));
        EXPECT_FALSE(refused->ExchangeString(L"s", text, true));
        EXPECT_FALSE(refused->ExchangeString(L"s", text, false));
        EXPECT_FALSE(refused->ExchangeBinary(L"x", block, 2, true));
        EXPECT_EQ(std::unique_ptr<CSettingsStorage>(refused->CreateSubStorage(L"Sub")), nullptr);
        EXPECT_EQ(number, 3);
        EXPECT_TRUE(flag);
    }
    EXPECT_FALSE(keywhirl::testing::fileExists(tooLong));

    // 259 characters is the most that fits: it is kept whole.
    CSettingsStorageIniFile longest(fits.c_str(), std::wstring(259, L's').c_str());
    EXPECT_TRUE(longest.IsBound());
    EXPECT_EQ(std::wstring(longest.GetPath()), fits);
    CSettingsStorageIniFile nothing(nullptr, nullptr);
    EXPECT_FALSE(nothing.IsBound());
}

TEST_F(IniStorage, SubStorageNamesItsSectionAfterTheParent) {
    std::unique_ptr<CSettingsStorage> sub(storage.CreateSubStorage(L"Window"));
    ASSERT_NE(sub, nullptr);
    auto* iniSub = static_cast<CSettingsStorageIniFile*>(sub.get());
    EXPECT_STREQ(iniSub->GetSection(), L"Settings.Window");
    EXPECT_EQ(std::wstring(iniSub->GetPath()), file());

    int width = 640;
    ASSERT_TRUE(sub->ExchangeInt(L"width", width, true));
    EXPECT_EQ(iniValue(file(), L"Settings.Window", L"width"), L"640");

    // A sub-section name that would not fit is refused rather than cut.
    std::wstring longName(260 - 9, L'n'); // "Settings." + name = 260 characters
    EXPECT_EQ(std::unique_ptr<CSettingsStorage>(storage.CreateSubStorage(longName.c_str())),
              nullptr);
    std::wstring fittingName(259 - 9, L'n');
    EXPECT_NE(std::unique_ptr<CSettingsStorage>(storage.CreateSubStorage(fittingName.c_str())),
              nullptr);
}

TEST_F(IniStorage, ReadAfterSaveSeesTheSavedText) {
    CSettingsStorageIniFile other(file().c_str(), L"Settings");
    for (int round = 0; round < 3; ++round) {
        int written = round * 11;
        ASSERT_TRUE(storage.ExchangeInt(L"counter", written, true));
        int read = -1;
        ASSERT_TRUE(other.ExchangeInt(L"counter", read, false));
        EXPECT_EQ(read, written);
    }
}

TEST(IniStorageFile, UnwritableFileFailsEachSave) {
    keywhirl::testing::TempFolder temp;
    // A folder where the file should be cannot be written as a file.
    std::wstring path = temp.file(L"folder.ini");
    ASSERT_TRUE(::CreateDirectoryW(path.c_str(), nullptr));
    CSettingsStorageIniFile storage(path.c_str(), L"Settings");
    int number = 1;
    bool flag = true;
    EXPECT_FALSE(storage.ExchangeInt(L"n", number, true));
    EXPECT_FALSE(storage.ExchangeBool(L"b", flag, true));
    EXPECT_FALSE(storage.ExchangeInt(L"n", number, false));
}

} // namespace
} // namespace Duvuzora

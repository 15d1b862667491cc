// tests/unit/localization/CXmlProfileTest.cpp
#include "localization/CXmlParser.h"
#include "localization/CXmlProfile.h"

#include "TestFiles.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

namespace keywhirl {
namespace {

using testing::ascii;
using testing::readBytes;
using testing::utf16;
using testing::writeBytes;

constexpr int kAuto = CXmlParser::kEncodingAuto;
constexpr int kAnsi = CXmlParser::kEncodingAnsi;
constexpr int kUtf16 = CXmlParser::kEncodingUtf16;

const wchar_t kProfile[] = L"<?xml version=\"1.0\" encoding=\"UTF-16\"?>\r\n"
                           L"<content>\r\n"
                           L"\t<section name=\"Statistics\">\r\n"
                           L"\t\t<key name=\"speed.unit\" value=\" sym/min\"/>\r\n"
                           L"\t\t<key name=\"rhythm.title\" value=\"Rhythm\"/>\r\n"
                           L"\t</section>\r\n"
                           L"\t<section name=\"Locale\">\r\n"
                           L"\t\t<key name=\"languageName\" value=\"\x0420\x0443\x0441\"/>\r\n"
                           L"\t</section>\r\n"
                           L"</content>\r\n";

class CXmlProfileTest : public ::testing::Test {
protected:
    std::wstring write(const std::string& bytes, const wchar_t* name = L"profile.xml") {
        std::wstring path = folder.file(name);
        writeBytes(path, bytes);
        return path;
    }

    testing::TempFolder folder;
    CXmlProfile profile;
};

TEST_F(CXmlProfileTest, LooksUpKeysIgnoringTheCaseOfAsciiLetters) {
    ASSERT_EQ(profile.Load(write(utf16(kProfile)), kAuto), 1);
    EXPECT_TRUE(profile.IsLoaded());
    EXPECT_EQ(profile.GetString(L"Statistics", L"speed.unit", L"-"), L" sym/min");
    EXPECT_EQ(profile.GetString(L"STATISTICS", L"Rhythm.Title", L"-"), L"Rhythm");
    EXPECT_EQ(profile.GetString(L"Locale", L"languageName", L"-"), L"\x0420\x0443\x0441");
    EXPECT_EQ(profile.GetString(L"Statistics", L"missing", L"-"), L"-");
    EXPECT_EQ(profile.GetString(L"Missing", L"speed.unit", L"-"), L"-");
    EXPECT_EQ(profile.GetString(L"", L"speed.unit", L"-"), L"-");
    EXPECT_EQ(profile.GetString(L"Statistics", L"", L"-"), L"-");
}

TEST_F(CXmlProfileTest, ListsSectionsAndKeysInFileOrder) {
    ASSERT_EQ(profile.Load(write(utf16(kProfile)), kAuto), 1);
    EXPECT_EQ(profile.GetSectionCount(), 2);
    EXPECT_EQ(profile.GetSections(nullptr), 2) << "a null array only counts";
    std::vector<CXmlSection> sections;
    ASSERT_EQ(profile.GetSections(&sections), 2);
    EXPECT_EQ(sections[0].GetName(), L"Statistics");
    EXPECT_EQ(sections[1].GetName(), L"Locale");
    EXPECT_TRUE(sections[0].GetKeys().empty()) << "names and flags only";

    std::vector<CXmlKey> keys;
    ASSERT_EQ(profile.GetKeys(L"statistics", &keys), 2);
    EXPECT_EQ(keys[0].name, L"speed.unit");
    EXPECT_EQ(keys[1].name, L"rhythm.title");
    EXPECT_EQ(keys[1].value, L"Rhythm");
    EXPECT_EQ(profile.GetKeyCount(L"Locale"), 1);
    EXPECT_EQ(profile.GetKeys(L"Nowhere", &keys), 0);
    EXPECT_TRUE(keys.empty());
}

TEST_F(CXmlProfileTest, ChoosesTheEncodingByModeAndMark) {
    const std::wstring text =
        L"<content><section name=\"s\"><key name=\"k\" value=\"v\"/></section></content>";
    struct Case {
        const char* what;
        std::string bytes;
        int mode;
        bool found;
    } cases[] = {
        {"marked UTF-16, mode 0", utf16(text, true), kAuto, true},
        {"unmarked UTF-16, mode 0: read as ANSI, stops at the first zero", utf16(text, false),
         kAuto, false},
        {"unmarked UTF-16, mode 2", utf16(text, false), kUtf16, true},
        {"marked UTF-16, mode 2", utf16(text, true), kUtf16, true},
        {"marked UTF-16, mode 1: ANSI all the same", utf16(text, true), kAnsi, false},
        {"ANSI, mode 0", ascii(text), kAuto, true},
        {"ANSI, mode 1", ascii(text), kAnsi, true},
        {"ANSI behind a mark, mode 1: the mark is skipped", "\xFF\xFE" + ascii(text), kAnsi, true},
        {"ANSI, mode 2: read as UTF-16", ascii(text), kUtf16, false},
    };
    for (const Case& c : cases) {
        CXmlProfile fresh;
        fresh.Load(write(c.bytes), c.mode);
        EXPECT_EQ(fresh.GetString(L"s", L"k", L"-"), c.found ? L"v" : L"-") << c.what;
    }
}

TEST_F(CXmlProfileTest, ReadsAnsiTextInTheAnsiCodePage) {
    // Whatever the code page, its own conversion of the byte is what a value holds.
    const char byte = '\xE9';
    wchar_t expected = 0;
    ASSERT_EQ(::MultiByteToWideChar(CP_ACP, 0, &byte, 1, &expected, 1), 1);
    write("<content><section name=\"s\"><key name=\"k\" value=\"caf" + std::string(1, byte) +
          "\"/></section></content>");
    ASSERT_EQ(profile.Load(folder.file(L"profile.xml"), kAuto), 1);
    EXPECT_EQ(profile.GetString(L"s", L"k", L""), std::wstring(L"caf") + expected);
}

TEST_F(CXmlProfileTest, FailsOnMissingEmptyOrTextlessFiles) {
    EXPECT_EQ(profile.Load(folder.file(L"missing.xml"), kAuto), 0);
    EXPECT_FALSE(profile.IsLoaded());
    EXPECT_EQ(profile.Load(write(""), kAuto), 0) << "empty file";
    EXPECT_EQ(profile.Load(write("\xFF\xFE"), kAuto), 0) << "only the mark";
    EXPECT_EQ(profile.Load(write(std::string("\0<content/>", 11)), kAnsi), 0)
        << "a zero in front ends the text";
    EXPECT_EQ(profile.Load(folder.path(), kAuto), 0) << "a folder";
    EXPECT_EQ(profile.GetSectionCount(), 0);
}

TEST_F(CXmlProfileTest, ARootOtherThanContentLoadsEmpty) {
    EXPECT_EQ(profile.Load(write(ascii(L"<contents><section name=\"s\">"
                                       L"<key name=\"k\" value=\"v\"/></section></contents>")),
                           kAuto),
              1);
    EXPECT_TRUE(profile.IsLoaded());
    EXPECT_EQ(profile.GetSectionCount(), 0);
    EXPECT_EQ(profile.Load(write(ascii(L"no markup at all")), kAuto), 1);
    EXPECT_EQ(profile.GetSectionCount(), 0);
}

TEST_F(CXmlProfileTest, ADuplicateSectionEndsTheLoadAndFailsIt) {
    std::wstring text = L"<content>"
                        L"<section name=\"A\"><key name=\"k\" value=\"1\"/></section>"
                        L"<section name=\"B\"><key name=\"k\" value=\"2\"/></section>"
                        L"<section name=\"a\"><key name=\"k\" value=\"3\"/></section>"
                        L"<section name=\"C\"><key name=\"k\" value=\"4\"/></section>"
                        L"</content>";
    EXPECT_EQ(profile.Load(write(ascii(text)), kAuto), 0);
    EXPECT_TRUE(profile.HasDuplicateSection());
    EXPECT_EQ(profile.GetSectionCount(), 2);
    EXPECT_EQ(profile.GetString(L"A", L"k", L"-"), L"1") << "the first one stays";
    EXPECT_EQ(profile.GetString(L"B", L"k", L"-"), L"2");
    EXPECT_EQ(profile.GetString(L"C", L"k", L"-"), L"-") << "nothing after the duplicate";

    EXPECT_EQ(profile.Load(write(utf16(kProfile)), kAuto), 1) << "the next load starts afresh";
    EXPECT_FALSE(profile.HasDuplicateSection());
}

TEST_F(CXmlProfileTest, ASectionExistsOnlyWithAnAcceptedKey) {
    std::wstring text = L"<content>"
                        L"<section name=\"Empty\"></section>"
                        L"<section name=\"Blank\"><key name=\"k\" value=\"\"/></section>"
                        L"<section name=\"empty\"><key name=\"k\" value=\"later\"/></section>"
                        L"<section><key name=\"k\" value=\"nameless\"/></section>"
                        L"<section name=\"\"><key name=\"k\" value=\"nameless\"/></section>"
                        L"</content>";
    EXPECT_EQ(profile.Load(write(ascii(text)), kAuto), 1) << "so no duplicate either";
    EXPECT_EQ(profile.GetSectionCount(), 1);
    EXPECT_EQ(profile.GetString(L"Empty", L"k", L"-"), L"later");
    EXPECT_EQ(profile.GetString(L"Blank", L"k", L"-"), L"-");
    EXPECT_EQ(profile.GetSkippedKeyCount(), 1);
}

TEST_F(CXmlProfileTest, SkipsKeysWithoutNameOrValueAndCountsThem) {
    std::wstring text = L"<content><section name=\"s\">"
                        L"<key name=\"a\" value=\"\"/>"
                        L"<key value=\"x\"/>"
                        L"<key name=\"b\"/>"
                        L"<key name=\"c\" value=\"&amp;\"/>"
                        L"<item name=\"d\" value=\"not a key\"/>"
                        L"<key name=\"e\" value=\" \"/>"
                        L"</section></content>";
    ASSERT_EQ(profile.Load(write(ascii(text)), kAuto), 1);
    EXPECT_EQ(profile.GetSkippedKeyCount(), 3);
    EXPECT_EQ(profile.GetKeyCount(L"s"), 2);
    EXPECT_EQ(profile.GetString(L"s", L"a", L"default"), L"default");
    EXPECT_EQ(profile.GetString(L"s", L"c", L""), L"&");
    EXPECT_EQ(profile.GetString(L"s", L"d", L"-"), L"-") << "only \"key\" elements count";
    EXPECT_EQ(profile.GetString(L"s", L"e", L"-"), L" ") << "a space is a value";
}

TEST_F(CXmlProfileTest, TheFirstOfTwoKeysWins) {
    std::wstring text = L"<content><section name=\"s\">"
                        L"<key name=\"k\" value=\"first\"/><key name=\"K\" value=\"second\"/>"
                        L"</section></content>";
    std::wstring path = write(ascii(text));
    ASSERT_EQ(profile.Load(path, kAuto), 1);
    EXPECT_EQ(profile.GetDuplicateKeyCount(), 1);
    EXPECT_EQ(profile.GetKeyCount(L"s"), 1);
    EXPECT_EQ(profile.GetString(L"s", L"k", L"-"), L"first");

    profile.SetDuplicateKeyCheck(false);
    ASSERT_EQ(profile.Load(path, kAuto), 1);
    EXPECT_EQ(profile.GetDuplicateKeyCount(), 0);
    EXPECT_EQ(profile.GetKeyCount(L"s"), 2) << "without the check both are kept";
    EXPECT_EQ(profile.GetString(L"s", L"K", L"-"), L"first");
}

TEST_F(CXmlProfileTest, CarriesReadOnlyFlagsWithoutChangingLookups) {
    std::wstring text =
        L"<content>"
        L"<section name=\"r\" readonly=\"1\"><key name=\"k\" value=\"v\" "
        L"readonly=\"1\"/><key name=\"n\" value=\"w\" readonly=\"x\"/></section>"
        L"<section name=\"w\" readonly=\"7\"><key name=\"k\" value=\"v\"/></section>"
        L"</content>";
    ASSERT_EQ(profile.Load(write(ascii(text)), kAuto), 1);
    std::vector<CXmlSection> sections;
    profile.GetSections(&sections);
    EXPECT_EQ(sections[0].GetReadOnly(), 1);
    EXPECT_EQ(sections[1].GetReadOnly(), 7) << "a decimal conversion";
    std::vector<CXmlKey> keys;
    profile.GetKeys(L"r", &keys);
    EXPECT_EQ(keys[0].readOnly, 1);
    EXPECT_EQ(keys[1].readOnly, 0) << "not a number";
    EXPECT_EQ(profile.GetString(L"r", L"k", L"-"), L"v");
}

TEST_F(CXmlProfileTest, SpoiledElementNamesAfterACommentLoseTheirSection) {
    std::wstring text = L"<content>\r\n"
                        L"\t<section name=\"a\"><key name=\"k\" value=\"1\"/></section>\r\n"
                        L"\t<!-- the next one is lost -->\r\n"
                        L"\t<section name=\"b\"><key name=\"k\" value=\"2\"/></section>\r\n"
                        L"\t<!-- this one is harmless --><section name=\"c\">"
                        L"<key name=\"k\" value=\"3\"/></section>\r\n"
                        L"</content>";
    ASSERT_EQ(profile.Load(write(utf16(text)), kAuto), 1);
    EXPECT_EQ(profile.GetString(L"a", L"k", L"-"), L"1");
    EXPECT_EQ(profile.GetString(L"b", L"k", L"-"), L"-");
    EXPECT_EQ(profile.GetString(L"c", L"k", L"-"), L"3");
}

TEST_F(CXmlProfileTest, WritesTheLayoutBackInUtf16) {
    std::wstring text = L"<content>"
                        L"<section name=\"S\" readonly=\"1\"><key name=\"a\" value=\"1\"/>"
                        L"<key name=\"b\" value=\"&#1040; &amp; x\" readonly=\"1\"/></section>"
                        L"<section name=\"T\"><key name=\"c\" value=\" 3\"/></section>"
                        L"</content>";
    ASSERT_EQ(profile.Load(write(ascii(text)), kAuto), 1);
    std::wstring saved = folder.file(L"saved.xml");
    profile.Save(saved, kUtf16);
    EXPECT_EQ(readBytes(saved),
              utf16(L"<?xml version=\"1.0\" encoding=\"UTF-16\"?>\r\n"
                    L"<content>\r\n"
                    L"\t<section name=\"S\" readonly=\"1\">\r\n"
                    L"\t\t<key name=\"a\" value=\"1\"/>\r\n"
                    L"\t\t<key name=\"b\" value=\"\x0410 & x\" readonly=\"1\"/>\r\n"
                    L"\t</section>\r\n"
                    L"\t<section name=\"T\">\r\n"
                    L"\t\t<key name=\"c\" value=\" 3\"/>\r\n"
                    L"\t</section>\r\n"
                    L"</content>\r\n"));
    EXPECT_FALSE(profile.IsModified());

    profile.Save(folder.file(L"saved0.xml"), kAuto);
    EXPECT_EQ(readBytes(folder.file(L"saved0.xml")), readBytes(saved)) << "mode 0 saves UTF-16";
}

TEST_F(CXmlProfileTest, WritesTheAnsiCodePageUnderAnUtf8Declaration) {
    ASSERT_EQ(profile.Load(write(ascii(L"<content><section name=\"s\"><key name=\"k\" "
                                       L"value=\"v\"/></section></content>")),
                           kAuto),
              1);
    std::wstring saved = folder.file(L"ansi.xml");
    profile.Save(saved, kAnsi);
    EXPECT_EQ(readBytes(saved), "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n"
                                "<content>\r\n"
                                "\t<section name=\"s\">\r\n"
                                "\t\t<key name=\"k\" value=\"v\"/>\r\n"
                                "\t</section>\r\n"
                                "</content>\r\n");
}

TEST_F(CXmlProfileTest, ReadsBackWhatItWrote) {
    ASSERT_EQ(profile.Load(write(utf16(kProfile)), kAuto), 1);
    for (int mode : {kUtf16, kAnsi}) {
        std::wstring saved = folder.file(mode == kAnsi ? L"ansi.xml" : L"wide.xml");
        profile.Save(saved, mode);
        CXmlProfile reread;
        ASSERT_EQ(reread.Load(saved, kAuto), 1);
        EXPECT_EQ(reread.GetString(L"Statistics", L"speed.unit", L"-"), L" sym/min");
        EXPECT_EQ(reread.GetKeyCount(L"Statistics"), 2);
        if (mode == kUtf16) {
            EXPECT_EQ(reread.GetString(L"Locale", L"languageName", L"-"), L"\x0420\x0443\x0441");
        }
    }
}

TEST_F(CXmlProfileTest, WritesValuesUnescapedSoQuotesDoNotSurviveARoundTrip) {
    ASSERT_EQ(profile.Load(write(ascii(L"<content><section name=\"s\">"
                                       L"<key name=\"q\" value=\"say &quot;hi&quot;\"/>"
                                       L"<key name=\"lt\" value=\"&amp;lt;\"/>"
                                       L"</section></content>")),
                           kAuto),
              1);
    EXPECT_EQ(profile.GetString(L"s", L"q", L""), L"say \"hi\"");
    std::wstring saved = folder.file(L"saved.xml");
    profile.Save(saved, kUtf16);
    CXmlProfile reread;
    ASSERT_EQ(reread.Load(saved, kAuto), 1);
    EXPECT_EQ(reread.GetString(L"s", L"q", L"-"), L"say ") << "cut at the raw quote";
    EXPECT_EQ(reread.GetString(L"s", L"lt", L"-"), L"-")
        << "a raw '<' inside a tag is dropped, and the value with it";
}

TEST_F(CXmlProfileTest, SavingWhereNoFileCanBeMadeWritesNothing) {
    ASSERT_EQ(profile.Load(write(utf16(kProfile)), kAuto), 1);
    std::wstring nowhere = folder.file(L"no such folder\\saved.xml");
    profile.Save(nowhere, kUtf16);
    EXPECT_FALSE(testing::fileExists(nowhere));
}

TEST_F(CXmlProfileTest, CloseSavesNothingUnmodified) {
    std::wstring path = write(utf16(kProfile));
    ASSERT_EQ(profile.Load(path, kAuto), 1);
    ASSERT_TRUE(::DeleteFileW(path.c_str()));
    profile.Close(true);
    EXPECT_FALSE(profile.IsLoaded());
    EXPECT_FALSE(testing::fileExists(path));
    EXPECT_EQ(profile.GetString(L"Statistics", L"rhythm.title", L"-"), L"Rhythm")
        << "closing keeps what was read";
}

} // namespace
} // namespace keywhirl

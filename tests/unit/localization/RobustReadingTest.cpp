// tests/unit/localization/RobustReadingTest.cpp - any bytes at all must load
// without a crash or a hang, and yield only what the reading rules yield.
#include "localization/CXmlParser.h"
#include "localization/CXmlProfile.h"

#include "TestFiles.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <map>
#include <string>
#include <utility>
#include <vector>

namespace keywhirl {
namespace {

using testing::ascii;
using testing::utf16;
using testing::writeBytes;

constexpr int kAuto = CXmlParser::kEncodingAuto;
constexpr int kAnsi = CXmlParser::kEncodingAnsi;
constexpr int kUtf16 = CXmlParser::kEncodingUtf16;

class Random {
public:
    explicit Random(std::uint32_t seed) : state(seed) {}
    std::uint32_t next(std::uint32_t bound) {
        state = state * 1664525u + 1013904223u;
        return (state >> 8) % bound;
    }

private:
    std::uint32_t state;
};

using Keys = std::map<std::pair<std::wstring, std::wstring>, std::wstring>;

Keys allKeys(const CXmlProfile& profile) {
    Keys keys;
    std::vector<CXmlSection> sections;
    profile.GetSections(&sections);
    for (const CXmlSection& section : sections) {
        std::vector<CXmlKey> items;
        profile.GetKeys(section.GetName(), &items);
        for (const CXmlKey& key : items)
            keys[{section.GetName(), key.name}] = key.value;
    }
    return keys;
}

const wchar_t kSample[] = L"<?xml version=\"1.0\" encoding=\"UTF-16\"?>\r\n"
                          L"<!-- sample -->\r\n"
                          L"<content>\r\n"
                          L"\t<section name=\"One\">\r\n"
                          L"\t\t<key name=\"a\" value=\"alpha &amp; &#946;\"/>\r\n"
                          L"\t\t<key name=\"b\" value=\" two words \"/>\r\n"
                          L"\t</section>\r\n"
                          L"\t<section name=\"Two\" readonly=\"1\">\r\n"
                          L"\t\t<key name=\"c\" value=\"&lt;c&gt;\"/>\r\n"
                          L"\t</section>\r\n"
                          L"</content>\r\n";

class RobustReading : public ::testing::Test {
protected:
    std::wstring write(const std::string& bytes) {
        std::wstring path = folder.file(L"input.xml");
        writeBytes(path, bytes);
        return path;
    }

    testing::TempFolder folder;
};

TEST_F(RobustReading, EveryTruncationYieldsOnlyWholeKeysOfTheFullFile) {
    struct Form {
        std::string bytes;
        int mode;
    } forms[] = {{utf16(kSample), kAuto}, {ascii(kSample), kAnsi}};
    for (const Form& form : forms) {
        CXmlProfile full;
        ASSERT_EQ(full.Load(write(form.bytes), form.mode), 1);
        Keys expected = allKeys(full);
        ASSERT_EQ(expected.size(), 3u);
        std::size_t previousCount = 0;
        for (std::size_t length = 0; length < form.bytes.size(); ++length) {
            CXmlProfile part;
            int result = part.Load(write(form.bytes.substr(0, length)), form.mode);
            Keys found = allKeys(part);
            for (const auto& [name, value] : found)
                ASSERT_EQ(expected[name], value) << "length " << length;
            ASSERT_GE(found.size(), previousCount) << "keys never go away as the file grows";
            previousCount = found.size();
            if (length == 0) {
                ASSERT_EQ(result, 0);
            }
        }
    }
}

TEST_F(RobustReading, OddLengthUtf16PairsTheLastByteWithAZero) {
    std::string bytes = utf16(L"<content><section name=\"s\"><key name=\"k\" value=\"v\"/>"
                              L"</section></content>");
    CXmlProfile profile;
    EXPECT_EQ(profile.Load(write(bytes + "x"), kAuto), 1);
    EXPECT_EQ(profile.GetString(L"s", L"k", L"-"), L"v");

    // Cut in the middle of the last character of a tag: '>' is 3E 00, and 3E alone still is '>'.
    std::string cut = utf16(L"<content><section name=\"s\"><key name=\"k\" value=\"v\"/");
    EXPECT_EQ(profile.Load(write(cut + "\x3E"), kAuto), 1);
    EXPECT_EQ(profile.GetString(L"s", L"k", L"-"), L"v");

    // Cut inside a character: the lone low byte of '/' still reads as '/', and the tag stays open.
    std::string open = cut;
    EXPECT_EQ(profile.Load(write(open.substr(0, open.size() - 1)), kAuto), 1);
    EXPECT_EQ(profile.GetString(L"s", L"k", L"-"), L"-");

    EXPECT_EQ(profile.Load(write("\xFF\xFE<"), kAuto), 1) << "one byte: a character of its own";
    EXPECT_EQ(profile.Load(write(std::string("\xFF\xFE\x00", 3)), kAuto), 0)
        << "a zero character: no text";
}

// A well-formed profile of random shape (names repeat, values are often
// empty), then broken in a few random places with stray markup or cuts.
std::string mangledProfile(Random& random) {
    static const char* const names[] = {"a", "B", "c", "A"};
    static const char* const values[] = {"x", "", "&amp;", "&#65;", " ", "&quot;"};
    static const char* const strays[] = {"<",          ">",      "/",         "\"",
                                         "<!-- c -->", "<?pi?>", "</x>",      "<key name=\"",
                                         "\r\n\t",     "&#",     "<section>", "=\""};
    std::string bytes = "<content>";
    for (std::uint32_t s = random.next(5); s > 0; --s) {
        bytes += std::string("<section name=\"") + names[random.next(4)] + "\">";
        for (std::uint32_t k = random.next(5); k > 0; --k) {
            bytes += std::string("<key name=\"") + names[random.next(4)] + "\" value=\"" +
                     values[random.next(6)] + "\"/>";
        }
        bytes += "</section>";
    }
    bytes += "</content>";
    for (std::uint32_t m = random.next(4); m > 0; --m) {
        std::size_t at = random.next(static_cast<std::uint32_t>(bytes.size()));
        if (random.next(2) == 0)
            bytes.insert(at, strays[random.next(sizeof(strays) / sizeof(strays[0]))]);
        else
            bytes.erase(at, random.next(8));
    }
    return bytes;
}

TEST_F(RobustReading, GarbageNeverCrashesAndNeverMakesEmptyKeys) {
    Random random(7);
    int withSections = 0;
    for (int round = 0; round < 400; ++round) {
        std::string bytes;
        if (round % 2 == 0) {
            bytes.resize(1 + random.next(3000));
            for (char& byte : bytes)
                byte = static_cast<char>(random.next(256));
        } else {
            bytes = mangledProfile(random);
        }
        if (round % 3 == 0)
            bytes = "\xFF\xFE" + bytes;
        int mode = round % 2 == 0 ? static_cast<int>(random.next(3)) : kAnsi;
        CXmlProfile profile;
        int result = profile.Load(write(bytes), mode);
        ASSERT_TRUE(result == 0 || result == 1);
        std::vector<CXmlSection> sections;
        ASSERT_EQ(profile.GetSections(&sections), profile.GetSectionCount());
        for (const CXmlSection& section : sections) {
            std::vector<CXmlKey> keys;
            ASSERT_GT(profile.GetKeys(section.GetName(), &keys), 0) << "no section without keys";
            for (const CXmlKey& key : keys)
                ASSERT_TRUE(!key.name.empty() && !key.value.empty());
        }
        withSections += sections.empty() ? 0 : 1;
    }
    EXPECT_GT(withSections, 50) << "the mangled profiles should reach the profile's rules";
}

TEST_F(RobustReading, ATenMegabyteProfileLoadsWhole) {
    std::wstring text = L"<content>\r\n";
    int sections = 0;
    while (text.size() < 5 * 1024 * 1024) { // 10 MB as UTF-16
        std::wstring name = L"S" + std::to_wstring(sections++);
        text += L"<section name=\"" + name + L"\">";
        for (int k = 0; k < 20; ++k) {
            text += L"<key name=\"k" + std::to_wstring(k) + L"\" value=\"" + name +
                    std::wstring(200, L'.') + L"&#33;\"/>";
        }
        text += L"</section>\r\n";
    }
    text += L"</content>\r\n";
    CXmlProfile profile;
    ASSERT_EQ(profile.Load(write(utf16(text)), kAuto), 1);
    EXPECT_EQ(profile.GetSectionCount(), sections);
    EXPECT_EQ(profile.GetString(L"s" + std::to_wstring(sections - 1), L"K19", L"-"),
              L"S" + std::to_wstring(sections - 1) + std::wstring(200, L'.') + L"!");
}

TEST_F(RobustReading, TenMegabytesOfNestingDoNotExhaustTheStack) {
    std::wstring text = L"<content>";
    while (text.size() < 5 * 1024 * 1024)
        text += L"<section name=\"s\">";
    CXmlProfile profile;
    EXPECT_EQ(profile.Load(write(utf16(text)), kAuto), 1);
    EXPECT_EQ(profile.GetSectionCount(), 0) << "no section holds a key";
}

TEST_F(RobustReading, TenMegabytesOfNoiseAndOfOneEndlessTag) {
    Random random(99);
    std::string noise(10 * 1024 * 1024, '\0');
    for (char& byte : noise)
        byte = static_cast<char>(random.next(256));
    CXmlProfile profile;
    for (int mode : {kAuto, kAnsi, kUtf16}) {
        int result = profile.Load(write(noise), mode);
        EXPECT_TRUE(result == 0 || result == 1);
    }
    std::string endless = "<content><section name=\"" + std::string(10 * 1024 * 1024, 'x');
    EXPECT_EQ(profile.Load(write(endless), kAnsi), 1);
    EXPECT_EQ(profile.GetSectionCount(), 0);
}

TEST_F(RobustReading, AValueOfMillionsOfReferencesDecodesInTime) {
    std::wstring value;
    for (long code = 2000; value.size() < 1024 * 1024; ++code)
        value += L"&#" + std::to_wstring(code) + L";";
    std::wstring text = L"<content><section name=\"s\"><key name=\"k\" value=\"" + value +
                        L"\"/></section></content>";
    CXmlProfile profile;
    ASSERT_EQ(profile.Load(write(utf16(text)), kAuto), 1);
    std::wstring decoded = profile.GetString(L"s", L"k", L"");
    ASSERT_FALSE(decoded.empty());
    EXPECT_EQ(decoded[0], L'\x07D0');
}

} // namespace
} // namespace keywhirl

// tests/unit/localization/DecimalReferencesTest.cpp
#include "localization/DecimalReferences.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

namespace keywhirl {
namespace {

// The rule written out the slow, obvious way: search for "&#" from the
// start; when the characters up to the next ';' are a number as "%d" prints
// it and name a character, replace that reference everywhere until none is
// left; go on one character after the "&#".
bool codeOf(const std::wstring& digits, long& code) {
    if (digits.empty() || digits.size() > 7 || (digits[0] == L'0' && digits.size() > 1))
        return false;
    code = 0;
    for (wchar_t c : digits) {
        if (c < L'0' || c > L'9')
            return false;
        code = code * 10 + (c - L'0');
    }
    return code >= 1 && code <= 0x10FFFF;
}

std::wstring slowDecode(std::wstring value) {
    std::size_t position = value.find(L"&#");
    while (position != std::wstring::npos) {
        std::size_t semicolon = value.find(L';', position);
        std::wstring digits =
            value.substr(position + 2, semicolon == std::wstring::npos ? std::wstring::npos
                                                                       : semicolon - position - 2);
        long code = 0;
        if (codeOf(digits, code)) {
            std::wstring reference = L"&#" + digits + L";";
            std::wstring character;
            if (code <= 0xFFFF) {
                character = static_cast<wchar_t>(code);
            } else {
                character += static_cast<wchar_t>(0xD800 + ((code - 0x10000) >> 10));
                character += static_cast<wchar_t>(0xDC00 + ((code - 0x10000) & 0x3FF));
            }
            for (std::size_t at = value.find(reference); at != std::wstring::npos;
                 at = value.find(reference))
                value.replace(at, reference.size(), character);
        }
        position = value.find(L"&#", position + 1);
    }
    return value;
}

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

// Pieces that make references, broken references and references that only
// appear once others are decoded (35 is '#', 38 '&', 59 ';', 53 and 54 digits).
std::wstring randomValue(Random& random) {
    static const wchar_t* const pieces[] = {
        L"&",   L"#",     L";",      L"5",         L"6",       L"0",     L"-",     L"x",
        L"&#",  L"&#38;", L"&#35;",  L"&#59;",     L"&#53;",   L"&#54;", L"&#65;", L"&#065;",
        L"&#6", L"5;",    L"&#x41;", L"&#128512;", L"&#1040;", L"a",     L"&#0;",  L"&#3"};
    std::wstring value;
    std::uint32_t count = random.next(12);
    for (std::uint32_t i = 0; i < count; ++i)
        value += pieces[random.next(sizeof(pieces) / sizeof(pieces[0]))];
    return value;
}

TEST(DecimalReferences, MatchesTheSlowRuleOnManyTangledValues) {
    Random random(20240611);
    for (int i = 0; i < 20000; ++i) {
        std::wstring value = randomValue(random);
        ASSERT_EQ(DecimalReferences::Decode(value), slowDecode(value)) << value;
    }
}

TEST(DecimalReferences, ChainsThatRebuildTheSameReference) {
    // Every pass makes "&#38;" anew from the '&' it left and the text behind it.
    std::wstring value;
    for (int i = 0; i < 200; ++i)
        value += L"&#38;";
    value += L"#38;";
    EXPECT_EQ(DecimalReferences::Decode(value), slowDecode(value));
    EXPECT_EQ(DecimalReferences::Decode(value), std::wstring(200, L'&'))
        << "the last '&' and the tail make one more, which goes too";
}

TEST(DecimalReferences, HandlesHugeValuesWithManyDifferentReferences) {
    // Naively one pass over the value per reference: hours for this one.
    std::wstring value;
    std::wstring expected;
    for (long code = 1000; value.size() < 1500000; ++code) {
        value += L"&#" + std::to_wstring(code) + L";";
        if (code <= 0xFFFF) {
            expected += static_cast<wchar_t>(code);
        } else {
            expected += static_cast<wchar_t>(0xD800 + ((code - 0x10000) >> 10));
            expected += static_cast<wchar_t>(0xDC00 + ((code - 0x10000) & 0x3FF));
        }
    }
    EXPECT_EQ(DecimalReferences::Decode(value), expected);
}

TEST(DecimalReferences, LeavesValuesWithoutReferencesAlone) {
    EXPECT_EQ(DecimalReferences::Decode(L""), L"");
    EXPECT_EQ(DecimalReferences::Decode(L"& # ;"), L"& # ;");
    EXPECT_EQ(DecimalReferences::Decode(L"&&&&#"), L"&&&&#");
}

} // namespace
} // namespace keywhirl

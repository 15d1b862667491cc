// src/localization/DecimalReferences.h - decodes decimal character references
// ("&#1040;") in attribute values read by CXmlParser.
#pragma once

#include <string>

namespace keywhirl {

// The language files have always been read this way, and files in the field
// depend on it: references are searched from the start of the value; for
// each "&#" whose characters up to the next ';' form a decimal number written
// the way "%d" writes it (no sign, no leading zero), every occurrence of that
// reference in the value is replaced with its character, again and again
// until none is left, and the search goes on one character after that "&#".
// Hexadecimal references ("&#x41;") and malformed ones stay as they are, and
// so do numbers that name no character (0, or above U+10FFFF); numbers above
// U+FFFF become a surrogate pair.
//
// Done naively, that is one pass over the whole value per distinct
// reference, which a hostile file with a million different references turns
// into hours; Decode gives the same result in O(n log n).
class DecimalReferences {
public:
    static std::wstring Decode(const std::wstring& value);
};

} // namespace keywhirl

// tests/support/TextBytes.h - text files as other programs save them.
#pragma once

#include <string>

namespace keywhirl::testing {

// ASCII text as UTF-16 with its byte order mark, as spreadsheets and
// editors save it.
inline std::string utf16Bytes(const std::string& ascii, bool bigEndian = false) {
    std::string bytes = bigEndian ? "\xFE\xFF" : "\xFF\xFE";
    for (char c : ascii) {
        bytes += bigEndian ? '\0' : c;
        bytes += bigEndian ? c : '\0';
    }
    return bytes;
}

} // namespace keywhirl::testing

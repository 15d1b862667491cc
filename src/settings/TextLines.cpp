// src/settings/TextLines.cpp
#include "settings/TextLines.h"

#include <cstdint>

namespace keywhirl {

namespace {

void appendUtf8(std::string& text, std::uint32_t code) {
    if (code < 0x80) {
        text += static_cast<char>(code);
    } else if (code < 0x800) {
        text += static_cast<char>(0xC0 | (code >> 6));
        text += static_cast<char>(0x80 | (code & 0x3F));
    } else if (code < 0x10000) {
        text += static_cast<char>(0xE0 | (code >> 12));
        text += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        text += static_cast<char>(0x80 | (code & 0x3F));
    } else {
        text += static_cast<char>(0xF0 | (code >> 18));
        text += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
        text += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        text += static_cast<char>(0x80 | (code & 0x3F));
    }
}

std::string utf16AsUtf8(const std::string& bytes, bool bigEndian) {
    constexpr std::uint32_t kReplacement = 0xFFFD;
    auto unit = [&](std::size_t at) {
        auto byte = [&](std::size_t i) {
            return static_cast<std::uint32_t>(std::uint8_t(bytes[i]));
        };
        return bigEndian ? (byte(at) << 8) | byte(at + 1) : byte(at) | (byte(at + 1) << 8);
    };
    std::string text;
    text.reserve(bytes.size() / 2);
    std::size_t at = 2; // past the byte order mark
    while (at + 1 < bytes.size()) {
        std::uint32_t code = unit(at);
        at += 2;
        if (code >= 0xD800 && code < 0xDC00 && at + 1 < bytes.size()) {
            std::uint32_t low = unit(at);
            if (low >= 0xDC00 && low < 0xE000) {
                at += 2;
                code = 0x10000 + ((code - 0xD800) << 10) + (low - 0xDC00);
            } else {
                code = kReplacement;
            }
        } else if (code >= 0xD800 && code < 0xE000) {
            code = kReplacement;
        }
        appendUtf8(text, code);
    }
    if (at < bytes.size())
        appendUtf8(text, kReplacement); // an odd last byte
    return text;
}

} // namespace

std::string textAsUtf8(const std::string& bytes) {
    if (bytes.compare(0, 3, "\xEF\xBB\xBF") == 0)
        return bytes.substr(3);
    if (bytes.compare(0, 2, "\xFF\xFE") == 0)
        return utf16AsUtf8(bytes, false);
    if (bytes.compare(0, 2, "\xFE\xFF") == 0)
        return utf16AsUtf8(bytes, true);
    return bytes;
}

std::vector<std::string> splitLines(const std::string& text) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find_first_of("\r\n", start);
        if (end == std::string::npos) {
            lines.push_back(text.substr(start));
            break;
        }
        lines.push_back(text.substr(start, end - start));
        start = end + 1;
        if (text[end] == '\r' && start < text.size() && text[start] == '\n')
            ++start;
    }
    return lines;
}

std::string trimmed(const std::string& text) {
    const auto first = text.find_first_not_of(" \t");
    if (first == std::string::npos)
        return std::string();
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

std::vector<std::string> splitFields(const std::string& line, char separator) {
    std::vector<std::string> fields;
    std::size_t start = 0;
    for (;;) {
        const std::size_t end = line.find(separator, start);
        fields.push_back(trimmed(line.substr(start, end - start)));
        if (end == std::string::npos)
            return fields;
        start = end + 1;
    }
}

} // namespace keywhirl

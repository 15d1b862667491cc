// tests/unit/localization/TestFiles.h - writing and reading the raw bytes of test files.
#pragma once

#include <string>

namespace keywhirl::testing {

// Replaces the file with exactly these bytes.
void writeBytes(const std::wstring& path, const std::string& bytes);
// The whole file; empty when it can't be read.
std::string readBytes(const std::wstring& path);
bool fileExists(const std::wstring& path);

// The text as UTF-16 little-endian bytes, with the mark FF FE in front when asked.
std::string utf16(const std::wstring& text, bool mark = true);
// Plain ASCII text as bytes, one per character.
std::string ascii(const std::wstring& text);

} // namespace keywhirl::testing

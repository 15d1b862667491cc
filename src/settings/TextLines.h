// src/settings/TextLines.h - the lines of a text file that a person or another program may
// have saved.
#pragma once

#include <string>
#include <vector>

namespace keywhirl {

// The file's text as UTF-8: a UTF-8 byte order mark is dropped, and UTF-16
// with its byte order mark (little or big endian, as editors and
// spreadsheets save it) is converted. Anything else is taken as it is. A
// lone surrogate becomes U+FFFD, so no byte of the file is lost silently
// into invalid UTF-8.
std::string textAsUtf8(const std::string& bytes);

// The lines of the text without their ends; CR LF, LF and a lone CR all end
// a line. A last line without an end is a line; an empty text has none.
std::vector<std::string> splitLines(const std::string& text);

// The text without the spaces and tabs around it.
std::string trimmed(const std::string& text);

// The fields of a line between separators, each trimmed; an empty line is
// one empty field.
std::vector<std::string> splitFields(const std::string& line, char separator);

} // namespace keywhirl

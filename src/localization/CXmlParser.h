// src/localization/CXmlParser.h - a small, lenient XML reader for files of
// named sections holding named key/value pairs.
#pragma once

#include "localization/CXmlElement.h"

#include <string>

namespace keywhirl {

// Not a conforming XML parser: it never fails on markup. Whatever does not
// fit its few rules is skipped or ends up in names and text, and lookups
// then fall back to their defaults.
class CXmlParser {
public:
    // Encoding modes of LoadFile (and of CXmlProfile's Load and Save).
    enum Encoding {
        // UTF-16 when the file starts with the mark FF FE, else the ANSI code page.
        kEncodingAuto = 0,
        // The ANSI code page; a mark FF FE is skipped all the same.
        kEncodingAnsi = 1,
        kEncodingUtf16 = 2,
    };

    CXmlParser();
    virtual ~CXmlParser();
    CXmlParser(const CXmlParser&) = delete;
    CXmlParser& operator=(const CXmlParser&) = delete;

    // 0 when the file can't be opened or read, is empty or holds no text;
    // otherwise the result of Parse. Any bytes are safe to read.
    int LoadFile(const std::wstring& path, int encoding);
    // Builds the tree anew from the text. Always 1.
    int Parse(const std::wstring& text);

    CXmlElement* GetRoot() { return &root; }
    CXmlElement* GetFirstChild(CXmlElement* element);
    CXmlElement* GetNextChild(CXmlElement* element);

    // The value of the first attribute whose text ends in name + "=", with the
    // entities and decimal character references decoded; empty if none.
    std::wstring GetAttribute(const CXmlElement* element, const std::wstring& name) const;

    // The text of a file as LoadFile sees it; false when it can't be read.
    static bool ReadText(const std::wstring& path, int encoding, std::wstring& text);

private:
    void OpenElement(const std::wstring& body);

    std::wstring source;
    CXmlElement root;
    CXmlElement* current;
};

} // namespace keywhirl

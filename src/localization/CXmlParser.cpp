// src/localization/CXmlParser.cpp
#include "localization/CXmlParser.h"

#include "localization/DecimalReferences.h"
#include "utils/Handles.h"

#include <windows.h>

#include <cstring>
#include <new>
#include <vector>

namespace keywhirl {

namespace {

enum TagKind { kSkipped = -1, kStart = 0, kEnd = 1, kEmpty = 2 };

// Room for the mark and the zero padding below; anything bigger is not a
// language file and would not fit a 32-bit process anyway.
constexpr DWORD kMaxFileSize = 0x40000000;
// Zero bytes behind the file's contents: the text always ends in a zero
// character, in either encoding, also when a UTF-16 file has an odd length.
constexpr DWORD kPadding = 100;

bool isBlank(wchar_t c) {
    return c == L' ' || c == L'\t' || c == L'\r' || c == L'\n';
}

std::wstring trim(const std::wstring& text) {
    std::size_t first = 0;
    std::size_t last = text.size();
    while (first < last && isBlank(text[first]))
        ++first;
    while (last > first && isBlank(text[last - 1]))
        --last;
    return text.substr(first, last - first);
}

// The name is the body up to the first space; the attribute text is the rest,
// trimmed. Each is made in one piece: a large file makes many of them.
void splitBody(const std::wstring& body, std::wstring& name, std::wstring& attributes) {
    std::size_t space = body.find(L' ');
    if (space == std::wstring::npos) {
        name = body;
        attributes.clear();
        return;
    }
    name.assign(body, 0, space);
    std::size_t first = space + 1;
    std::size_t last = body.size();
    while (first < last && isBlank(body[first]))
        ++first;
    while (last > first && isBlank(body[last - 1]))
        --last;
    attributes.assign(body, first, last - first);
}

// Sorts out what a tag buffer ending in '>' is, and what lies between its brackets.
TagKind classifyTag(const std::wstring& tag, std::wstring& body) {
    body.clear();
    if (tag.empty())
        return kSkipped;
    TagKind kind = kStart;
    wchar_t previous = L'0';
    for (wchar_t c : tag) {
        if (previous == L'<' && (c == L'!' || c == L'?'))
            return kSkipped; // comments, declarations, processing instructions
        if (previous == L'<' && c == L'/') {
            kind = kEnd;
        } else if (previous == L'/' && c == L'>') {
            if (!body.empty() && body.back() == L'/')
                body.pop_back();
            kind = kEmpty;
        } else if (c != L'<' && c != L'>') {
            body += c;
        }
        previous = c;
    }
    return kind;
}

// Replaces `from` with `to` until no occurrence is left. A replacement can
// only make a new occurrence that ends where it ends, so one pass that looks
// at the end of the output after every character is enough. `to` must be
// shorter than `from`.
void replaceUntilGone(std::wstring& text, const std::wstring& from, const std::wstring& to) {
    if (text.find(from) == std::wstring::npos)
        return;
    std::wstring output;
    output.reserve(text.size());
    for (wchar_t c : text) {
        output += c;
        while (output.size() >= from.size() &&
               output.compare(output.size() - from.size(), from.size(), from) == 0) {
            output.resize(output.size() - from.size());
            output += to;
        }
    }
    text.swap(output);
}

} // namespace

CXmlParser::CXmlParser() : current(&root) {}

CXmlParser::~CXmlParser() = default;

bool CXmlParser::ReadText(const std::wstring& path, int encoding, std::wstring& text) {
    text.clear();
    utils::UniqueFile file(::CreateFileW(path.c_str(), GENERIC_READ,
                                         FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                         FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file)
        return false;

    DWORD high = 0;
    DWORD size = ::GetFileSize(file.get(), &high);
    if (size == INVALID_FILE_SIZE && ::GetLastError() != NO_ERROR)
        return false;
    if (size == 0 || high != 0 || size > kMaxFileSize)
        return false;

    try {
        std::vector<char> bytes(size + kPadding, 0);
        DWORD total = 0;
        while (total < size) {
            DWORD got = 0;
            if (!::ReadFile(file.get(), bytes.data() + total, size - total, &got, nullptr))
                return false;
            if (got == 0)
                break; // the file shrank; the zeros behind end the text
            total += got;
        }

        bool marked = static_cast<unsigned char>(bytes[0]) == 0xFF &&
                      static_cast<unsigned char>(bytes[1]) == 0xFE;
        DWORD start = marked ? 2 : 0;
        bool utf16 = encoding == kEncodingUtf16 || (encoding != kEncodingAnsi && marked);
        if (utf16) {
            // An odd last byte pairs up with the first zero of the padding.
            std::size_t units = (size - start + 1) / 2;
            std::wstring wide(units, L'\0');
            std::memcpy(&wide[0], bytes.data() + start, units * sizeof(wchar_t));
            std::size_t zero = wide.find(L'\0');
            if (zero != std::wstring::npos)
                wide.resize(zero);
            text.swap(wide);
        } else {
            const char* narrow = bytes.data() + start;
            // The padding guarantees a zero byte.
            const void* zero = std::memchr(narrow, 0, size - start + 1);
            int length = static_cast<int>(static_cast<const char*>(zero) - narrow);
            if (length > 0) {
                int needed = ::MultiByteToWideChar(CP_ACP, 0, narrow, length, nullptr, 0);
                if (needed > 0) {
                    text.resize(needed);
                    ::MultiByteToWideChar(CP_ACP, 0, narrow, length, &text[0], needed);
                }
            }
        }
    } catch (const std::bad_alloc&) {
        text.clear();
        return false;
    }
    return true;
}

int CXmlParser::LoadFile(const std::wstring& path, int encoding) {
    std::wstring text;
    if (!ReadText(path, encoding, text) || text.empty())
        return 0;
    try {
        return Parse(text);
    } catch (const std::bad_alloc&) {
        // A file made to exhaust memory yields nothing rather than a crash.
        root.Clear();
        current = &root;
        source.clear();
        return 0;
    }
}

int CXmlParser::Parse(const std::wstring& text) {
    root.Clear();
    current = &root;
    source = text;
    for (wchar_t& c : source) {
        if (c == L'\n' || c == L'\r' || c == L'\t')
            c = L' ';
    }

    bool insideTag = false;
    std::wstring tag;
    std::wstring content;
    std::wstring body;
    for (wchar_t c : source) {
        if (c == L'<') {
            tag += c;
            current->SetText(trim(content));
            content.clear();
            insideTag = true;
        } else if (c == L'>') {
            tag += c;
            TagKind kind = classifyTag(tag, body);
            tag.clear();
            // A skipped tag leaves insideTag set: what follows it up to the
            // next '<' becomes the front of the next tag's body.
            if (kind == kSkipped)
                continue;
            if (kind == kStart || kind == kEmpty)
                OpenElement(body);
            if ((kind == kEnd || kind == kEmpty) && current->GetParent())
                current = current->GetParent();
            insideTag = false;
        } else if (insideTag) {
            tag += c;
        } else {
            content += c;
        }
    }
    return 1;
}

void CXmlParser::OpenElement(const std::wstring& body) {
    std::wstring name;
    std::wstring attributes;
    if (root.GetName().empty()) {
        splitBody(trim(body), name, attributes);
        root.SetName(name);
        root.SetAttributes(attributes);
        return;
    }
    splitBody(body, name, attributes);
    current = current->AddChild(std::move(name), std::move(attributes));
}

CXmlElement* CXmlParser::GetFirstChild(CXmlElement* element) {
    return element ? element->FirstChild() : nullptr;
}

CXmlElement* CXmlParser::GetNextChild(CXmlElement* element) {
    return element ? element->NextChild() : nullptr;
}

std::wstring CXmlParser::GetAttribute(const CXmlElement* element, const std::wstring& name) const {
    if (!element)
        return std::wstring();
    const std::wstring& attributes = element->GetAttributes();
    // A plain search: "name=" is found inside "filename=" too.
    std::size_t found = attributes.find(name + L"=");
    if (found == std::wstring::npos)
        return std::wstring();
    // Skip the '=' and the opening quote, whatever it is.
    std::size_t start = found + name.size() + 2;
    if (start >= attributes.size())
        return std::wstring();
    std::size_t end = attributes.find(L'"', start);
    std::wstring value =
        attributes.substr(start, end == std::wstring::npos ? std::wstring::npos : end - start);

    // The ampersand goes first, so "&amp;lt;" reads as "<".
    replaceUntilGone(value, L"&amp;", L"&");
    replaceUntilGone(value, L"&quot;", L"\"");
    replaceUntilGone(value, L"&lt;", L"<");
    replaceUntilGone(value, L"&gt;", L">");
    return DecimalReferences::Decode(value);
}

} // namespace keywhirl

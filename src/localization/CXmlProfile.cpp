// src/localization/CXmlProfile.cpp
#include "localization/CXmlProfile.h"

#include "localization/CXmlParser.h"
#include "utils/Handles.h"

#include <cwchar>
#include <new>

namespace keywhirl {

namespace {

// Absent or not a number reads as 0.
int readFlag(const std::wstring& text) {
    return static_cast<int>(std::wcstol(text.c_str(), nullptr, 10));
}

} // namespace

CXmlProfile::CXmlProfile()
    : encoding(CXmlParser::kEncodingAuto), duplicateKeys(0), skippedKeys(0),
      duplicateSection(false), checkDuplicateKeys(true), loaded(false), modified(false),
      contentElement(L"content"), sectionElement(L"section"), keyElement(L"key"),
      nameAttribute(L"name"), valueAttribute(L"value"), readOnlyAttribute(L"readonly") {}

CXmlProfile::~CXmlProfile() = default;

int CXmlProfile::Load(const std::wstring& path, int mode) {
    sections.clear();
    sectionIndex.clear();
    duplicateKeys = 0;
    skippedKeys = 0;
    duplicateSection = false;
    loaded = false;
    fileName = path;

    CXmlParser parser;
    if (!parser.LoadFile(path, mode))
        return 0;
    encoding = mode;

    try {
        ReadSections(parser);
    } catch (const std::bad_alloc&) {
        // A file made to exhaust memory loads as nothing rather than crashing.
        sections.clear();
        sectionIndex.clear();
        return 0;
    }

    loaded = true;
    modified = false;
    return duplicateSection ? 0 : 1;
}

void CXmlProfile::ReadSections(CXmlParser& parser) {
    CXmlElement* root = parser.GetRoot();
    if (root->GetName() != contentElement)
        return; // no sections, but still a successful load
    for (CXmlElement* element = parser.GetFirstChild(root); element;
         element = parser.GetNextChild(root)) {
        if (element->GetName() != sectionElement)
            continue;
        std::wstring name = parser.GetAttribute(element, nameAttribute);
        if (name.empty())
            continue;
        int readOnly = readFlag(parser.GetAttribute(element, readOnlyAttribute));
        if (FindSection(name)) {
            duplicateSection = true;
            break;
        }
        // Made on its first accepted key: a section without keys does not exist.
        CXmlSection* section = nullptr;
        for (CXmlElement* item = parser.GetFirstChild(element); item;
             item = parser.GetNextChild(element)) {
            if (item->GetName() != keyElement)
                continue;
            CXmlKey key;
            key.name = parser.GetAttribute(item, nameAttribute);
            key.value = parser.GetAttribute(item, valueAttribute);
            key.readOnly = readFlag(parser.GetAttribute(item, readOnlyAttribute));
            if (key.name.empty() || key.value.empty()) {
                ++skippedKeys;
                continue;
            }
            if (!section) {
                sectionIndex.emplace(CXmlSection::FoldName(name), sections.size());
                sections.push_back(std::make_unique<CXmlSection>(name, readOnly));
                section = sections.back().get();
            }
            if (checkDuplicateKeys && section->FindKey(key.name)) {
                ++duplicateKeys;
                continue;
            }
            section->AddKey(std::move(key));
        }
    }
}

void CXmlProfile::Close(bool save) {
    if (modified && save)
        Save(fileName, encoding);
    loaded = false;
}

void CXmlProfile::Save(const std::wstring& path, int mode) {
    utils::UniqueFile file(::CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE,
                                         FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, CREATE_ALWAYS,
                                         FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file)
        return;

    bool unicode = mode != CXmlParser::kEncodingAnsi;
    if (unicode) {
        static const unsigned char mark[2] = {0xFF, 0xFE};
        DWORD written = 0;
        ::WriteFile(file.get(), mark, sizeof(mark), &written, nullptr);
    }
    Write(file.get(),
          std::wstring(L"<?xml version=\"1.0\" encoding=\"UTF-") + (unicode ? L"16" : L"8") +
              L"\"?>\r\n",
          unicode);
    Write(file.get(), L"<" + contentElement + L">\r\n", unicode);

    for (const auto& section : sections) {
        bool opened = false;
        for (const CXmlKey& key : section->GetKeys()) {
            if (key.name.empty() || key.value.empty())
                continue;
            if (!opened) {
                std::wstring start = L"\t<" + sectionElement + L" " + nameAttribute + L"=\"" +
                                     section->GetName() + L"\"";
                if (section->GetReadOnly())
                    start += L" " + readOnlyAttribute + L"=\"1\"";
                Write(file.get(), start + L">\r\n", unicode);
                opened = true;
            }
            std::wstring line = L"\t\t<" + keyElement + L" " + nameAttribute + L"=\"" + key.name +
                                L"\" " + valueAttribute + L"=\"" + key.value + L"\"";
            if (key.readOnly)
                line += L" " + readOnlyAttribute + L"=\"1\"";
            Write(file.get(), line + L"/>\r\n", unicode);
        }
        if (opened)
            Write(file.get(), L"\t</" + sectionElement + L">\r\n", unicode);
    }

    Write(file.get(), L"</" + contentElement + L">\r\n", unicode);
    modified = false;
}

void CXmlProfile::Write(HANDLE file, const std::wstring& piece, bool unicode) {
    if (piece.empty())
        return;
    DWORD written = 0;
    if (unicode) {
        ::WriteFile(file, piece.data(), static_cast<DWORD>(piece.size() * sizeof(wchar_t)),
                    &written, nullptr);
        return;
    }
    std::size_t wanted = piece.size() * 2 + 16;
    if (writeBuffer.size() < wanted)
        writeBuffer.resize(wanted < 4096 ? 4096 : wanted);
    int bytes = ::WideCharToMultiByte(CP_ACP, 0, piece.data(), static_cast<int>(piece.size()),
                                      writeBuffer.data(), static_cast<int>(writeBuffer.size()),
                                      nullptr, nullptr);
    // The converted length, not the piece's: a double-byte code page must
    // not lose the end of a line.
    if (bytes > 0)
        ::WriteFile(file, writeBuffer.data(), static_cast<DWORD>(bytes), &written, nullptr);
}

const CXmlSection* CXmlProfile::FindSection(const std::wstring& name) const {
    auto found = sectionIndex.find(CXmlSection::FoldName(name));
    return found == sectionIndex.end() ? nullptr : sections[found->second].get();
}

int CXmlProfile::GetSectionCount() const {
    return static_cast<int>(sections.size());
}

int CXmlProfile::GetSections(std::vector<CXmlSection>* result) const {
    if (result) {
        result->clear();
        for (const auto& section : sections)
            result->emplace_back(section->GetName(), section->GetReadOnly());
    }
    return GetSectionCount();
}

int CXmlProfile::GetKeyCount(const std::wstring& section) const {
    return GetKeys(section, nullptr);
}

int CXmlProfile::GetKeys(const std::wstring& section, std::vector<CXmlKey>* result) const {
    if (result)
        result->clear();
    const CXmlSection* found = FindSection(section);
    if (!found)
        return 0;
    if (result)
        *result = found->GetKeys();
    return static_cast<int>(found->GetKeys().size());
}

std::wstring CXmlProfile::GetString(const std::wstring& section, const std::wstring& key,
                                    const std::wstring& defaultValue) const {
    if (section.empty() || key.empty())
        return defaultValue;
    const CXmlSection* found = FindSection(section);
    if (!found)
        return defaultValue;
    const CXmlKey* item = found->FindKey(key);
    return item ? item->value : defaultValue;
}

} // namespace keywhirl

// src/localization/CXmlSection.cpp
#include "localization/CXmlSection.h"

namespace keywhirl {

CXmlSection::CXmlSection(std::wstring name, int readOnly)
    : name(std::move(name)), readOnly(readOnly) {}

const CXmlKey* CXmlSection::FindKey(const std::wstring& keyName) const {
    auto found = index.find(FoldName(keyName));
    return found == index.end() ? nullptr : &keys[found->second];
}

void CXmlSection::AddKey(CXmlKey key) {
    index.emplace(FoldName(key.name), keys.size()); // keeps the first of a name
    keys.push_back(std::move(key));
}

std::wstring CXmlSection::FoldName(const std::wstring& text) {
    std::wstring folded = text;
    for (wchar_t& c : folded) {
        if (c >= L'A' && c <= L'Z')
            c = static_cast<wchar_t>(c - L'A' + L'a');
    }
    return folded;
}

} // namespace keywhirl

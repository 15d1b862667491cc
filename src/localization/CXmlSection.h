// src/localization/CXmlSection.h - one named section of a CXmlProfile and its keys.
#pragma once

#include "localization/CXmlKey.h"

#include <cstddef>
#include <string>
#include <unordered_map>
#include <vector>

namespace keywhirl {

class CXmlSection {
public:
    explicit CXmlSection(std::wstring name = std::wstring(), int readOnly = 0);
    virtual ~CXmlSection() = default;
    CXmlSection(const CXmlSection&) = default;
    CXmlSection& operator=(const CXmlSection&) = default;

    const std::wstring& GetName() const { return name; }
    int GetReadOnly() const { return readOnly; }
    // In file order.
    const std::vector<CXmlKey>& GetKeys() const { return keys; }

    // The first key of that name, ignoring the case of ASCII letters; none if missing.
    const CXmlKey* FindKey(const std::wstring& keyName) const;
    void AddKey(CXmlKey key);

    // Section and key names match without regard to the case of A-Z only.
    static std::wstring FoldName(const std::wstring& text);

private:
    std::wstring name;
    int readOnly;
    std::vector<CXmlKey> keys;
    // Folded name to the position of its first key: a file with many keys
    // must not make loading quadratic.
    std::unordered_map<std::wstring, std::size_t> index;
};

} // namespace keywhirl

// src/localization/ResourceBundle.h - the texts of one section of a language file.
#pragma once

#include <cstddef>
#include <map>
#include <string>

namespace keywhirl {

// Key to text; keys are compared exactly. Copies are cheap enough for the
// few dozen texts of a section, and lookups hand out copies.
class ResourceBundle {
public:
    ResourceBundle() = default;
    ResourceBundle(const ResourceBundle&) = default;
    ResourceBundle& operator=(const ResourceBundle&) = default;
    virtual ~ResourceBundle() = default;

    // The text, or an empty string for a key the bundle lacks.
    std::wstring getString(const std::wstring& key) const;
    void setString(const std::wstring& key, const std::wstring& text);

    std::size_t size() const { return texts.size(); }

private:
    std::map<std::wstring, std::wstring> texts;
};

} // namespace keywhirl

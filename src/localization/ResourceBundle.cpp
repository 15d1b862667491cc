// src/localization/ResourceBundle.cpp
#include "localization/ResourceBundle.h"

namespace keywhirl {

std::wstring ResourceBundle::getString(const std::wstring& key) const {
    auto found = texts.find(key);
    return found == texts.end() ? std::wstring() : found->second;
}

void ResourceBundle::setString(const std::wstring& key, const std::wstring& text) {
    texts[key] = text;
}

} // namespace keywhirl

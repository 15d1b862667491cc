// src/localization/ResourceLoader.cpp
#include "localization/ResourceLoader.h"

#include "localization/CXmlParser.h"
#include "localization/CXmlProfile.h"
#include "localization/InstalledLanguages.h"
#include "settings/Paths.h"

#include <algorithm>

namespace keywhirl {

namespace {

bool isInstalled(const std::vector<std::wstring>& installed, const std::wstring& code) {
    return std::find(installed.begin(), installed.end(), code) != installed.end();
}

} // namespace

ResourceLoader::ResourceLoader(const Locale& requested, const Locale& fallback, Match match)
    : locale(choose(requested, fallback, InstalledLanguages::codes(), match)) {}

Locale ResourceLoader::choose(const Locale& requested, const Locale& fallback,
                              const std::vector<std::wstring>& installed, Match match) {
    if (isInstalled(installed, requested.toString()))
        return requested;
    if (match == Match::sameLanguage) {
        LANGID language = Locale::primaryLanguageOf(requested.toString());
        if (language != 0) {
            for (const std::wstring& code : installed)
                if (Locale::primaryLanguageOf(code) == language)
                    return Locale(code);
        }
    }
    if (!isInstalled(installed, fallback.toString()) && !installed.empty())
        return Locale(installed.front());
    return fallback;
}

void ResourceLoader::load(std::map<std::wstring, ResourceBundle>& bundles) const {
    CXmlProfile profile;
    profile.Load(fileOf(locale), CXmlParser::kEncodingAuto);
    // A file with a duplicate section still yields the sections before it.
    std::vector<CXmlSection> sections;
    profile.GetSections(&sections);
    for (const CXmlSection& section : sections) {
        ResourceBundle bundle;
        std::vector<CXmlKey> keys;
        profile.GetKeys(section.GetName(), &keys);
        for (const CXmlKey& key : keys)
            bundle.setString(key.name, key.value);
        bundles[section.GetName()] = bundle;
    }
    profile.Close(false);
}

std::wstring ResourceLoader::fileOf(const Locale& locale) {
    return getLanguageFile(locale.toString());
}

} // namespace keywhirl

// src/localization/LocalizationManager.cpp
#include "localization/LocalizationManager.h"

#include "localization/CXmlParser.h"
#include "localization/CXmlProfile.h"
#include "localization/InstalledLanguages.h"
#include "localization/ResourceLoader.h"
#include "settings/Settings.h"
#include "utils/SingletonDeleter.h"

#include <windows.h>

namespace keywhirl {

namespace {
constexpr LCID kEnglishUnitedStates = 1033;

utils::SingletonDeleter<LocalizationManager> deleter;
} // namespace

LocalizationManager* LocalizationManager::instance_ = nullptr;

LocalizationManager* LocalizationManager::instance() {
    if (!instance_)
        instance_ = new LocalizationManager();
    return instance_;
}

void LocalizationManager::destroyInstance() {
    delete instance_;
    instance_ = nullptr;
}

void LocalizationManager::reload() {
    destroyInstance();
    InstalledLanguages::rescan();
    instance();
}

LocalizationManager::LocalizationManager() {
    Locale systemDefault(static_cast<LCID>(LOCALE_SYSTEM_DEFAULT));
    Locale english(kEnglishUnitedStates);
    const std::wstring& stored = Settings::instance()->l10nLanguageCode;
    // A language the user chose is taken only as it is; the system's own
    // may be a regional one (ESM, DES, ENG) whose language ships all the same.
    if (stored.empty())
        switchTo(systemDefault, english, ResourceLoader::Match::sameLanguage);
    else
        switchTo(Locale(stored), english, ResourceLoader::Match::exact);
}

ResourceBundle LocalizationManager::getBundle(const std::wstring& section) const {
    auto found = bundles.find(section);
    return found == bundles.end() ? ResourceBundle() : found->second;
}

std::vector<LocalizationManager::Language> LocalizationManager::getLanguages() {
    if (languages.empty()) {
        for (const std::wstring& code : InstalledLanguages::codes()) {
            CXmlProfile profile;
            profile.Load(ResourceLoader::fileOf(Locale(code)), CXmlParser::kEncodingAuto);
            languages.emplace_back(profile.GetString(L"Locale", L"languageName", L"-"), code);
            profile.Close(false);
        }
    }
    return languages;
}

void LocalizationManager::setLocale(const Locale& locale) {
    switchTo(locale, currentLocale, ResourceLoader::Match::exact);
}

void LocalizationManager::switchTo(const Locale& requested, const Locale& fallback,
                                   ResourceLoader::Match match) {
    ResourceLoader loader(requested, fallback, match);
    loader.load(bundles);
    currentLocale = loader.getLocale();
    Settings::instance()->l10nLanguageCode = currentLocale.toString();
}

} // namespace keywhirl

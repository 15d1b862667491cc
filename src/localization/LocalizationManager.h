// src/localization/LocalizationManager.h - the texts of the user interface in
// the current language, and the switch between installed languages.
#pragma once

#include "localization/Locale.h"
#include "localization/ResourceBundle.h"
#include "localization/ResourceLoader.h"

#include <map>
#include <string>
#include <utility>
#include <vector>

namespace keywhirl {

// The usual use, on the main thread:
//     LocalizationManager::instance()->getBundle(L"Statistics").getString(L"rhythm.title")
// A missing section or key gives an empty text. The manager has no lock.
//
// Tests that want a language of their own point the program folder at a
// temporary folder (setFolderOverrides in settings/Paths.h), put
// "Localization\<code>.xml" there, set Settings::instance()->l10nLanguageCode,
// then call LocalizationManager::reload(), and destroyInstance() when done.
class LocalizationManager {
public:
    // A language's own name and its code.
    using Language = std::pair<std::wstring, std::wstring>;

    // Made on the first call: the language of the setting l10nLanguageCode,
    // or of the system's default locale when the setting is empty, falling
    // back to English (United States), then to any installed language. The
    // code chosen is written back into the setting.
    static LocalizationManager* instance();
    static void destroyInstance();
    // Reads the list of installed languages anew and makes the manager
    // afresh, from the folder and setting in force now.
    static void reload();

    LocalizationManager(const LocalizationManager&) = delete;
    LocalizationManager& operator=(const LocalizationManager&) = delete;
    virtual ~LocalizationManager() = default;

    // A copy of the section's texts; empty if the language has no such section.
    ResourceBundle getBundle(const std::wstring& section) const;
    Locale getCurrentLocale() const { return currentLocale; }
    // The installed languages in the order of their codes, each with the
    // "languageName" of its section "Locale", or "-" where it has none.
    // Read on the first call and kept.
    std::vector<Language> getLanguages();
    // Switches to the locale's language if it is installed; otherwise the
    // language stays (see ResourceLoader::choose). Texts of sections that the
    // new language lacks stay in the old one. Stores the code in the settings.
    void setLocale(const Locale& locale);

private:
    LocalizationManager();
    // Loads the language chosen from the two and makes it current.
    void switchTo(const Locale& requested, const Locale& fallback, ResourceLoader::Match match);

    Locale currentLocale;
    std::map<std::wstring, ResourceBundle> bundles;
    std::vector<Language> languages;

    static LocalizationManager* instance_;
};

} // namespace keywhirl

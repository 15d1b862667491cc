// src/localization/ResourceLoader.h - settles on an installed language and loads its texts.
#pragma once

#include "localization/Locale.h"
#include "localization/ResourceBundle.h"

#include <map>
#include <string>
#include <vector>

namespace keywhirl {

// Lives only for one load.
class ResourceLoader {
public:
    // How a requested code finds its file.
    enum class Match {
        // Only the file of that very code (a language the user chose).
        exact,
        // Else the first installed file of the same primary language: a
        // system asking for Swiss German (DES) gets German (DEU).
        sameLanguage,
    };

    // Settles on a language among InstalledLanguages::codes(); see choose().
    ResourceLoader(const Locale& requested, const Locale& fallback, Match match = Match::exact);
    virtual ~ResourceLoader() = default;

    // The requested code if it is installed (exact, case-sensitive match);
    // with Match::sameLanguage, else the first installed code whose primary
    // language (Locale::primaryLanguageOf) is the requested one's; else the
    // fallback if installed; else the first installed code; with nothing
    // installed, the fallback, whose missing file brings no text.
    static Locale choose(const Locale& requested, const Locale& fallback,
                         const std::vector<std::wstring>& installed, Match match = Match::exact);

    const Locale& getLocale() const { return locale; }

    // Stores one bundle per section of the chosen language file, replacing
    // bundles of the same name. The map is not emptied first: sections the
    // file lacks keep the texts they had.
    void load(std::map<std::wstring, ResourceBundle>& bundles) const;

    // The language file of a code: localization folder + code + ".xml".
    static std::wstring fileOf(const Locale& locale);

private:
    Locale locale;
};

} // namespace keywhirl

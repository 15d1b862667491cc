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
    // Settles on a language among InstalledLanguages::codes(); see choose().
    ResourceLoader(const Locale& requested, const Locale& fallback);
    virtual ~ResourceLoader() = default;

    // The requested code if it is installed (exact, case-sensitive match);
    // else the fallback if installed; else the first installed code; with
    // nothing installed, the fallback, whose missing file brings no text.
    static Locale choose(const Locale& requested, const Locale& fallback,
                         const std::vector<std::wstring>& installed);

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

// src/localization/Locale.h - a language, named by its code: the base name of its language file.
#pragma once

#include <windows.h>

#include <string>

namespace keywhirl {

class Locale {
public:
    explicit Locale(const std::wstring& code = std::wstring());
    // The platform's three-letter language abbreviation of the locale
    // (LOCALE_SABBREVLANGNAME): ENU for 1033, English (United States).
    explicit Locale(LCID id);
    Locale(const Locale&) = default;
    Locale& operator=(const Locale&) = default;
    virtual ~Locale() = default;

    std::wstring toString() const { return code; }

    // The platform's language identifier of the locale whose three-letter
    // abbreviation is code (ESN: 0x0C0A, Spanish, Spain, modern sort); 0
    // for a code no locale has.
    using LanguageLookup = LANGID (*)(const std::wstring& code);
    // The primary language of that identifier (LANG_SPANISH for ESN, ESM and
    // ESP); 0 for an unknown code.
    static LANGID primaryLanguageOf(const std::wstring& code);
    // Test seam: the lookup that primaryLanguageOf uses; null puts back the
    // platform's own, which asks every installed locale once per run.
    static void setLanguageLookup(LanguageLookup lookup);
    static LANGID platformLanguageOf(const std::wstring& code);

private:
    std::wstring code;
};

} // namespace keywhirl

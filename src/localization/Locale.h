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

private:
    std::wstring code;
};

} // namespace keywhirl

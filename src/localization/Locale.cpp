// src/localization/Locale.cpp
#include "localization/Locale.h"

#include <cwchar>
#include <map>

namespace keywhirl {

namespace {

Locale::LanguageLookup languageLookup = nullptr;

// Filled while the platform enumerates its locales; the callback has no
// context of its own.
std::map<std::wstring, LANGID>* localesBeingListed = nullptr;

BOOL CALLBACK noteLocale(LPWSTR idText) {
    LCID id = static_cast<LCID>(std::wcstoul(idText, nullptr, 16));
    wchar_t abbreviation[16] = {};
    if (id != 0 && ::GetLocaleInfoW(id, LOCALE_SABBREVLANGNAME, abbreviation, 16) > 0)
        localesBeingListed->emplace(abbreviation, LANGIDFROMLCID(id));
    return TRUE;
}

const std::map<std::wstring, LANGID>& platformLocales() {
    static const std::map<std::wstring, LANGID> locales = [] {
        std::map<std::wstring, LANGID> listed;
        localesBeingListed = &listed;
        ::EnumSystemLocalesW(&noteLocale, LCID_SUPPORTED);
        localesBeingListed = nullptr;
        return listed;
    }();
    return locales;
}

} // namespace

Locale::Locale(const std::wstring& code) : code(code) {}

LANGID Locale::platformLanguageOf(const std::wstring& code) {
    const auto& locales = platformLocales();
    auto found = locales.find(code);
    return found == locales.end() ? 0 : found->second;
}

LANGID Locale::primaryLanguageOf(const std::wstring& code) {
    if (code.empty())
        return 0;
    LanguageLookup lookup = languageLookup ? languageLookup : &Locale::platformLanguageOf;
    return PRIMARYLANGID(lookup(code));
}

void Locale::setLanguageLookup(LanguageLookup lookup) {
    languageLookup = lookup;
}

Locale::Locale(LCID id) {
    wchar_t abbreviation[16] = {};
    if (::GetLocaleInfoW(id, LOCALE_SABBREVLANGNAME, abbreviation, 16) > 0)
        code = abbreviation;
}

} // namespace keywhirl

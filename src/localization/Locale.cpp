// src/localization/Locale.cpp
#include "localization/Locale.h"

namespace keywhirl {

Locale::Locale(const std::wstring& code) : code(code) {}

Locale::Locale(LCID id) {
    wchar_t abbreviation[16] = {};
    if (::GetLocaleInfoW(id, LOCALE_SABBREVLANGNAME, abbreviation, 16) > 0)
        code = abbreviation;
}

} // namespace keywhirl

// src/localization/CXmlKey.h - one key of a profile section.
#pragma once

#include <string>

namespace keywhirl {

struct CXmlKey {
    std::wstring name;
    std::wstring value;
    // Carried through load and save; it changes no lookup.
    int readOnly = 0;
};

} // namespace keywhirl

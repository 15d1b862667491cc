// src/app/HelpFileChoice.cpp
#include "app/HelpFileChoice.h"

#include <windows.h>

namespace keywhirl {

std::wstring helpFileFor(const std::wstring& programPath, const std::wstring& languageCode) {
    std::wstring base = programPath;
    const size_t dot = base.find_last_of(L'.');
    const size_t slash = base.find_last_of(L"\\/");
    if (dot != std::wstring::npos && (slash == std::wstring::npos || dot > slash))
        base.erase(dot);
    // A code is a file name part: anything that could leave the folder is
    // not one.
    if (!languageCode.empty() && languageCode.find_first_of(L"\\/:.") == std::wstring::npos) {
        std::wstring localized = base + L"." + languageCode + L".chm";
        DWORD attributes = ::GetFileAttributesW(localized.c_str());
        if (attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY))
            return localized;
    }
    return base + L".CHM";
}

} // namespace keywhirl

// src/about/CFileVersionInfo.cpp
#include "about/CFileVersionInfo.h"

#include <cstdio>
#include <cwchar>

namespace keywhirl {

namespace {

// In the order of the string fields.
const wchar_t* const kStringNames[] = {
    L"CompanyName",    L"FileDescription",  L"FileVersion",  L"InternalName",
    L"LegalCopyright", L"OriginalFileName", L"ProductName",  L"ProductVersion",
    L"Comments",       L"LegalTrademarks",  L"PrivateBuild", L"SpecialBuild",
};

constexpr WORD kNeutral = LANG_NEUTRAL;
constexpr WORD kEnglish = LANG_ENGLISH;

WORD primaryLanguage(WORD language) {
    return static_cast<WORD>(language & 0xFF);
}

} // namespace

CFileVersionInfo::CFileVersionInfo() : fixedInfo{} {
    static_assert(sizeof(kStringNames) / sizeof(kStringNames[0]) == StringCount);
}

void CFileVersionInfo::Reset() {
    fixedInfo = VS_FIXEDFILEINFO{};
    for (std::wstring& text : strings)
        text.clear();
}

bool CFileVersionInfo::Open(HMODULE module) {
    wchar_t fileName[MAX_PATH + 1] = {};
    const DWORD length = ::GetModuleFileNameW(module, fileName, MAX_PATH + 1);
    if (length == 0 || length > MAX_PATH) {
        Reset();
        return false;
    }
    return Open(std::wstring(fileName, length));
}

bool CFileVersionInfo::Open(const std::wstring& fileName) {
    Reset();
    DWORD ignored = 0;
    const DWORD size = ::GetFileVersionInfoSizeW(fileName.c_str(), &ignored);
    if (size == 0)
        return false;
    std::vector<BYTE> block(size);
    if (!::GetFileVersionInfoW(fileName.c_str(), 0, size, block.data()))
        return false;

    void* value = nullptr;
    UINT valueLength = 0;
    // A block of another size is of a layout we do not know.
    if (::VerQueryValueW(block.data(), L"\\", &value, &valueLength) && value != nullptr &&
        valueLength == sizeof(VS_FIXEDFILEINFO))
        fixedInfo = *static_cast<const VS_FIXEDFILEINFO*>(value);

    std::vector<Translation> translations;
    if (::VerQueryValueW(block.data(), L"\\VarFileInfo\\Translation", &value, &valueLength) &&
        value != nullptr) {
        const auto* first = static_cast<const Translation*>(value);
        translations.assign(first, first + valueLength / sizeof(Translation));
    }
    const int chosen = ChooseTranslation(translations, ::GetUserDefaultLangID());
    if (chosen < 0)
        return true;

    wchar_t prefix[40] = {};
    std::swprintf(prefix, 40, L"\\StringFileInfo\\%04X%04X\\", translations[chosen].language,
                  translations[chosen].codePage);
    for (int index = 0; index < StringCount; ++index) {
        const std::wstring query = prefix + std::wstring(kStringNames[index]);
        if (::VerQueryValueW(block.data(), query.c_str(), &value, &valueLength) &&
            value != nullptr) {
            // The length may or may not count the terminator.
            const auto* text = static_cast<const wchar_t*>(value);
            strings[index].assign(text, ::wcsnlen(text, valueLength));
        }
    }
    return true;
}

int CFileVersionInfo::ChooseTranslation(const std::vector<Translation>& translations,
                                        LANGID userLanguage) {
    if (translations.empty())
        return -1;
    const auto find = [&](auto matches) {
        for (std::size_t index = 0; index < translations.size(); ++index) {
            if (matches(translations[index].language))
                return static_cast<int>(index);
        }
        return -1;
    };
    int found = find([&](WORD language) { return language == userLanguage; });
    if (found < 0)
        found = find([&](WORD language) {
            return primaryLanguage(language) == primaryLanguage(userLanguage);
        });
    if (found < 0)
        found = find([](WORD language) { return primaryLanguage(language) == kNeutral; });
    if (found < 0)
        found = find([](WORD language) { return primaryLanguage(language) == kEnglish; });
    return found < 0 ? 0 : found;
}

std::array<WORD, 4> CFileVersionInfo::GetFixedProductVersion() const {
    return {HIWORD(fixedInfo.dwProductVersionMS), LOWORD(fixedInfo.dwProductVersionMS),
            HIWORD(fixedInfo.dwProductVersionLS), LOWORD(fixedInfo.dwProductVersionLS)};
}

} // namespace keywhirl

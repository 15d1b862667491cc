// tests/unit/settings/IniFileTestSupport.h - writing and reading INI text around the storage under
// test.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace keywhirl::testing {

// Writes text to path as UTF-16 with a byte-order mark, as the profile
// functions read it.
inline void writeIniText(const std::wstring& path, const std::wstring& text) {
    HANDLE file = ::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return;
    std::wstring content = L"\xFEFF" + text;
    DWORD written = 0;
    ::WriteFile(file, content.data(), static_cast<DWORD>(content.size() * sizeof(wchar_t)),
                &written, nullptr);
    ::CloseHandle(file);
}

// The value of key in section as the platform reads it, or "<missing>".
inline std::wstring iniValue(const std::wstring& path, const std::wstring& section,
                             const std::wstring& key) {
    std::vector<wchar_t> text(4096);
    ::GetPrivateProfileStringW(section.c_str(), key.c_str(), L"<missing>", text.data(),
                               static_cast<DWORD>(text.size()), path.c_str());
    return text.data();
}

// Key names of a section, in file order.
inline std::vector<std::wstring> iniKeys(const std::wstring& path, const std::wstring& section) {
    std::vector<wchar_t> names(32768);
    DWORD length = ::GetPrivateProfileStringW(section.c_str(), nullptr, L"", names.data(),
                                              static_cast<DWORD>(names.size()), path.c_str());
    std::vector<std::wstring> keys;
    for (DWORD at = 0; at < length && names[at] != L'\0';) {
        std::wstring key = names.data() + at;
        at += static_cast<DWORD>(key.size()) + 1;
        keys.push_back(key);
    }
    return keys;
}

inline bool fileExists(const std::wstring& path) {
    return ::GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

} // namespace keywhirl::testing

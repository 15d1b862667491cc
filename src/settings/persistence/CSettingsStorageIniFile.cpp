// src/settings/persistence/CSettingsStorageIniFile.cpp
#include "settings/persistence/CSettingsStorageIniFile.h"

#include <windows.h>

#include <cstring>
#include <cwchar>
#include <vector>

namespace Duvuzora {

namespace {
// The default of a raw string read: real files never hold these characters,
// so getting them back means the key is missing.
constexpr wchar_t missingSentinel[] = L"\x00FF\x007F\x0008";
constexpr unsigned rawReadMinimum = 1024;
constexpr unsigned boolReadLength = 16;

// Copies text when it fits into a MaxText buffer; nothing is cut.
bool copyFitting(wchar_t (&target)[CSettingsStorageIniFile::MaxText], const wchar_t* text) {
    if (text == nullptr)
        return false;
    size_t length = std::wcslen(text);
    if (length >= CSettingsStorageIniFile::MaxText)
        return false;
    std::wmemcpy(target, text, length + 1);
    return true;
}
} // namespace

CSettingsStorageIniFile::CSettingsStorageIniFile(const wchar_t* path, const wchar_t* section)
    : path_{}, section_{} {
    if (!copyFitting(path_, path))
        path_[0] = L'\0';
    if (!copyFitting(section_, section))
        section_[0] = L'\0';
}

CSettingsStorage* CSettingsStorageIniFile::CreateSubStorage(const wchar_t* name) {
    if (!IsBound() || name == nullptr)
        return nullptr;
    wchar_t subSection[MaxText];
    int written = std::swprintf(subSection, MaxText, L"%ls.%ls", section_, name);
    if (written < 0 || static_cast<unsigned>(written) >= MaxText)
        return nullptr;
    return new CSettingsStorageIniFile(path_, subSection);
}

bool CSettingsStorageIniFile::WriteText(const wchar_t* name, const wchar_t* text) {
    if (!IsBound() || name == nullptr || text == nullptr)
        return false;
    return ::WritePrivateProfileStringW(section_, name, text, path_) != FALSE;
}

bool CSettingsStorageIniFile::ReadText(const wchar_t* name, wchar_t (&text)[MaxText]) {
    if (!IsBound() || name == nullptr)
        return false;
    DWORD count = ::GetPrivateProfileStringW(section_, name, L"", text, MaxText, path_);
    return count > 0;
}

template <typename T>
bool CSettingsStorageIniFile::ExchangeNumber(const wchar_t* name, T& value, const wchar_t* format,
                                             bool save) {
    wchar_t text[MaxText];
    if (save) {
        if (std::swprintf(text, MaxText, format, value) < 0)
            return false;
        return WriteText(name, text);
    }
    if (!ReadText(name, text))
        return false;
    T parsed{};
    if (std::swscanf(text, format, &parsed) != 1)
        return false;
    value = parsed;
    return true;
}

bool CSettingsStorageIniFile::ExchangeFloat(const wchar_t* name, float& value, bool save) {
    wchar_t text[MaxText];
    if (save) {
        if (std::swprintf(text, MaxText, L"%f", static_cast<double>(value)) < 0)
            return false;
        return WriteText(name, text);
    }
    if (!ReadText(name, text))
        return false;
    float parsed = 0;
    if (std::swscanf(text, L"%f", &parsed) != 1)
        return false;
    value = parsed;
    return true;
}

bool CSettingsStorageIniFile::ExchangeDouble(const wchar_t* name, double& value, bool save) {
    return ExchangeNumber(name, value, L"%lf", save);
}

bool CSettingsStorageIniFile::ExchangeUInt(const wchar_t* name, unsigned int& value, bool save) {
    return ExchangeNumber(name, value, L"%u", save);
}

bool CSettingsStorageIniFile::ExchangeInt(const wchar_t* name, int& value, bool save) {
    return ExchangeNumber(name, value, L"%d", save);
}

bool CSettingsStorageIniFile::ExchangeBool(const wchar_t* name, bool& value, bool save) {
    if (save)
        return WriteText(name, value ? L"TRUE" : L"FALSE");
    wchar_t text[boolReadLength];
    unsigned length = boolReadLength;
    if (!ExchangeRawString(name, text, length, false))
        return false;
    value = std::wcscmp(text, L"TRUE") == 0;
    return true;
}

bool CSettingsStorageIniFile::ExchangeBinary(const wchar_t* name, void* data, unsigned size,
                                             bool save) {
    if (!IsBound() || name == nullptr || data == nullptr)
        return false;
    if (save)
        return ::WritePrivateProfileStructW(section_, name, data, size, path_) != FALSE;
    // Some platforms fill the buffer before they find a wrong size or
    // checksum; a failed read must leave the value as it was.
    std::vector<unsigned char> block(size);
    if (!::GetPrivateProfileStructW(section_, name, block.data(), size, path_))
        return false;
    if (size != 0)
        std::memcpy(data, block.data(), size);
    return true;
}

bool CSettingsStorageIniFile::ExchangeRawString(const wchar_t* name, wchar_t* buffer,
                                                unsigned& length, bool save) {
    if (save) {
        // A null text would delete the key instead of writing it.
        return WriteText(name, buffer);
    }
    if (!IsBound() || name == nullptr)
        return false;
    unsigned size = length < rawReadMinimum ? rawReadMinimum : length;
    std::vector<wchar_t> text(size, L'\0');
    DWORD count =
        ::GetPrivateProfileStringW(section_, name, missingSentinel, text.data(), size, path_);
    if (count == size - 1) {
        // Did not fit: ask for more next time.
        length = length != 0 ? length * 2 : size * 2;
        return false;
    }
    if (std::wcscmp(text.data(), missingSentinel) == 0) {
        length = 0;
        return false;
    }
    if (buffer == nullptr) {
        length = count + 1;
        return true;
    }
    if (length < count + 1) {
        length = count + 1;
        return false;
    }
    std::wmemcpy(buffer, text.data(), count + 1);
    return true;
}

} // namespace Duvuzora

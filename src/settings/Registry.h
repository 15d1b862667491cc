// src/settings/Registry.h - one registry value, opened only for the moment it is used.
#pragma once

#include "utils/Handles.h"

#include <windows.h>

#include <string>
#include <type_traits>

namespace keywhirl {

// A value named by a path such as
// "Software\\Microsoft\\Windows\\CurrentVersion\\Run\\Keywhirl" below a root
// key: the part after the last backslash is the value name, the rest the
// subkey. Every operation reports failure as false; exists, remove and the
// writes of registry_string open the key themselves and close it again.
class registry_value {
public:
    registry_value(const std::wstring& path, HKEY root);
    virtual ~registry_value() = default;
    registry_value(const registry_value&) = delete;
    registry_value& operator=(const registry_value&) = delete;

    // write: creates the subkey when missing and opens it for writing; a
    // read (or a failed create) opens the existing subkey for reading.
    bool open(bool write);
    void close();
    bool isOpen() const { return static_cast<bool>(key_); }
    // Whether the value is there (its data is not read).
    bool exists();
    // Deletes the value; false when it was not there or cannot be deleted.
    bool remove();

    const std::wstring& subkey() const { return subkey_; }
    const std::wstring& name() const { return name_; }

protected:
    HKEY key() const { return key_.get(); }

private:
    utils::UniqueKey key_;
    HKEY root_;
    std::wstring name_;
    std::wstring subkey_;
};

// A string value; String is a wide string type (std::wstring).
//     registry_string<std::wstring> run(L"Software\\...\\Run\\Keywhirl", HKEY_CURRENT_USER);
//     run.set(path);
template <typename String> class registry_string : public registry_value {
    static_assert(std::is_same_v<typename String::value_type, wchar_t>,
                  "registry strings are wide strings");

public:
    using registry_value::registry_value;

    // Stores text as REG_SZ, terminator included.
    bool set(const String& text) {
        if (!open(true))
            return false;
        const DWORD bytes = static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t));
        LONG result = ::RegSetValueExW(key(), name().c_str(), 0, REG_SZ,
                                       reinterpret_cast<const BYTE*>(text.c_str()), bytes);
        close();
        return result == ERROR_SUCCESS;
    }
};

} // namespace keywhirl

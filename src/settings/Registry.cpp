// src/settings/Registry.cpp
#include "settings/Registry.h"

namespace keywhirl {

registry_value::registry_value(const std::wstring& path, HKEY root) : root_(root) {
    size_t split = path.rfind(L'\\');
    if (split == std::wstring::npos) {
        name_ = path;
    } else {
        subkey_ = path.substr(0, split);
        name_ = path.substr(split + 1);
    }
}

bool registry_value::open(bool write) {
    close();
    HKEY opened = nullptr;
    if (write) {
        wchar_t noClass[] = L"";
        if (::RegCreateKeyExW(root_, subkey_.c_str(), 0, noClass, REG_OPTION_NON_VOLATILE,
                              KEY_WRITE, nullptr, &opened, nullptr) == ERROR_SUCCESS) {
            key_.reset(opened);
            return true;
        }
    }
    opened = nullptr;
    if (::RegOpenKeyExW(root_, subkey_.c_str(), 0, KEY_READ, &opened) == ERROR_SUCCESS) {
        key_.reset(opened);
        return true;
    }
    return false;
}

void registry_value::close() {
    key_.reset();
}

bool registry_value::exists() {
    if (!open(false))
        return false;
    DWORD type = 0;
    DWORD size = 0;
    LONG result = ::RegQueryValueExW(key_.get(), name_.c_str(), nullptr, &type, nullptr, &size);
    close();
    return result == ERROR_SUCCESS;
}

bool registry_value::remove() {
    if (!open(true))
        return false;
    LONG result = ::RegDeleteValueW(key_.get(), name_.c_str());
    close();
    return result == ERROR_SUCCESS;
}

} // namespace keywhirl

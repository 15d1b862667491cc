// src/app/AutorunValue.cpp
#include "app/AutorunValue.h"

#include "settings/Paths.h"
#include "settings/Registry.h"

#include <windows.h>

namespace keywhirl {

namespace {
const wchar_t kRunValuePath[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run\\Keywhirl";
} // namespace

void AutorunValue::apply(bool on) {
    registry_string<std::wstring> runValue(kRunValuePath, HKEY_CURRENT_USER);
    if (on)
        runValue.set(command());
    else if (runValue.exists())
        runValue.remove();
}

std::wstring AutorunValue::command() {
    wchar_t path[MAX_PATH + 1] = {};
    DWORD length = ::GetModuleFileNameW(nullptr, path, MAX_PATH + 1);
    if (length == 0 || length > MAX_PATH)
        return L"\"" + getProgramFolder() + L"\\Keywhirl.exe\"";
    return L"\"" + std::wstring(path, length) + L"\"";
}

} // namespace keywhirl

// tests/unit/resources/ResourceData.cpp
#include "ResourceData.h"

#include <string>

namespace keywhirl::testing {

ResourceData ResourceData::find(LPCWSTR type, WORD id) {
    HMODULE module = ::GetModuleHandleW(nullptr);
    HRSRC info = ::FindResourceW(module, MAKEINTRESOURCEW(id), type);
    if (info == nullptr)
        return {};
    HGLOBAL loaded = ::LoadResource(module, info);
    if (loaded == nullptr)
        return {};
    return {static_cast<const BYTE*>(::LockResource(loaded)), ::SizeofResource(module, info)};
}

std::wstring outputFolder() {
    wchar_t path[MAX_PATH] = {};
    DWORD length = ::GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring folder(path, length);
    folder.erase(folder.find_last_of(L"\\/") + 1);
    const char* relative = KEYWHIRL_OUTPUT_FROM_TESTS;
    folder.append(relative, relative + std::char_traits<char>::length(relative));
    folder += L'/';
    return folder;
}

} // namespace keywhirl::testing

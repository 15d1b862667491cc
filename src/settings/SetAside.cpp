// src/settings/SetAside.cpp
#include "settings/SetAside.h"

#include <windows.h>

namespace keywhirl {

namespace {
bool exists(const std::wstring& path) {
    return ::GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}
} // namespace

std::wstring setAsideName(const std::wstring& file, const std::wstring& suffix, int index) {
    std::wstring name = file + suffix;
    if (index > 0)
        name += L"." + std::to_wstring(index);
    return name;
}

bool setAside(const std::wstring& file, const std::wstring& suffix) {
    ::DeleteFileW(setAsideName(file, suffix, kSetAsideCopies - 1).c_str());
    for (int index = kSetAsideCopies - 2; index >= 0; --index) {
        std::wstring older = setAsideName(file, suffix, index);
        if (exists(older))
            ::MoveFileExW(older.c_str(), setAsideName(file, suffix, index + 1).c_str(), 0);
    }
    // Without MOVEFILE_REPLACE_EXISTING: a copy that could not make room
    // stays, and this file stays where it was.
    return ::MoveFileExW(file.c_str(), setAsideName(file, suffix, 0).c_str(), 0) != FALSE;
}

} // namespace keywhirl

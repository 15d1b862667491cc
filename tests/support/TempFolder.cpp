// tests/support/TempFolder.cpp
#include "support/TempFolder.h"

#include <windows.h>

#include <atomic>

namespace keywhirl::testing {

namespace {
std::atomic<unsigned> folderCount{0};

void removeTree(const std::wstring& folder) {
    WIN32_FIND_DATAW found;
    HANDLE search = ::FindFirstFileW((folder + L"\\*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            std::wstring name = found.cFileName;
            if (name == L"." || name == L"..")
                continue;
            std::wstring child = folder + L"\\" + name;
            if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                removeTree(child);
            else
                ::DeleteFileW(child.c_str());
        } while (::FindNextFileW(search, &found));
        ::FindClose(search);
    }
    ::RemoveDirectoryW(folder.c_str());
}
} // namespace

TempFolder::TempFolder() {
    wchar_t base[MAX_PATH];
    ::GetTempPathW(MAX_PATH, base);
    for (;;) {
        path_ = std::wstring(base) + L"kwtest-" + std::to_wstring(::GetCurrentProcessId()) + L"-" +
                std::to_wstring(folderCount++);
        if (::CreateDirectoryW(path_.c_str(), nullptr))
            break;
    }
}

TempFolder::~TempFolder() {
    removeTree(path_);
}

std::wstring TempFolder::file(const std::wstring& name) const {
    return path_ + L"\\" + name;
}

} // namespace keywhirl::testing

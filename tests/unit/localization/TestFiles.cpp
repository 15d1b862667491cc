// tests/unit/localization/TestFiles.cpp
#include "TestFiles.h"

#include "utils/Handles.h"

#include <windows.h>

namespace keywhirl::testing {

void writeBytes(const std::wstring& path, const std::string& bytes) {
    HANDLE created = ::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                   FILE_ATTRIBUTE_NORMAL, nullptr);
    if (created == INVALID_HANDLE_VALUE)
        return;
    utils::UniqueHandle file(created);
    std::size_t done = 0;
    while (done < bytes.size()) {
        DWORD written = 0;
        DWORD chunk = static_cast<DWORD>(bytes.size() - done);
        if (!::WriteFile(file.get(), bytes.data() + done, chunk, &written, nullptr) || written == 0)
            return;
        done += written;
    }
}

std::string readBytes(const std::wstring& path) {
    HANDLE opened = ::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (opened == INVALID_HANDLE_VALUE)
        return std::string();
    utils::UniqueHandle file(opened);
    std::string bytes(::GetFileSize(file.get(), nullptr), '\0');
    DWORD got = 0;
    if (!bytes.empty())
        ::ReadFile(file.get(), &bytes[0], static_cast<DWORD>(bytes.size()), &got, nullptr);
    bytes.resize(got);
    return bytes;
}

bool fileExists(const std::wstring& path) {
    return ::GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::string utf16(const std::wstring& text, bool mark) {
    std::string bytes = mark ? std::string("\xFF\xFE", 2) : std::string();
    for (wchar_t c : text) {
        bytes += static_cast<char>(c & 0xFF);
        bytes += static_cast<char>((c >> 8) & 0xFF);
    }
    return bytes;
}

std::string ascii(const std::wstring& text) {
    std::string bytes;
    for (wchar_t c : text)
        bytes += static_cast<char>(c);
    return bytes;
}

} // namespace keywhirl::testing

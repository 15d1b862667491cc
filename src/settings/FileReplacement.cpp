// src/settings/FileReplacement.cpp
#include "settings/FileReplacement.h"

#include "utils/Handles.h"

#include <windows.h>

namespace keywhirl {

namespace {

utils::UniqueFile openFile(const std::wstring& path, DWORD access, DWORD disposition) {
    return utils::UniqueFile(::CreateFileW(path.c_str(), access, 0, nullptr, disposition,
                                           FILE_ATTRIBUTE_NORMAL, nullptr));
}

bool writeWhole(HANDLE file, const char* data, DWORD size) {
    DWORD written = 0;
    return ::WriteFile(file, data, size, &written, nullptr) && written == size;
}

FileReplacement::Writer currentWriter = &writeWhole;

bool sizeOf(HANDLE file, unsigned long long& size) {
    DWORD high = 0;
    DWORD low = ::GetFileSize(file, &high);
    if (low == INVALID_FILE_SIZE && ::GetLastError() != NO_ERROR)
        return false;
    size = (static_cast<unsigned long long>(high) << 32) | low;
    return true;
}

} // namespace

void FileReplacement::useWriter(Writer writer) {
    currentWriter = writer ? writer : &writeWhole;
}

FileReplacement::FileReplacement(std::wstring target)
    : target_(std::move(target)), temporary_(target_ + L".tmp") {}

bool FileReplacement::beginFromCopy() {
    discard();
    sizeKnown_ = false;
    if (::GetFileAttributesW(target_.c_str()) == INVALID_FILE_ATTRIBUTES)
        return static_cast<bool>(openFile(temporary_, GENERIC_WRITE, CREATE_NEW));
    if (::CopyFileW(target_.c_str(), temporary_.c_str(), FALSE))
        return true;
    discard(); // a copy cut short by a full disk
    return false;
}

bool FileReplacement::writeTemporary(const std::string& bytes) {
    sizeKnown_ = false;
    utils::UniqueFile file = openFile(temporary_, GENERIC_WRITE, CREATE_ALWAYS);
    if (!file)
        return false;
    if (bytes.size() <= MAXDWORD &&
        currentWriter(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()))) {
        sizeKnown_ = true;
        writtenSize_ = bytes.size();
        return true;
    }
    file.reset();
    discard(); // a full disk leaves no half file behind
    return false;
}

bool FileReplacement::commit() {
    {
        // On disk before it takes the file's place: a power cut after the
        // move must not find an empty file under the old name.
        utils::UniqueFile file = openFile(temporary_, GENERIC_WRITE, OPEN_EXISTING);
        unsigned long long size = 0;
        // A full disk may cut a file short and still report every write
        // as done: only a temporary of the written size takes the place.
        bool whole = file && (!sizeKnown_ || (sizeOf(file.get(), size) && size == writtenSize_));
        if (!whole || !::FlushFileBuffers(file.get())) {
            file.reset();
            discard();
            return false;
        }
    }
    if (!::MoveFileExW(temporary_.c_str(), target_.c_str(),
                       MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        discard();
        return false;
    }
    return true;
}

void FileReplacement::discard() {
    ::DeleteFileW(temporary_.c_str());
}

} // namespace keywhirl

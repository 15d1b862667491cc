// src/settings/FileReplacement.cpp
#include "settings/FileReplacement.h"

#include "ui/Handles.h"

#include <windows.h>

namespace keywhirl {

namespace {

ui::UniqueFile openFile(const std::wstring& path, DWORD access, DWORD disposition) {
    return ui::UniqueFile(::CreateFileW(path.c_str(), access, 0, nullptr, disposition,
                                        FILE_ATTRIBUTE_NORMAL, nullptr));
}

} // namespace

FileReplacement::FileReplacement(std::wstring target)
    : target_(std::move(target)), temporary_(target_ + L".tmp") {}

bool FileReplacement::beginFromCopy() {
    discard();
    if (::GetFileAttributesW(target_.c_str()) == INVALID_FILE_ATTRIBUTES)
        return static_cast<bool>(openFile(temporary_, GENERIC_WRITE, CREATE_NEW));
    return ::CopyFileW(target_.c_str(), temporary_.c_str(), FALSE) != FALSE;
}

bool FileReplacement::writeTemporary(const std::string& bytes) {
    ui::UniqueFile file = openFile(temporary_, GENERIC_WRITE, CREATE_ALWAYS);
    if (!file)
        return false;
    DWORD written = 0;
    BOOL ok =
        ::WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    if (ok && written == bytes.size())
        return true;
    file.reset();
    discard(); // a full disk leaves no half file behind
    return false;
}

bool FileReplacement::commit() {
    {
        // On disk before it takes the file's place: a power cut after the
        // move must not find an empty file under the old name.
        ui::UniqueFile file = openFile(temporary_, GENERIC_WRITE, OPEN_EXISTING);
        if (!file || !::FlushFileBuffers(file.get())) {
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

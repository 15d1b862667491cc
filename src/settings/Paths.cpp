// src/settings/Paths.cpp
#include "settings/Paths.h"

#include <windows.h>
#include <shlobj.h>
#include <shlwapi.h>

#include <io.h>

#include <cerrno>
#include <cstdio>
#include <memory>

namespace keywhirl {

namespace {

// The overrides of the test seam; the lock only keeps a late reader on a
// worker thread from seeing a half-written string.
class FolderOverrides {
public:
    FolderOverrides() { ::InitializeCriticalSection(&lock_); }
    ~FolderOverrides() { ::DeleteCriticalSection(&lock_); }
    FolderOverrides(const FolderOverrides&) = delete;
    FolderOverrides& operator=(const FolderOverrides&) = delete;

    void set(const std::wstring& program, const std::wstring& appData) {
        ::EnterCriticalSection(&lock_);
        program_ = program;
        appData_ = appData;
        ::LeaveCriticalSection(&lock_);
    }
    std::wstring program() { return read(program_); }
    std::wstring appData() { return read(appData_); }

private:
    std::wstring read(const std::wstring& value) {
        ::EnterCriticalSection(&lock_);
        std::wstring copy = value;
        ::LeaveCriticalSection(&lock_);
        return copy;
    }

    CRITICAL_SECTION lock_;
    std::wstring program_;
    std::wstring appData_;
};

// Built on first use and never destroyed, so that static objects elsewhere may
// ask for a folder while they are built or destroyed.
FolderOverrides& overrides() {
    static FolderOverrides* instance = new FolderOverrides;
    return *instance;
}

std::wstring realProgramFolder() {
    wchar_t path[MAX_PATH + 1] = {};
    DWORD length = ::GetModuleFileNameW(nullptr, path, MAX_PATH + 1);
    if (length == 0 || length >= MAX_PATH + 1)
        return std::wstring();
    ::PathRemoveFileSpecW(path);
    return toLongPath(path);
}

constexpr wchar_t localizationPart[] = L"\\Localization\\";

using File = std::unique_ptr<FILE, decltype(&std::fclose)>;

} // namespace

std::wstring getAppDataFolder() {
    std::wstring overridden = overrides().appData();
    if (!overridden.empty())
        return overridden;
    wchar_t path[MAX_PATH] = {};
    if (FAILED(::SHGetFolderPathW(nullptr, CSIDL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, path)))
        return std::wstring();
    return toLongPath(path);
}

std::wstring getProgramFolder() {
    std::wstring overridden = overrides().program();
    if (!overridden.empty())
        return overridden;
    return realProgramFolder();
}

std::wstring getLocalizationFolder() {
    std::wstring overridden = overrides().program();
    if (!overridden.empty())
        return overridden + localizationPart;
    static const std::wstring folder = realProgramFolder() + localizationPart;
    return folder;
}

std::wstring toLongPath(const std::wstring& path) {
    DWORD needed = ::GetLongPathNameW(path.c_str(), nullptr, 0);
    if (needed == 0)
        return std::wstring();
    std::wstring longPath(needed, L'\0');
    DWORD length = ::GetLongPathNameW(path.c_str(), &longPath[0], needed);
    if (length == 0 || length >= needed)
        return std::wstring();
    longPath.resize(length);
    return longPath;
}

HMODULE loadSystemLibrary(const wchar_t* fileName) {
    wchar_t system[MAX_PATH];
    UINT length = ::GetSystemDirectoryW(system, MAX_PATH);
    if (length == 0 || length >= MAX_PATH)
        return nullptr;
    std::wstring path(system, length);
    path += L"\\";
    path += fileName;
    return ::LoadLibraryW(path.c_str());
}

int readFileBytes(const std::wstring& path, std::vector<char>& bytes, std::size_t maxBytes) {
    bytes.clear();
    File file(::_wfopen(path.c_str(), L"rb"), &std::fclose);
    if (!file)
        return errno != 0 ? errno : ENOENT;
    // _filelength is in every msvcrt.dll, _fstat64 only from Windows XP on.
    long length = ::_filelength(::_fileno(file.get()));
    if (length < 0)
        return errno != 0 ? errno : EIO;
    size_t size = static_cast<size_t>(length);
    if (size > maxBytes)
        return EFBIG;
    std::vector<char> contents(size);
    if (size != 0 && std::fread(contents.data(), 1, size, file.get()) != size)
        return errno != 0 ? errno : EIO;
    bytes.swap(contents);
    return 0;
}

void setFolderOverrides(const std::wstring& programFolder, const std::wstring& appDataFolder) {
    overrides().set(programFolder, appDataFolder);
}

void resetFolderOverrides() {
    overrides().set(std::wstring(), std::wstring());
}

} // namespace keywhirl

// src/settings/Paths.cpp
#include "settings/Paths.h"

#include "utils/CriticalSection.h"

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
    void set(const std::wstring& program, const std::wstring& appData) {
        utils::Lock guard(lock_);
        program_ = program;
        appData_ = appData;
    }
    std::wstring program() { return read(program_); }
    std::wstring appData() { return read(appData_); }

private:
    std::wstring read(const std::wstring& value) {
        utils::Lock guard(lock_);
        return value;
    }

    utils::CriticalSection lock_;
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

// "\\?\" form of an absolute path; a network path (a redirected profile)
// needs the "\\?\UNC\" form instead.
std::wstring extendedLengthPath(const std::wstring& path) {
    if (path.compare(0, 4, L"\\\\?\\") == 0)
        return path;
    if (path.compare(0, 2, L"\\\\") == 0)
        return L"\\\\?\\UNC\\" + path.substr(2);
    return L"\\\\?\\" + path;
}

// A file in the settings folder; empty without one.
std::wstring settingsFolderFile(const wchar_t* name) {
    std::wstring folder = getSettingsFolder();
    return folder.empty() ? folder : folder + L"\\" + name;
}

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

std::wstring getSettingsFolder() {
    std::wstring appData = getAppDataFolder();
    if (appData.empty())
        return appData;
    std::wstring folder = extendedLengthPath(appData) + L"\\Keywhirl";
    ::CreateDirectoryW(folder.c_str(), nullptr);
    return folder;
}

std::wstring getSettingsFile() {
    return settingsFolderFile(L"Keywhirl.ini");
}

std::wstring getWeakKeysFile() {
    return settingsFolderFile(L"WeakKeys.ini");
}

std::wstring getHistoryFile() {
    return settingsFolderFile(L"History.csv");
}

std::wstring getClickSoundFile() {
    return getProgramFolder() + L"\\Sounds\\Click.wav";
}

std::wstring getMetronomeSoundFile() {
    return getProgramFolder() + L"\\Sounds\\Metronome.wav";
}

std::wstring getKeyboardPictureFile() {
    return getProgramFolder() + L"\\Keyboard\\Keywhirl.bmp";
}

std::wstring getHookLibraryFile() {
    return getProgramFolder() + L"\\Keywhirl.dll";
}

std::wstring getLanguageFile(const std::wstring& code) {
    return getLocalizationFolder() + code + L".xml";
}

std::wstring getHelpFile(const std::wstring& languageCode) {
    wchar_t path[MAX_PATH + 1] = {};
    DWORD length = ::GetModuleFileNameW(nullptr, path, MAX_PATH + 1);
    if (length == 0 || length > MAX_PATH)
        return getProgramFolder() + L"\\Keywhirl.CHM";
    return helpFileFor(std::wstring(path, length), languageCode);
}

std::wstring helpFileFor(const std::wstring& programPath, const std::wstring& languageCode) {
    std::wstring base = programPath;
    const size_t dot = base.find_last_of(L'.');
    const size_t slash = base.find_last_of(L"\\/");
    if (dot != std::wstring::npos && (slash == std::wstring::npos || dot > slash))
        base.erase(dot);
    // A code is a file name part: anything that could leave the folder is
    // not one.
    if (!languageCode.empty() && languageCode.find_first_of(L"\\/:.") == std::wstring::npos) {
        std::wstring localized = base + L"." + languageCode + L".chm";
        DWORD attributes = ::GetFileAttributesW(localized.c_str());
        if (attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY))
            return localized;
    }
    return base + L".CHM";
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

// src/localization/InstalledLanguages.cpp
#include "localization/InstalledLanguages.h"

#include "settings/Paths.h"
#include "utils/Handles.h"

#include <windows.h>

namespace keywhirl {

namespace {

// FILE_ATTRIBUTE_READONLY | HIDDEN | SYSTEM | ARCHIVE | COMPRESSED
constexpr DWORD kFileAttributes = 0x827;
constexpr wchar_t kExtension[] = L".xml";
constexpr std::size_t kExtensionLength = 4;
// A language file holds a few kilobytes of texts. A huge one is not a
// language file, and reading it for its name would hold up the main window.
constexpr DWORD kMaxFileBytes = 1024 * 1024;

std::vector<std::wstring>& list() {
    static std::vector<std::wstring> codes = InstalledLanguages::scan(getLocalizationFolder());
    return codes;
}

bool endsWithExtension(const std::wstring& name) {
    if (name.size() <= kExtensionLength)
        return false;
    std::wstring tail = name.substr(name.size() - kExtensionLength);
    for (wchar_t& c : tail) {
        if (c >= L'A' && c <= L'Z')
            c = static_cast<wchar_t>(c - L'A' + L'a');
    }
    return tail == kExtension;
}

} // namespace

const std::vector<std::wstring>& InstalledLanguages::codes() {
    return list();
}

void InstalledLanguages::rescan() {
    list() = scan(getLocalizationFolder());
}

std::vector<std::wstring> InstalledLanguages::scan(const std::wstring& folder) {
    std::vector<std::wstring> codes;
    WIN32_FIND_DATAW found;
    utils::UniqueFind search(::FindFirstFileW((folder + L"*" + kExtension).c_str(), &found));
    if (!search)
        return codes;
    do {
        std::wstring name = found.cFileName;
        // The pattern also matches through short 8.3 names ("abc.xmlx");
        // only a real ".xml" ending gives a code whose file exists.
        bool sane = found.nFileSizeHigh == 0 && found.nFileSizeLow <= kMaxFileBytes;
        if ((found.dwFileAttributes & kFileAttributes) && endsWithExtension(name) && sane)
            codes.push_back(name.substr(0, name.size() - kExtensionLength));
    } while (::FindNextFileW(search.get(), &found));
    return codes;
}

} // namespace keywhirl

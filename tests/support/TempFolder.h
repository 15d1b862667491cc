// tests/support/TempFolder.h - a fresh folder below the system's temporary folder.
#pragma once

#include <string>

namespace keywhirl::testing {

// Creates a new empty folder and removes it with everything in it when it goes.
class TempFolder {
public:
    TempFolder();
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::wstring& path() const { return path_; }
    // path() + L"\\" + name
    std::wstring file(const std::wstring& name) const;

private:
    std::wstring path_;
};

} // namespace keywhirl::testing

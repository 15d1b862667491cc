// tests/support/WinePaths.h - where the build put the program, as Windows paths.
#pragma once

#include <string>

namespace keywhirl::testing {

// A Unix path as Wine sees it through its Z: drive.
std::wstring unixToWinePath(const std::string& unixPath);

// The folder with Keywhirl.exe, Keywhirl.dll and the data files.
std::wstring programOutputFolder();

// The source tree's root, for tests that read checked-in data.
std::wstring sourceFolder();

} // namespace keywhirl::testing

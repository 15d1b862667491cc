// tests/support/WinePaths.cpp
#include "support/WinePaths.h"

namespace keywhirl::testing {

std::wstring unixToWinePath(const std::string& unixPath) {
    std::wstring path = L"Z:";
    for (char c : unixPath)
        path += c == '/' ? L'\\' : static_cast<wchar_t>(static_cast<unsigned char>(c));
    return path;
}

std::wstring programOutputFolder() {
    return unixToWinePath(KEYWHIRL_OUTPUT_DIR_UNIX);
}

std::wstring sourceFolder() {
    return unixToWinePath(KEYWHIRL_SOURCE_DIR_UNIX);
}

} // namespace keywhirl::testing

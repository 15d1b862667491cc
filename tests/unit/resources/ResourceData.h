// tests/unit/resources/ResourceData.h - raw bytes of a resource of the test program.
#pragma once

#include <windows.h>

#include <cstddef>
#include <string>

namespace keywhirl::testing {

// The bytes of one resource of the running module; empty when it is missing.
struct ResourceData {
    const BYTE* bytes = nullptr;
    std::size_t size = 0;

    static ResourceData find(LPCWSTR type, WORD id);
    bool empty() const { return bytes == nullptr || size == 0; }
};

// The folder the program is installed to, as the build lays it out, with a
// trailing slash.
std::wstring outputFolder();

} // namespace keywhirl::testing

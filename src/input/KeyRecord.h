// src/input/KeyRecord.h - the 268-byte key record the hook library sends.
#pragma once

#include "ui/AppMessages.h"

#include <windows.h>

#include <cstddef>

namespace keywhirl {

// Payload of WM_COPYDATA with dwData 1; a wire format shared with
// Keywhirl.dll, so its layout never changes.
#pragma pack(push, 1)
struct KeyRecord {
    HKL keyboardLayout;
    UINT virtualKey;
    // Laid out as a key message's lParam: repeat count in bits 0-15, scan
    // code in 16-23, extended bit 24, previous state 30, transition 31.
    DWORD keyData;
    BYTE keyState[256];
};
#pragma pack(pop)

static_assert(sizeof(KeyRecord) == 268, "the key record is a fixed wire format");

// Size of a layout report's payload: one keyboard layout handle.
constexpr std::size_t kLayoutReportSize = 4;

} // namespace keywhirl

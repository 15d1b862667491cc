// src/input/KeyRecord.h - the key record the hook library sends.
#pragma once

#include "ui/AppMessages.h"

#include <windows.h>

#include <cstddef>

namespace keywhirl {

// Payload of WM_COPYDATA with dwData 1; a wire format shared with
// Keywhirl.dll. Fields are only ever added at the end: a record of an older
// size is still read, and what it lacks is filled in on arrival.
#pragma pack(push, 1)
struct KeyRecord {
    HKL keyboardLayout;
    UINT virtualKey;
    // Laid out as a key message's lParam: repeat count in bits 0-15, scan
    // code in 16-23, extended bit 24, previous state 30, transition 31.
    DWORD keyData;
    BYTE keyState[256];
    // The system's time of the key (the low-level hook's event time), on the
    // clock of GetTickCount; records without it are stamped when they arrive.
    DWORD time;
};
#pragma pack(pop)

// The first form of the record, which ends with the key state.
constexpr std::size_t kKeyRecordSizeWithoutTime = 268;
static_assert(offsetof(KeyRecord, time) == kKeyRecordSizeWithoutTime,
              "the key record is a fixed wire format");
static_assert(sizeof(KeyRecord) == 272, "the key record is a fixed wire format");

// Size of a layout report's payload: one keyboard layout handle.
constexpr std::size_t kLayoutReportSize = 4;

} // namespace keywhirl

// src/utils/TickCount.h - the one place the program asks for the system tick count.
#pragma once

#include <windows.h>

namespace keywhirl::utils {

using TickSource = DWORD (*)();

// Milliseconds since system start (GetTickCount), or what a test has set.
DWORD tickCount();

// Tests replace the clock; nullptr puts GetTickCount back.
void setTickSource(TickSource source);

} // namespace keywhirl::utils

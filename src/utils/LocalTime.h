// src/utils/LocalTime.h - the one place the program asks for the local date and time.
#pragma once

#include <windows.h>

namespace keywhirl::utils {

using LocalTimeSource = SYSTEMTIME (*)();

// The wall clock in the user's time zone (GetLocalTime), or what a test has set.
SYSTEMTIME localTime();

// Tests replace the clock; nullptr puts GetLocalTime back.
void setLocalTimeSource(LocalTimeSource source);

} // namespace keywhirl::utils

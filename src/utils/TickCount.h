// src/utils/TickCount.h - the one place the program asks for the system tick count.
#pragma once

#include <windows.h>

namespace keywhirl::utils {

using TickSource = DWORD (*)();

// Milliseconds since system start (GetTickCount), or what a test has set.
DWORD tickCount();

// Tests replace the clock; nullptr puts GetTickCount back.
void setTickSource(TickSource source);

// Keys timed by the system and keys stamped on arrival may come a little out
// of order: a time at most this much before another is taken as out of
// order, a larger step back as the tick counter's wrap (a later time).
constexpr DWORD kTickDisorderMilliseconds = 60000;

// Whether tick count `time` lies before `reference` by no more than the
// disorder above. Unsigned differences survive the counter's wrap.
inline bool slightlyBefore(DWORD time, DWORD reference) {
    return time != reference && DWORD(reference - time) <= kTickDisorderMilliseconds;
}

} // namespace keywhirl::utils

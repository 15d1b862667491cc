// src/app/GreyIcon.h - the paler, grey copy of an icon that stands for a paused program.
#pragma once

#include <windows.h>

namespace keywhirl {

// A new icon, owned by the caller: every pixel of the given one turned to a
// light grey of its own brightness, its transparency kept. nullptr when the
// icon cannot be read.
HICON makeGreyIcon(HICON icon);

} // namespace keywhirl

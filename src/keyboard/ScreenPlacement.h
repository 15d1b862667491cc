// src/keyboard/ScreenPlacement.h - keeps a stored window position where the user can reach it.
#pragma once

#include <windows.h>

namespace keywhirl {

// Moves rect, keeping its size, so that it lies inside area; a rect larger
// than the area keeps its top left corner in it.
RECT moveInside(const RECT& rect, const RECT& area);

// A rect that lies wholly off every monitor (a position stored for a monitor
// that is gone, or a damaged one) is moved into the work area of the nearest
// monitor. A rect that is partly on a monitor stays where it is.
RECT keepOnSomeMonitor(const RECT& rect);

} // namespace keywhirl

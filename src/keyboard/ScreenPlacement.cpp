// src/keyboard/ScreenPlacement.cpp
#include "keyboard/ScreenPlacement.h"

namespace keywhirl {

namespace {
// The start of a span of the given length that lies inside [low, high), or
// at low when it is longer than that.
LONG startInside(LONG start, LONG length, LONG low, LONG high) {
    if (start + length > high)
        start = high - length;
    return start < low ? low : start;
}
} // namespace

RECT moveInside(const RECT& rect, const RECT& area) {
    const LONG width = rect.right - rect.left;
    const LONG height = rect.bottom - rect.top;
    const LONG left = startInside(rect.left, width, area.left, area.right);
    const LONG top = startInside(rect.top, height, area.top, area.bottom);
    return RECT{left, top, left + width, top + height};
}

RECT keepOnSomeMonitor(const RECT& rect) {
    if (::MonitorFromRect(&rect, MONITOR_DEFAULTTONULL) != nullptr)
        return rect;
    MONITORINFO info;
    info.cbSize = sizeof info;
    if (!::GetMonitorInfoW(::MonitorFromRect(&rect, MONITOR_DEFAULTTONEAREST), &info))
        return rect;
    return moveInside(rect, info.rcWork);
}

} // namespace keywhirl

// src/ui/Desktop.cpp
#include "ui/Desktop.h"

#include <algorithm>
#include <climits>

namespace keywhirl::ui {

namespace {

// The start of a span of the given length that lies inside [low, high), or
// at low when it is longer than that.
LONG startInside(LONG start, LONG length, LONG low, LONG high) {
    if (start + length > high)
        start = high - length;
    return start < low ? low : start;
}

long long overlap(const RECT& a, const RECT& b) {
    const long long width = std::min(a.right, b.right) - std::max(a.left, b.left);
    const long long height = std::min(a.bottom, b.bottom) - std::max(a.top, b.top);
    return width > 0 && height > 0 ? width * height : 0;
}

// The gap between two spans, 0 when they meet or overlap.
long long gap(LONG lowA, LONG highA, LONG lowB, LONG highB) {
    if (highA <= lowB)
        return lowB - highA;
    if (highB <= lowA)
        return lowA - highB;
    return 0;
}

long long squaredDistance(const RECT& a, const RECT& b) {
    const long long x = gap(a.left, a.right, b.left, b.right);
    const long long y = gap(a.top, a.bottom, b.top, b.bottom);
    return x * x + y * y;
}

bool contains(const RECT& outer, const RECT& inner) {
    return inner.left >= outer.left && inner.top >= outer.top && inner.right <= outer.right &&
           inner.bottom <= outer.bottom;
}

BOOL CALLBACK addMonitor(HMONITOR monitor, HDC, LPRECT, LPARAM data) {
    MONITORINFO info = {};
    info.cbSize = sizeof info;
    if (::GetMonitorInfoW(monitor, &info))
        reinterpret_cast<std::vector<Desktop::Monitor>*>(data)->push_back(
            {info.rcMonitor, info.rcWork});
    return TRUE;
}

} // namespace

Desktop Desktop::current() {
    std::vector<Monitor> monitors;
    ::EnumDisplayMonitors(nullptr, nullptr, addMonitor, reinterpret_cast<LPARAM>(&monitors));
    if (monitors.empty()) {
        RECT screen{0, 0, ::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN)};
        RECT work = screen;
        if (!::SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0))
            work = screen;
        monitors.push_back({screen, work});
    }
    return Desktop(std::move(monitors));
}

const Desktop::Monitor* Desktop::nearest(const RECT& rect) const {
    const Monitor* best = nullptr;
    long long bestOverlap = 0;
    for (const Monitor& monitor : monitors_) {
        const long long shared = overlap(rect, monitor.area);
        if (shared > bestOverlap) {
            best = &monitor;
            bestOverlap = shared;
        }
    }
    if (best)
        return best;
    long long bestDistance = LLONG_MAX;
    for (const Monitor& monitor : monitors_) {
        const long long distance = squaredDistance(rect, monitor.area);
        if (distance < bestDistance) {
            best = &monitor;
            bestDistance = distance;
        }
    }
    return best;
}

const Desktop::Monitor* Desktop::nearest(POINT point) const {
    return nearest(RECT{point.x, point.y, point.x + 1, point.y + 1});
}

RECT Desktop::keepInside(const RECT& rect) const {
    for (const Monitor& monitor : monitors_)
        if (contains(monitor.work, rect))
            return rect;
    const Monitor* monitor = nearest(rect);
    return monitor ? moveInside(rect, monitor->work) : rect;
}

RECT Desktop::centredAt(POINT point, SIZE size) const {
    const Monitor* monitor = nearest(point);
    if (!monitor)
        return RECT{point.x, point.y, point.x + size.cx, point.y + size.cy};
    const RECT& work = monitor->work;
    const LONG left = work.left + (work.right - work.left - size.cx) / 2;
    const LONG top = work.top + (work.bottom - work.top - size.cy) / 2;
    return moveInside(RECT{left, top, left + size.cx, top + size.cy}, work);
}

RECT Desktop::moveInside(const RECT& rect, const RECT& area) {
    const LONG width = rect.right - rect.left;
    const LONG height = rect.bottom - rect.top;
    const LONG left = startInside(rect.left, width, area.left, area.right);
    const LONG top = startInside(rect.top, height, area.top, area.bottom);
    return RECT{left, top, left + width, top + height};
}

Desktop::Anchor Desktop::anchorIn(const RECT& rect, const RECT& work) {
    Anchor anchor;
    const LONG fromLeft = rect.left - work.left;
    const LONG fromRight = work.right - rect.right;
    const LONG fromTop = rect.top - work.top;
    const LONG fromBottom = work.bottom - rect.bottom;
    anchor.fromRight = fromRight < fromLeft;
    anchor.fromBottom = fromBottom < fromTop;
    anchor.dx = anchor.fromRight ? fromRight : fromLeft;
    anchor.dy = anchor.fromBottom ? fromBottom : fromTop;
    return anchor;
}

RECT Desktop::placeAt(const Anchor& anchor, SIZE size, const RECT& work) {
    const LONG left = anchor.fromRight ? work.right - anchor.dx - size.cx : work.left + anchor.dx;
    const LONG top = anchor.fromBottom ? work.bottom - anchor.dy - size.cy : work.top + anchor.dy;
    return moveInside(RECT{left, top, left + size.cx, top + size.cy}, work);
}

RECT Desktop::placeForTyping(const RECT& windowRect, const RECT& typedIn,
                             const Anchor& anchor) const {
    const Monitor* own = nearest(windowRect);
    const Monitor* typing = nearest(typedIn);
    if (!own || !typing || own == typing)
        return windowRect;
    const SIZE size{windowRect.right - windowRect.left, windowRect.bottom - windowRect.top};
    return placeAt(anchor, size, typing->work);
}

bool Desktop::changesWorkAreas(UINT message, WPARAM wParam) {
    return message == WM_DISPLAYCHANGE ||
           (message == WM_SETTINGCHANGE && wParam == SPI_SETWORKAREA);
}

bool Desktop::keepWindowInside(HWND window) {
    RECT rect;
    // A maximized window's frame lies beyond its work area by design; a
    // minimized one stands where the system keeps it.
    if (!window || ::IsZoomed(window) || ::IsIconic(window) || !::GetWindowRect(window, &rect))
        return false;
    const RECT kept = current().keepInside(rect);
    if (::EqualRect(&kept, &rect))
        return false;
    return ::SetWindowPos(window, nullptr, kept.left, kept.top, 0, 0,
                          SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE) != FALSE;
}

} // namespace keywhirl::ui

// src/ui/Desktop.h - the monitors of the desktop and where a window may stand on them.
#pragma once

#include <windows.h>

#include <utility>
#include <vector>

namespace keywhirl::ui {

// The monitors in virtual screen pixels (the primary's top left is 0,0; a
// monitor left of or above it has negative coordinates), as the system
// reports them now or made up. Every decision about where a window stands
// is taken here, without a window; the windows only move to the answer.
class Desktop {
public:
    struct Monitor {
        RECT area; // the whole monitor
        RECT work; // without the taskbar and other bars docked to an edge
    };

    // Where a window stands in a work area: the corner it is nearest to, and
    // its distance from that corner's two edges, measured inwards.
    struct Anchor {
        bool fromRight = false;
        bool fromBottom = false;
        LONG dx = 0;
        LONG dy = 0;
        bool operator==(const Anchor& other) const {
            return fromRight == other.fromRight && fromBottom == other.fromBottom &&
                   dx == other.dx && dy == other.dy;
        }
    };

    Desktop() = default;
    explicit Desktop(std::vector<Monitor> monitors) : monitors_(std::move(monitors)) {}
    // The monitors the system reports now; the primary screen alone where
    // it reports none.
    static Desktop current();

    const std::vector<Monitor>& monitors() const { return monitors_; }

    // The monitor that shares the most of rect with it, else the one nearest
    // to it; null only on a desktop without monitors.
    const Monitor* nearest(const RECT& rect) const;
    const Monitor* nearest(POINT point) const;

    // rect as it is when it lies wholly inside one work area; otherwise
    // moved, keeping its size, into the work area of the nearest monitor.
    RECT keepInside(const RECT& rect) const;
    // A window of this size in the middle of the work area of the monitor
    // nearest to point.
    RECT centredAt(POINT point, SIZE size) const;

    // Moves rect, keeping its size, so that it lies inside area; a rect
    // larger than the area keeps its top left corner in it.
    static RECT moveInside(const RECT& rect, const RECT& area);
    static Anchor anchorIn(const RECT& rect, const RECT& work);
    // A window of this size at the anchor's place in work, kept inside it.
    static RECT placeAt(const Anchor& anchor, SIZE size, const RECT& work);

    // Where a window at windowRect, anchored as given, stands when the user
    // types in a window at typedIn: unchanged while both share a monitor,
    // else at the anchor's place on the monitor of typedIn.
    RECT placeForTyping(const RECT& windowRect, const RECT& typedIn, const Anchor& anchor) const;

    // True for the messages after which a work area may have changed: the
    // resolution or the monitors (WM_DISPLAYCHANGE), or a bar docked to an
    // edge (WM_SETTINGCHANGE with SPI_SETWORKAREA).
    static bool changesWorkAreas(UINT message, WPARAM wParam);
    // Moves the window, keeping its size, wholly into a work area of the
    // desktop as it is now; true when it had to move. A maximized or
    // minimized window is left to the system.
    static bool keepWindowInside(HWND window);

private:
    std::vector<Monitor> monitors_;
};

} // namespace keywhirl::ui

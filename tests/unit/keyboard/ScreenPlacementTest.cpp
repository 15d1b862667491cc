// tests/unit/keyboard/ScreenPlacementTest.cpp
#include "keyboard/ScreenPlacement.h"

#include <gtest/gtest.h>

namespace keywhirl {
namespace {

TEST(MoveInside, KeepsTheSizeAndComesToTheNearestEdge) {
    const RECT area{0, 0, 1000, 700};
    struct Case {
        const char* name;
        RECT rect;
        RECT moved;
    };
    const Case cases[] = {
        {"already inside", {100, 100, 300, 200}, {100, 100, 300, 200}},
        {"touching every edge", {0, 0, 1000, 700}, {0, 0, 1000, 700}},
        {"far right and below", {32767, 32767, 32967, 32867}, {800, 600, 1000, 700}},
        {"far left and above", {-32768, -32768, -32568, -32668}, {0, 0, 200, 100}},
        {"one pixel over the right edge", {801, 10, 1001, 110}, {800, 10, 1000, 110}},
        {"wider and taller than the area", {-50, -50, 1200, 900}, {0, 0, 1250, 950}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        RECT moved = moveInside(c.rect, area);
        EXPECT_TRUE(::EqualRect(&moved, &c.moved))
            << moved.left << "," << moved.top << "," << moved.right << "," << moved.bottom;
    }
    const RECT second{-1280, 0, 0, 1024}; // a monitor left of the first
    RECT moved = moveInside(RECT{-5000, 500, -4800, 600}, second);
    EXPECT_EQ(moved.left, -1280);
    EXPECT_EQ(moved.top, 500);
}

TEST(KeepOnSomeMonitor, OnlyARectWhollyOffEveryMonitorMoves) {
    RECT partly{-150, 10, 50, 110};
    RECT kept = keepOnSomeMonitor(partly);
    EXPECT_TRUE(::EqualRect(&kept, &partly)) << "a part is on the screen";
    RECT moved = keepOnSomeMonitor(RECT{32767, 32767, 32967, 32867});
    EXPECT_NE(::MonitorFromRect(&moved, MONITOR_DEFAULTTONULL), nullptr);
    EXPECT_EQ(moved.right - moved.left, 200);
}

} // namespace
} // namespace keywhirl

// tests/unit/ui/DesktopTest.cpp
#include "ui/Desktop.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

namespace keywhirl::ui {
namespace {

using Monitor = Desktop::Monitor;

// The primary screen at 1280x1024 with its taskbar at the bottom.
const Monitor kPrimary{{0, 0, 1280, 1024}, {0, 0, 1280, 994}};
// A full HD monitor left of the primary, no taskbar.
const Monitor kLeft{{-1920, 0, 0, 1080}, {-1920, 0, 0, 1080}};
// A monitor above the primary, its taskbar on top.
const Monitor kAbove{{0, -768, 1024, 0}, {0, -738, 1024, 0}};
// A smaller primary with the taskbar on the left.
const Monitor kSmallLeftBar{{0, 0, 1024, 768}, {60, 0, 1024, 768}};
// 1024x768 with the taskbar at the bottom.
const Monitor kSmall{{0, 0, 1024, 768}, {0, 0, 1024, 738}};

// Compared as text, so a failure shows the whole rectangle.
std::string text(const RECT& r) {
    std::ostringstream out;
    out << r.left << "," << r.top << "-" << r.right << "," << r.bottom;
    return out.str();
}

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
        EXPECT_EQ(text(Desktop::moveInside(c.rect, area)), text(c.moved));
    }
    const RECT second{-1280, 0, 0, 1024}; // a monitor left of the first
    RECT moved = Desktop::moveInside(RECT{-5000, 500, -4800, 600}, second);
    EXPECT_EQ(moved.left, -1280);
    EXPECT_EQ(moved.top, 500);
}

TEST(KeepInside, AWindowEndsWhollyInsideOneWorkArea) {
    struct Case {
        const char* name;
        std::vector<Monitor> monitors;
        RECT rect;
        RECT kept;
    };
    // The keyboard is 754x246.
    const Case cases[] = {
        {"inside the primary's work area stays",
         {kPrimary, kLeft},
         {100, 100, 854, 346},
         {100, 100, 854, 346}},
        {"wholly on the monitor left of the primary stays",
         {kPrimary, kLeft},
         {-1900, 800, -1146, 1046},
         {-1900, 800, -1146, 1046}},
        {"over the taskbar comes up above it",
         {kPrimary},
         {100, 900, 854, 1146},
         {100, 748, 854, 994}},
        {"saved below a smaller screen's bottom",
         {kSmall},
         {263, 742, 1017, 988},
         {263, 492, 1017, 738}},
        {"under a taskbar on the left moves right of it",
         {kSmallLeftBar},
         {10, 100, 764, 346},
         {60, 100, 814, 346}},
        {"under a taskbar on top of the monitor above",
         {kPrimary, kAbove},
         {100, -760, 854, -514},
         {100, -738, 854, -492}},
        {"across two monitors goes to the one with more of it",
         {kPrimary, kLeft},
         {-200, 100, 554, 346},
         {0, 100, 754, 346}},
        {"across two monitors, mostly on the left one",
         {kPrimary, kLeft},
         {-600, 100, 154, 346},
         {-754, 100, 0, 346}},
        {"its monitor removed: to the nearest one left",
         {kPrimary},
         {-1900, 800, -1146, 1046},
         {0, 748, 754, 994}},
        {"far off every monitor",
         {kPrimary, kAbove},
         {32767, 32767, 33521, 33013},
         {526, 748, 1280, 994}},
        {"wider than the work area keeps its left edge in it",
         {kSmallLeftBar},
         {-500, 0, 1000, 246},
         {60, 0, 1560, 246}},
        {"in the gap beside a monitor above",
         {kPrimary, kAbove},
         {1100, -300, 1854, -54},
         {526, 0, 1280, 246}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(text(Desktop(c.monitors).keepInside(c.rect)), text(c.kept));
    }
    EXPECT_EQ(text(Desktop().keepInside(RECT{1, 2, 3, 4})), "1,2-3,4") << "no monitor at all";
}

TEST(Anchor, TheSamePlaceFromTheNearestCornerOfAnotherWorkArea) {
    struct Case {
        const char* name;
        Monitor from;
        Monitor to;
        RECT rect;
        RECT placed;
    };
    const Case cases[] = {
        {"bottom right corner, 20 px off both edges",
         kPrimary,
         kLeft,
         {506, 728, 1260, 974},
         {-774, 814, -20, 1060}},
        {"top left corner onto a left taskbar",
         kLeft,
         kSmallLeftBar,
         {-1880, 40, -1126, 286},
         {100, 40, 854, 286}},
        {"bottom left onto a monitor above",
         kPrimary,
         kAbove,
         {30, 700, 784, 946},
         {30, -294, 784, -48}},
        {"top right onto a taskbar on top",
         kPrimary,
         kAbove,
         {500, 5, 1254, 251},
         {244, -733, 998, -487}},
        {"too far from the corner for a smaller area stays inside",
         kLeft,
         kSmall,
         {-1600, 700, -846, 946},
         {270, 358, 1024, 604}},
        {"back on its own monitor it stands where it stood",
         kPrimary,
         kPrimary,
         {506, 728, 1260, 974},
         {506, 728, 1260, 974}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const Desktop::Anchor anchor = Desktop::anchorIn(c.rect, c.from.work);
        const SIZE size{c.rect.right - c.rect.left, c.rect.bottom - c.rect.top};
        EXPECT_EQ(text(Desktop::placeAt(anchor, size, c.to.work)), text(c.placed));
    }
}

TEST(PlaceForTyping, TheKeyboardComesOnlyToAnotherMonitor) {
    const Desktop desktop({kPrimary, kLeft, kAbove});
    // 20 px from the bottom right corner of the primary's work area.
    const RECT onPrimary{506, 728, 1260, 974};
    const Desktop::Anchor bottomRight = Desktop::anchorIn(onPrimary, kPrimary.work);
    struct Case {
        const char* name;
        RECT typedIn;
        RECT placed;
    };
    const Case cases[] = {
        {"typing on its own monitor leaves it", {100, 100, 900, 700}, onPrimary},
        {"a maximized window on its own monitor", {-4, -4, 1284, 998}, onPrimary},
        {"typing on the monitor left of it", {-1800, 50, -900, 600}, {-774, 814, -20, 1060}},
        {"a window mostly on the monitor above", {100, -700, 900, 100}, {250, -266, 1004, -20}},
        {"a window off every monitor goes by the nearest",
         {-5000, 300, -4000, 400},
         {-774, 814, -20, 1060}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(text(desktop.placeForTyping(onPrimary, c.typedIn, bottomRight)), text(c.placed));
    }
    const RECT placed =
        Desktop({kPrimary}).placeForTyping(onPrimary, RECT{-1800, 50, -900, 600}, bottomRight);
    EXPECT_EQ(text(placed), text(onPrimary)) << "the left monitor removed";
}

TEST(CentredAt, TheMiddleOfTheWorkAreaOfTheMonitorAtThePoint) {
    const Desktop desktop({kPrimary, kLeft, kAbove});
    EXPECT_EQ(text(desktop.centredAt(POINT{-5, 5}, SIZE{400, 300})), "-1160,390--760,690");
    EXPECT_EQ(text(desktop.centredAt(POINT{5, -5}, SIZE{2000, 300})), "0,-519-2000,-219")
        << "wider than the work area";
    EXPECT_EQ(text(desktop.centredAt(POINT{-1000, 1200}, SIZE{400, 300})), "-1160,390--760,690")
        << "below the left monitor, nearest to it";
}

TEST(CurrentDesktop, HasAMonitorAndBringsAFarWindowOntoIt) {
    const Desktop desktop = Desktop::current();
    ASSERT_FALSE(desktop.monitors().empty());
    RECT moved = desktop.keepInside(RECT{32767, 32767, 32967, 32867});
    EXPECT_NE(::MonitorFromRect(&moved, MONITOR_DEFAULTTONULL), nullptr);
    EXPECT_EQ(moved.right - moved.left, 200);
    const RECT partly{-150, 10, 50, 110};
    moved = desktop.keepInside(partly);
    EXPECT_GE(moved.left, desktop.nearest(partly)->work.left) << "a part off the screen comes in";
}

} // namespace
} // namespace keywhirl::ui

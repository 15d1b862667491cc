// tests/window/ui/PlacedMessageBoxTest.cpp
#include "ui/PlacedMessageBox.h"

#include <gtest/gtest.h>

namespace keywhirl::ui {
namespace {

TEST(PlacedMessageBox, ComesToTheOwnersMonitorOrElseTheMousePointers) {
    HWND owner = ::CreateWindowExW(WS_EX_TOOLWINDOW, L"Static", L"", WS_POPUP, 100, 50, 300, 200,
                                   nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(owner, nullptr);
    ::SetCursorPos(7, 9);
    POINT cursor{};
    ::GetCursorPos(&cursor);
    const POINT hidden = PlacedMessageBox::anchorPoint(owner);
    EXPECT_EQ(cursor.x, hidden.x);
    EXPECT_EQ(cursor.y, hidden.y);
    ::ShowWindow(owner, SW_SHOWNOACTIVATE);
    const POINT shown = PlacedMessageBox::anchorPoint(owner);
    EXPECT_EQ(250, shown.x);
    EXPECT_EQ(150, shown.y);
    ::DestroyWindow(owner);
}

} // namespace
} // namespace keywhirl::ui

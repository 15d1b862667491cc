// src/statistics/StatisticsLayout.h - where the statistics window and its parts go, for n rows.
#pragma once

#include <windows.h>

namespace keywhirl {

// Pixel positions in client coordinates unless said otherwise.
struct StatisticsLayout {
    static constexpr int kWidth = 270;
    static constexpr int kRowHeight = 16;
    static constexpr int kFirstRowTop = 25;
    // Corners of the window's outline: an ellipse of 20 x 10 pixels.
    static constexpr int kCornerWidth = 20;
    static constexpr int kCornerHeight = 10;
    // Distance of the window from the right and the bottom edge of the primary screen.
    static constexpr int kScreenRightGap = 5;
    static constexpr int kScreenBottomGap = 30;
    static constexpr int kCloseButtonSize = 11;
    static constexpr POINT kCloseButtonCorner = {kWidth - 23, 5};

    // The height the outline is laid out for. A rounded region leaves out its
    // right and bottom coordinates, so the outline of kWidth x layoutHeight
    // fills a window one pixel narrower and lower exactly.
    static constexpr int layoutHeight(int rows) { return kRowHeight * rows + 32; }

    // Top left corner of the window in screen coordinates.
    static constexpr POINT windowCorner(int screenWidth, int screenHeight, int rows) {
        return {screenWidth - kWidth - kScreenRightGap,
                screenHeight - layoutHeight(rows) - kScreenBottomGap};
    }
    static constexpr SIZE windowSize(int rows) { return {kWidth - 1, layoutHeight(rows) - 1}; }

    static constexpr RECT headerBox() { return {10, 0, kWidth, 22}; }
    // The rule under the header, from (left, y) to (right, y).
    static constexpr int kRuleY = 21;
    static constexpr int kRuleLeft = 10;
    static constexpr int kRuleRight = 260;

    static constexpr RECT titleBox(int row) {
        return {10, kFirstRowTop + kRowHeight * row, 191, kFirstRowTop + kRowHeight * row + 15};
    }
    static constexpr RECT valueBox(int row) {
        return {192, kFirstRowTop + kRowHeight * row, kWidth - 1,
                kFirstRowTop + kRowHeight * row + 15};
    }
};

} // namespace keywhirl

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

    // Top left corner of the window in screen coordinates, for a layout
    // width (kWidth unless the texts need more, see fitColumns).
    static constexpr POINT windowCorner(int screenWidth, int screenHeight, int rows,
                                        int width = kWidth) {
        return {screenWidth - width - kScreenRightGap,
                screenHeight - layoutHeight(rows) - kScreenBottomGap};
    }
    static constexpr SIZE windowSize(int rows, int width = kWidth) {
        return {width - 1, layoutHeight(rows) - 1};
    }
    static constexpr POINT closeButtonCorner(int width) { return {width - 23, 5}; }

    static constexpr RECT headerBox(int width = kWidth) { return {10, 0, width, 22}; }
    // The rule under the header, from (left, y) to (right, y).
    static constexpr int kRuleY = 21;
    static constexpr int kRuleLeft = 10;
    static constexpr int kRuleRight = 260;
    static constexpr int ruleRight(int width) { return width - (kWidth - kRuleRight); }

    // Where the value column starts and how wide the layout is.
    struct Columns {
        int valueLeft;
        int width;
    };
    static constexpr int kTitleLeft = 10;
    static constexpr int kValueLeft = 192;
    // The least room between the widest title and the values.
    static constexpr int kColumnGap = 6;
    static constexpr Columns kDefaultColumns = {kValueLeft, kWidth};

    // The columns for the widest title and the widest value, in pixels, so
    // that no text is cut off: the values keep their place at kValueLeft
    // while they fit; a wider value moves them left as far as the titles
    // allow, and beyond that the layout grows wider.
    static constexpr Columns fitColumns(int widestTitle, int widestValue) {
        int earliest = kTitleLeft + widestTitle + kColumnGap;
        int wanted = kWidth - 1 - widestValue;
        int valueLeft = wanted < kValueLeft ? wanted : kValueLeft;
        if (valueLeft < earliest)
            valueLeft = earliest;
        int width = valueLeft + widestValue + 1;
        return {valueLeft, width > kWidth ? width : kWidth};
    }

    static constexpr RECT titleBox(int row, int valueLeft = kValueLeft) {
        return {kTitleLeft, kFirstRowTop + kRowHeight * row, valueLeft - 1,
                kFirstRowTop + kRowHeight * row + 15};
    }
    static constexpr RECT valueBox(int row, int valueLeft = kValueLeft, int width = kWidth) {
        return {valueLeft, kFirstRowTop + kRowHeight * row, width - 1,
                kFirstRowTop + kRowHeight * row + 15};
    }
};

} // namespace keywhirl

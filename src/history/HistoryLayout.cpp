// src/history/HistoryLayout.cpp
#include "history/HistoryLayout.h"

#include <algorithm>

namespace keywhirl {

HistoryLayout::HistoryLayout(SIZE client) : client_(client) {
    client_.cx = std::max(client_.cx, kMinimumClient.cx);
    client_.cy = std::max(client_.cy, kMinimumClient.cy);
    const int buttonTop = client_.cy - kMargin - kButtonHeight;
    tableTop_ = buttonTop - 8 - kHeadingHeight - (kTableRows - 1) * kRowHeight;
    plot_.left = kMargin + kScaleWidth;
    plot_.right = client_.cx - kMargin - kScaleWidth;
    plot_.top = kMargin + kLegendHeight + 8;
    plot_.bottom = tableTop_ - 10 - kLabelHeight;
}

RECT HistoryLayout::legend() const {
    return {kMargin, kMargin, client_.cx - kMargin, kMargin + kLegendHeight};
}

RECT HistoryLayout::slot(int index) const {
    const int width = plot_.right - plot_.left;
    return {plot_.left + index * width / HistoryView::kDays, plot_.top,
            plot_.left + (index + 1) * width / HistoryView::kDays, plot_.bottom};
}

RECT HistoryLayout::bar(int index, std::uint64_t symbols, std::uint64_t scaleTop) const {
    const RECT band = slot(index);
    const int bandWidth = band.right - band.left;
    const int width = std::max(1, bandWidth * 2 / 3);
    const int left = band.left + (bandWidth - width) / 2;
    const std::uint64_t height =
        scaleTop == 0 ? 0
                      : (std::min(symbols, scaleTop) * std::uint64_t(plot_.bottom - plot_.top) +
                         scaleTop / 2) /
                            scaleTop;
    return {left, plot_.bottom - int(height), left + width, plot_.bottom};
}

POINT HistoryLayout::speedPoint(int index, unsigned speed, std::uint64_t scaleTop) const {
    const RECT band = slot(index);
    const std::uint64_t height = scaleTop == 0
                                     ? 0
                                     : std::min<std::uint64_t>(speed, scaleTop) *
                                           std::uint64_t(plot_.bottom - plot_.top) / scaleTop;
    return {(band.left + band.right) / 2, plot_.bottom - int(height)};
}

RECT HistoryLayout::table() const {
    return {kMargin, tableTop_, client_.cx - kMargin,
            tableTop_ + kHeadingHeight + (kTableRows - 1) * kRowHeight};
}

RECT HistoryLayout::cell(int row, int column) const {
    const RECT all = table();
    const int width = all.right - all.left;
    // The names take a little more room than each of the five figures.
    const int nameWidth = width * 18 / 100;
    const int figureWidth = width - nameWidth;
    const int left = column == 0 ? all.left : all.left + nameWidth + (column - 1) * figureWidth / 5;
    const int right =
        column == 0 ? all.left + nameWidth : all.left + nameWidth + column * figureWidth / 5;
    const int top = row == 0 ? all.top : all.top + kHeadingHeight + (row - 1) * kRowHeight;
    return {left, top, right, row == 0 ? top + kHeadingHeight : top + kRowHeight};
}

RECT HistoryLayout::figureColumn(int column) const {
    const RECT heading = cell(0, column);
    return {heading.left, heading.top, heading.right, cell(kTableRows - 1, column).bottom};
}

RECT HistoryLayout::button() const {
    return {client_.cx - kMargin - kButtonWidth, client_.cy - kMargin - kButtonHeight,
            client_.cx - kMargin, client_.cy - kMargin};
}

} // namespace keywhirl

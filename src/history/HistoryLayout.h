// src/history/HistoryLayout.h - where the parts of the history window go for a client size.
#pragma once

#include "history/HistoryView.h"

#include <windows.h>

namespace keywhirl {

// From top to bottom: the legend, the chart with the symbol scale on the
// left and the speed scale on the right, the day labels, the table of
// figures, and the button row. The chart takes whatever height is left.
class HistoryLayout {
public:
    static constexpr int kMargin = 12;
    static constexpr int kLegendHeight = 22;
    static constexpr int kScaleWidth = 52;
    static constexpr int kLabelHeight = 18;
    static constexpr int kRowHeight = 18;
    // Headings may take two lines.
    static constexpr int kHeadingHeight = 30;
    static constexpr int kTableRows = 4;
    static constexpr int kButtonHeight = 24;
    static constexpr int kButtonWidth = 130;
    // The window is never made smaller than this client area.
    static constexpr SIZE kMinimumClient = {480, 330};
    static constexpr SIZE kDefaultClient = {660, 430};

    explicit HistoryLayout(SIZE client);

    RECT legend() const;
    RECT plot() const { return plot_; }
    // The band of one day, index 0 the oldest, across the whole plot height.
    RECT slot(int index) const;
    // The bar of a day with the given symbols on a scale up to scaleTop.
    RECT bar(int index, std::uint64_t symbols, std::uint64_t scaleTop) const;
    // The centre of a day's band at the height of its speed.
    POINT speedPoint(int index, unsigned speed, std::uint64_t scaleTop) const;
    int labelTop() const { return plot_.bottom + 3; }
    RECT table() const;
    // The rectangle of one cell: row 0 holds the headings, column 0 the names.
    RECT cell(int row, int column) const;
    // A column of figures with its heading, from the top of the table down.
    RECT figureColumn(int column) const;
    RECT button() const;

private:
    SIZE client_;
    RECT plot_;
    int tableTop_;
};

} // namespace keywhirl

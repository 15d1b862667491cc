// tests/unit/statistics/StatisticsLayoutTest.cpp - room for the widest texts of the statistics
// rows.
#include "statistics/StatisticsLayout.h"

#include <gtest/gtest.h>

namespace keywhirl {
namespace {

TEST(StatisticsColumns, EveryTitleAndValueFitsAndTheLayoutGrowsOnlyWhenItMust) {
    struct Case {
        int widestTitle;
        int widestValue;
        int valueLeft;
        int width;
        const char* what;
    };
    const Case cases[] = {
        {120, 60, 192, 270, "short texts keep the usual columns"},
        {120, 77, 192, 270, "a value of exactly the column's width"},
        {120, 78, 191, 270, "one pixel wider moves the column left"},
        {120, 90, 179, 270, "a wide count: the values move left"},
        {120, 133, 136, 270, "as far as the titles allow"},
        {120, 134, 136, 271, "beyond that the layout grows"},
        {120, 200, 136, 337, "by exactly what the value needs"},
        {190, 40, 206, 270, "a long title pushes the values right"},
        {190, 70, 206, 277, "and the layout grows for the value after it"},
        {0, 0, 192, 270, "no texts at all"},
    };
    for (const Case& c : cases) {
        StatisticsLayout::Columns columns =
            StatisticsLayout::fitColumns(c.widestTitle, c.widestValue);
        EXPECT_EQ(columns.valueLeft, c.valueLeft) << c.what;
        EXPECT_EQ(columns.width, c.width) << c.what;
        // The boxes the texts are drawn into hold them whole.
        RECT title = StatisticsLayout::titleBox(0, columns.valueLeft);
        RECT value = StatisticsLayout::valueBox(0, columns.valueLeft, columns.width);
        EXPECT_GE(title.right - title.left, c.widestTitle) << c.what;
        EXPECT_GE(value.right - value.left, c.widestValue) << c.what;
        EXPECT_GE(value.left - (StatisticsLayout::kTitleLeft + c.widestTitle),
                  StatisticsLayout::kColumnGap)
            << c.what;
    }
}

} // namespace
} // namespace keywhirl

// The scroll position's ranges, and the moves that reveal a row or put it a
// quarter of the way down.
#include <gtest/gtest.h>

#include "editor/TextScrollBar.h"

namespace {

TextScrollBar view(int first, int total, int visible) {
    TextScrollBar bar;
    bar.firstRow = first;
    bar.totalRows = total;
    bar.visibleRows = visible;
    return bar;
}

TEST(ScrollArithmetic, ScrollingStaysInsideTheRange) {
    struct Case {
        int first, total, visible, by, expectedFirst, moved;
    };
    const Case cases[] = {
        {0, 100, 10, 5, 5, 5}, {0, 100, 10, 500, 90, 90}, {50, 100, 10, -80, 0, -50},
        {0, 5, 10, 3, 0, 0},   {90, 100, 10, 1, 90, 0},   {10, 100, 10, -1, 9, -1},
    };
    for (const Case& c : cases) {
        TextScrollBar bar = view(c.first, c.total, c.visible);
        EXPECT_EQ(bar.scrollBy(0, c.by), c.moved);
        EXPECT_EQ(bar.firstRow, c.expectedFirst);
    }
}

TEST(ScrollArithmetic, RevealingARowKeepsItAboveTheLastVisibleRow) {
    struct Case {
        int first, visible, row, delta;
    };
    const Case cases[] = {
        {10, 10, 10, 0}, {10, 10, 18, 0},  {10, 10, 19, 1}, {10, 10, 30, 12},
        {10, 10, 9, -1}, {10, 10, 0, -10}, {0, 1, 0, 0},    {0, 1, 3, 3},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(view(c.first, 1000, c.visible).rowsToReveal(c.row), c.delta) << c.row;
    }
}

TEST(ScrollArithmetic, QuarterPositioning) {
    // Row 100 in a view of 20 rows goes 5 rows below the top.
    EXPECT_EQ(view(0, 1000, 20).rowsToQuarter(100), 95);
    EXPECT_EQ(view(95, 1000, 20).rowsToQuarter(100), 0);
    EXPECT_EQ(view(200, 1000, 20).rowsToQuarter(100), -105);
}

TEST(ScrollArithmetic, HorizontalRevealAndRange) {
    TextScrollBar bar;
    bar.widestRow = 1000;
    bar.textWidth = 300;
    EXPECT_EQ(bar.pixelsToReveal(100), 0);
    EXPECT_EQ(bar.pixelsToReveal(300), 1);
    bar.scrollBy(5000, 0);
    EXPECT_EQ(bar.horizontalOffset, 700);
    EXPECT_EQ(bar.pixelsToReveal(100), -600);
}

}  // namespace

// The scroll position of a text view and the arithmetic on it: rows
// vertically, pixels of the widest row horizontally.
//
// Invariant after clamp(): 0 <= firstRow <= maxFirstRow() and
// 0 <= horizontalOffset <= maxHorizontalOffset().
#pragma once

#include <algorithm>

struct TextScrollBar {
    int firstRow = 0;
    int horizontalOffset = 0;
    int totalRows = 0;
    int visibleRows = 0;
    // The horizontal range: the widest row and the width the text can show.
    int widestRow = 0;
    int textWidth = 0;

    int maxFirstRow() const { return std::max(0, totalRows - visibleRows); }
    int maxHorizontalOffset() const { return std::max(0, widestRow - textWidth); }

    void clamp() {
        firstRow = std::clamp(firstRow, 0, maxFirstRow());
        horizontalOffset = std::clamp(horizontalOffset, 0, maxHorizontalOffset());
    }

    // Moves by (pixels, rows) within the ranges; gives the rows actually moved.
    int scrollBy(int pixels, int rows) {
        const int before = firstRow;
        firstRow += rows;
        horizontalOffset += pixels;
        clamp();
        return firstRow - before;
    }

    // The smallest move that puts `row` between the first row and the
    // second-to-last visible row.
    int rowsToReveal(int row) const {
        if (row < firstRow) return row - firstRow;
        const int lastComfortable = firstRow + std::max(0, visibleRows - 2);
        if (row > lastComfortable) return row - lastComfortable;
        return 0;
    }

    // The smallest move that puts x (from the text's left edge) inside the
    // shown width.
    int pixelsToReveal(int x) const {
        if (x < horizontalOffset) return x - horizontalOffset;
        if (textWidth > 0 && x >= horizontalOffset + textWidth) return x - (horizontalOffset + textWidth) + 1;
        return 0;
    }

    // The move that shows `row` a quarter of the way down the view.
    int rowsToQuarter(int row) const { return row - visibleRows / 4 - firstRow; }
};

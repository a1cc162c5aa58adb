// The scroll position of a text view and the arithmetic on it: rows
// vertically, pixels of the widest row horizontally.
//
// Invariant after clamp(): 0 <= firstRow <= maxFirstRow() and
// 0 <= horizontalOffset <= maxHorizontalOffset().
#pragma once

#include <algorithm>
#include <cstdint>

struct TextScrollBar {
    // The vertical thumb's place in a bar as tall as the client area.
    struct Thumb {
        int top = 0;
        int height = 0;  // 0: nothing to scroll, no thumb
    };
    static constexpr int kMinimumThumb = 16;

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

    // The thumb's height follows the share of the rows shown (at least
    // kMinimumThumb); its top runs over the rest of the bar as the first row
    // runs from 0 to maxFirstRow().
    Thumb thumb(int barHeight) const {
        if (totalRows <= visibleRows || barHeight <= 0) return {};
        const int height = std::min(
            barHeight, std::max(kMinimumThumb, static_cast<int>(std::int64_t{barHeight} * visibleRows / totalRows)));
        const int travel = barHeight - height;
        const int top = static_cast<int>(std::int64_t{travel} * firstRow / std::max(1, maxFirstRow()));
        return {top, height};
    }
    // The first row that puts the thumb's top at y (clamped to the bar):
    // the smallest row whose thumb is not above y, so that a dragged thumb
    // stays under the pointer.
    int rowForThumbTop(int y, int barHeight) const {
        const Thumb current = thumb(barHeight);
        const int travel = barHeight - current.height;
        if (current.height == 0 || travel <= 0) return firstRow;
        y = std::clamp(y, 0, travel);
        return static_cast<int>((std::int64_t{y} * maxFirstRow() + travel - 1) / travel);
    }

    // The move that shows `row` a quarter of the way down the view.
    int rowsToQuarter(int row) const { return row - visibleRows / 4 - firstRow; }
};

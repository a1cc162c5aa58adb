// The scroll position of a table: vertically in rows, horizontally in pixels,
// each kept within its range. A mixin of the table component; the component
// tells it the extents whenever rows, columns or the client size change.
//
// Invariants: 0 <= topRow() <= max(0, rows - rowsPerPage);
//             0 <= leftPixel() <= max(0, contentWidth - viewWidth).
#pragma once

#include "platform/win32.h"

class Graphics;

class Scrollbar {
public:
    // The bars lie over the right and bottom edges of the view, shown only
    // while there is something to scroll.
    static constexpr int kBarThickness = 10;
    static constexpr int kMinimumThumb = 16;
    struct Bar {
        bool shown = false;
        RECT track{0, 0, 0, 0};
        RECT thumb{0, 0, 0, 0};
    };

    virtual ~Scrollbar() = default;

    // The vertical bar runs from top (below a header) to the view's bottom.
    Bar verticalBar(int top) const;
    Bar horizontalBar() const;
    // The top row that puts the vertical thumb's top edge at y (clamped).
    int rowForThumbAt(int y, int top) const;
    int pixelForThumbAt(int x) const;
    void paintBars(Graphics& g, int top) const;

    int topRow() const { return topRow_; }
    int leftPixel() const { return leftPixel_; }

    void setVerticalExtent(int rows, int rowsPerPage);
    void setHorizontalExtent(int contentWidth, int viewWidth);
    // The view's height in pixels, for the bars' geometry.
    void setViewHeight(int height) { viewHeight_ = height; }
    // Both clamp to the range; true when the position moved.
    bool scrollToRow(int row);
    bool scrollToPixel(int x);
    bool scrollRows(int delta) { return scrollToRow(topRow_ + delta); }
    bool scrollPixels(int delta) { return scrollToPixel(leftPixel_ + delta); }
    int lastTopRow() const;
    int lastLeftPixel() const;
    void resetScroll() { topRow_ = leftPixel_ = 0; }

private:
    int viewHeight_ = 0;
    int topRow_ = 0;
    int leftPixel_ = 0;
    int rows_ = 0;
    int rowsPerPage_ = 1;
    int contentWidth_ = 0;
    int viewWidth_ = 0;
};

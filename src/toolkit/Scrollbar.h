// The scroll position of a table: vertically in rows, horizontally in pixels,
// each kept within its range. A mixin of the table component; the component
// tells it the extents whenever rows, columns or the client size change.
//
// Invariants: 0 <= topRow() <= max(0, rows - rowsPerPage);
//             0 <= leftPixel() <= max(0, contentWidth - viewWidth).
#pragma once

class Scrollbar {
public:
    virtual ~Scrollbar() = default;

    int topRow() const { return topRow_; }
    int leftPixel() const { return leftPixel_; }

    void setVerticalExtent(int rows, int rowsPerPage);
    void setHorizontalExtent(int contentWidth, int viewWidth);
    // Both clamp to the range; true when the position moved.
    bool scrollToRow(int row);
    bool scrollToPixel(int x);
    bool scrollRows(int delta) { return scrollToRow(topRow_ + delta); }
    bool scrollPixels(int delta) { return scrollToPixel(leftPixel_ + delta); }
    int lastTopRow() const;
    int lastLeftPixel() const;
    void resetScroll() { topRow_ = leftPixel_ = 0; }

private:
    int topRow_ = 0;
    int leftPixel_ = 0;
    int rows_ = 0;
    int rowsPerPage_ = 1;
    int contentWidth_ = 0;
    int viewWidth_ = 0;
};

#include "toolkit/Scrollbar.h"

#include <algorithm>

void Scrollbar::setVerticalExtent(int rows, int rowsPerPage) {
    rows_ = std::max(0, rows);
    rowsPerPage_ = std::max(1, rowsPerPage);
    topRow_ = std::clamp(topRow_, 0, lastTopRow());
}

void Scrollbar::setHorizontalExtent(int contentWidth, int viewWidth) {
    contentWidth_ = std::max(0, contentWidth);
    viewWidth_ = std::max(0, viewWidth);
    leftPixel_ = std::clamp(leftPixel_, 0, lastLeftPixel());
}

int Scrollbar::lastTopRow() const { return std::max(0, rows_ - rowsPerPage_); }
int Scrollbar::lastLeftPixel() const { return std::max(0, contentWidth_ - viewWidth_); }

bool Scrollbar::scrollToRow(int row) {
    const int clamped = std::clamp(row, 0, lastTopRow());
    if (clamped == topRow_) return false;
    topRow_ = clamped;
    return true;
}

bool Scrollbar::scrollToPixel(int x) {
    const int clamped = std::clamp(x, 0, lastLeftPixel());
    if (clamped == leftPixel_) return false;
    leftPixel_ = clamped;
    return true;
}

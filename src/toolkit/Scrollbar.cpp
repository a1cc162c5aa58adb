#include "toolkit/Scrollbar.h"

#include <algorithm>

#include "toolkit/Graphics.h"

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

Scrollbar::Bar Scrollbar::verticalBar(int top) const {
    Bar bar;
    if (rows_ <= rowsPerPage_) return bar;
    const bool across = contentWidth_ > viewWidth_;
    const int bottom = viewHeight_ - (across ? kBarThickness : 0);
    const int length = bottom - top;
    if (length <= 0) return bar;
    bar.shown = true;
    bar.track = RECT{viewWidth_ - kBarThickness, top, viewWidth_, bottom};
    const int thumb = std::min(
        length, std::max(kMinimumThumb, static_cast<int>(static_cast<long long>(length) * rowsPerPage_ / rows_)));
    const int last = lastTopRow();
    const int offset = last > 0 ? static_cast<int>(static_cast<long long>(length - thumb) * topRow_ / last) : 0;
    bar.thumb = RECT{bar.track.left, top + offset, bar.track.right, top + offset + thumb};
    return bar;
}

Scrollbar::Bar Scrollbar::horizontalBar() const {
    Bar bar;
    if (contentWidth_ <= viewWidth_ || viewWidth_ <= 0) return bar;
    const bool down = rows_ > rowsPerPage_;
    const int right = viewWidth_ - (down ? kBarThickness : 0);
    if (right <= 0) return bar;
    bar.shown = true;
    bar.track = RECT{0, viewHeight_ - kBarThickness, right, viewHeight_};
    const int thumb = std::min(
        right, std::max(kMinimumThumb, static_cast<int>(static_cast<long long>(right) * viewWidth_ / contentWidth_)));
    const int last = lastLeftPixel();
    const int offset = last > 0 ? static_cast<int>(static_cast<long long>(right - thumb) * leftPixel_ / last) : 0;
    bar.thumb = RECT{offset, bar.track.top, offset + thumb, bar.track.bottom};
    return bar;
}

int Scrollbar::rowForThumbAt(int y, int top) const {
    const Bar bar = verticalBar(top);
    if (!bar.shown) return 0;
    const int travel = (bar.track.bottom - bar.track.top) - (bar.thumb.bottom - bar.thumb.top);
    if (travel <= 0) return 0;
    const int offset = std::clamp(y - bar.track.top, 0, travel);
    return static_cast<int>((static_cast<long long>(offset) * lastTopRow() + travel / 2) / travel);
}

int Scrollbar::pixelForThumbAt(int x) const {
    const Bar bar = horizontalBar();
    if (!bar.shown) return 0;
    const int travel = (bar.track.right - bar.track.left) - (bar.thumb.right - bar.thumb.left);
    if (travel <= 0) return 0;
    const int offset = std::clamp(x - bar.track.left, 0, travel);
    return static_cast<int>((static_cast<long long>(offset) * lastLeftPixel() + travel / 2) / travel);
}

void Scrollbar::paintBars(Graphics& g, int top) const {
    for (const Bar& bar : {verticalBar(top), horizontalBar()}) {
        if (!bar.shown) continue;
        g.fillRectAlpha(bar.track.left, bar.track.top, bar.track.right - bar.track.left,
                        bar.track.bottom - bar.track.top, 0, 24);
        g.fillRectAlpha(bar.thumb.left + 2, bar.thumb.top + 1, bar.thumb.right - bar.thumb.left - 4,
                        bar.thumb.bottom - bar.thumb.top - 2, 0, 110);
    }
}

#include "toolkit/Slider.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "toolkit/Graphics.h"
#include "toolkit/WidgetPainter.h"

using namespace widget_paint;

namespace {

constexpr int kTrackHeight = 8;

std::u16string valueText(int value) {
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "%d", value);
    return std::u16string(buffer, buffer + std::char_traits<char>::length(buffer));
}

}  // namespace

Slider::Slider() { registerWindowClass(u"SliderPane", u"", 0); }

int Slider::clampToRange(int value) const { return std::max(minimum_, std::min(value, maximum_)); }

void Slider::recomputeScale() {
    if (trackLength_ != 0)
        scale_ = static_cast<float>(std::abs(maximum_ - minimum_)) / static_cast<float>(trackLength_);
}

void Slider::placeThumb() {
    if (scale_ != 0.0f)
        thumb_.x = track_.x + static_cast<int>(static_cast<float>(std::abs(position_ - minimum_)) / scale_);
}

void Slider::setPosition(int position) {
    position_ = clampToRange(position);
    placeThumb();
    repaint();
}

void Slider::setRange(int minimum, int maximum) {
    minimum_ = minimum;
    maximum_ = maximum;
    if (trackLength_ == 0) trackLength_ = maximum_ - minimum_;
    position_ = clampToRange(position_);
    recomputeScale();
    placeThumb();
    fitThumb();
}

void Slider::setThumbWidth(int width) {
    askedThumbWidth_ = std::max(width, 1);
    thumb_.width = askedThumbWidth_;
    if (handle_) {
        RECT client{};
        GetClientRect(handle_, &client);
        onSize(0, MAKELPARAM(client.right, client.bottom));
    }
    fitThumb();
    repaint();
}

int Slider::widestValueWidth() const {
    Graphics g(1, 1);
    g.setFont(font_);
    return std::max(g.getTextWidth(valueText(minimum_)), g.getTextWidth(valueText(maximum_)));
}

void Slider::fitThumb() {
    int width = askedThumbWidth_;
    if (width > kValueThumbMinimum) {
        width = std::max(width, widestValueWidth() + 2 * kValueMargin);
        if (track_.width > 0) width = std::max(askedThumbWidth_, std::min(width, track_.width));
    }
    if (width == thumb_.width) return;
    thumb_.width = width;
    if (handle_) onSize(0, MAKELPARAM(track_.width, track_.height));
}

LRESULT Slider::onSize(WPARAM, LPARAM size) {
    const int width = LOWORD(size), height = HIWORD(size);
    const bool widthChanged = width != track_.width;
    track_ = Box{0, 0, width, height};
    // A narrower client may cap the thumb, a wider one free it.
    if (widthChanged) fitThumb();
    thumb_.height = height;
    trackLength_ = width - thumb_.width;
    recomputeScale();
    placeThumb();
    repaint();
    return 0;
}

void Slider::notifyValue() {
    if (!handle_) return;
    SendMessageW(GetParent(handle_), WM_HSCROLL, MAKEWPARAM(GetDlgCtrlID(handle_), position_),
                 reinterpret_cast<LPARAM>(handle_));
}

void Slider::moveBy(int delta) {
    position_ = clampToRange(position_ + delta);
    placeThumb();
    notifyValue();
    repaint();
}

bool Slider::onKeyDown(WPARAM key, LPARAM flags) {
    if (key == static_cast<WPARAM>(VK_TAB)) return Component::onKeyDown(key, flags);
    if (!isEnabled()) return false;
    int step = lineStep_;
    if (GetKeyState(VK_CONTROL) < 0) step = std::abs(maximum_ - minimum_) / (pageCount_ < 1 ? 5 : pageCount_);
    switch (static_cast<int>(key)) {
        case VK_LEFT:
        case VK_UP:
            moveBy(-step);
            break;
        case VK_RIGHT:
        case VK_DOWN:
            moveBy(step);
            break;
        default:
            break;
    }
    return true;
}

bool Slider::onMouseWheel(int, int, int, int notches) {
    if (!isEnabled()) return false;
    moveBy(-notches);
    return true;
}

bool Slider::onMousePressed(int x, int y) {
    requestFocus();
    if (!track_.contains(x, y)) return false;
    dragging_ = true;
    if (thumb_.contains(x, y)) {
        grabOffset_ = x - thumb_.x;
    } else {
        grabOffset_ = thumb_.width / 2;
        onMouseMoved(x, y);
    }
    return true;
}

bool Slider::onMouseMoved(int x, int) {
    if (!dragging_) {
        if (!hover_) onMouseEntered();
        return false;
    }
    const int rightmost = track_.x + track_.width - thumb_.width + 1;
    thumb_.x = std::max(track_.x, std::min(x - grabOffset_, rightmost));
    position_ = clampToRange(static_cast<int>(static_cast<float>(thumb_.x - track_.x) * scale_) + minimum_);
    notifyValue();
    repaint();
    return true;
}

bool Slider::onMouseReleased() {
    if (!dragging_) return false;
    if (handle_ && GetCapture() == handle_) ReleaseCapture();
    dragging_ = false;
    repaint();
    return true;
}

std::u16string Slider::getTextCopy() const {
    char buffer[128];
    std::snprintf(buffer, sizeof buffer, "The current slider position is %d. The range is from %d to %d.", position_,
                  minimum_, maximum_);
    return std::u16string(buffer, buffer + std::char_traits<char>::length(buffer));
}

void Slider::paint(Graphics& g) {
    Component::paint(g);
    paintTrack(g);
    paintValue(g);
}

void Slider::paintTrack(Graphics& g) {
    const bool enabled = !handle_ || isEnabled();
    const int top = track_.y + (track_.height - kTrackHeight) / 2;
    fillRoundRect(g, track_.x, top, track_.width, kTrackHeight, kTrackHeight, kTrack, kTrack);
    // The part before the thumb shows how far the value has come.
    if (enabled && thumb_.x > track_.x)
        fillRoundRect(g, track_.x, top, thumb_.x - track_.x + thumb_.width / 2, kTrackHeight, kTrackHeight,
                      kHoverBorder, kHoverBorder);
    COLORREF border = !enabled                  ? kDisabledBorder
                      : (focused_ || dragging_) ? kAccent
                      : hover_                  ? kHoverBorder
                                                : kFaceBorder;
    fillRoundRect(g, thumb_.x, thumb_.y, thumb_.width, thumb_.height, 10, enabled ? kFace : kDisabledFace, border,
                  focused_ ? 2 : 1);
}

void Slider::paintValue(Graphics& g) {
    if (thumb_.width <= kValueThumbMinimum) return;
    const std::u16string text = valueText(position_);
    g.setFont(font_);
    g.setTextColor(handle_ && !isEnabled() ? kDisabledText : foreground_);
    drawLine(g, text, thumb_.x, thumb_.y, thumb_.width, thumb_.height, Align::Centre);
}

LRESULT Slider::windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_GETDLGCODE:
            return kDialogCode;
        case TBM_GETPOS:
            return position_;
        case TBM_GETRANGEMIN:
            return minimum_;
        case TBM_GETRANGEMAX:
            return maximum_;
        case TBM_SETPOS:
            setPosition(static_cast<int>(lParam));
            return 0;
        case TBM_SETRANGE:
            setRange(static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam)));
            if (wParam) repaint();
            return 0;
        case TBM_SETRANGEMIN:
            setRange(static_cast<int>(lParam), maximum_);
            if (wParam) repaint();
            return 0;
        case TBM_SETRANGEMAX:
            setRange(minimum_, static_cast<int>(lParam));
            if (wParam) repaint();
            return 0;
        case TBM_SETPAGESIZE: {
            int previous = pageCount_;
            pageCount_ = static_cast<int>(lParam);
            return previous;
        }
        case TBM_GETPAGESIZE:
            return pageCount_;
        case TBM_SETLINESIZE: {
            int previous = lineStep_;
            lineStep_ = static_cast<int>(lParam);
            return previous;
        }
        case TBM_GETLINESIZE:
            return lineStep_;
        case TBM_SETTHUMBLENGTH:
            setThumbWidth(static_cast<int>(wParam));
            return 0;
        case TBM_GETTHUMBLENGTH:
            return thumb_.width;
        case TBM_SETTICFREQ:
            return 0;
        default:
            return Component::windowProc(window, message, wParam, lParam);
    }
}

#include "toolkit/ProgressBar.h"

#include <algorithm>

#include "toolkit/Graphics.h"
#include "toolkit/WidgetPainter.h"

ProgressBar::ProgressBar() { registerWindowClass(u"ProgressBar", u"", 0); }

bool ProgressBar::create(HWND parent) {
    if (!Component::create(parent)) return false;
    SetWindowLongW(handle_, GWL_STYLE, static_cast<LONG>(getStyle() & ~WS_TABSTOP));
    return true;
}

void ProgressBar::setPosition(int percent) {
    percent = std::clamp(percent, 0, 100);
    if (percent == position_) return;
    position_ = percent;
    repaint();
}

void ProgressBar::paint(Graphics& g) {
    Component::paint(g);
    RECT client{};
    if (handle_) GetClientRect(handle_, &client);
    const int width = client.right, height = client.bottom;
    widget_paint::fillRoundRect(g, 0, 0, width, height, kFrameRadius, 0xFFFFFF, 0xFFFFFF, 0);
    paintFieldFrame(g, 0, 0, width, height, kFrameRadius);
    const int barWidth = width * position_ / 100;
    if (barWidth > 0) {
        widget_paint::fillRoundRect(g, 0, 0, barWidth, height, kFrameRadius, kBarColour, kBarColour, 0);
        paintFieldFrame(g, 0, 0, barWidth, height, kFrameRadius);
    }
    const std::u16string text = getText();
    if (text.empty()) return;
    g.setFont(widget_paint::withWeight(font_, 600));
    g.setTextColor(foreground_);
    SetBkMode(g.dc(), TRANSPARENT);
    g.drawText(text, (width - g.getTextWidth(text)) / 2, 4);
}

LRESULT ProgressBar::windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    LRESULT result = Component::windowProc(window, message, wParam, lParam);
    if (message == WM_SETTEXT) repaint();
    return result;
}

#include "toolkit/CheckBox.h"

#include <algorithm>

#include "toolkit/Graphics.h"
#include "toolkit/WidgetPainter.h"

using namespace widget_paint;

namespace {

// Without any BS_ type bits: a radio button's uncheck walk only touches
// siblings with the radio-style bits, and a check box is not one of them.
constexpr DWORD kCheckBoxStyle = WS_CHILD | WS_VISIBLE | WS_TABSTOP;

}  // namespace

CheckBox::CheckBox() = default;

bool CheckBox::createButton(HWND parent, int controlId, const std::u16string& text, int x, int y, int width,
                            int height) {
    return createWindow(parent, controlId, text, kCheckBoxStyle, x, y, width, height);
}

void CheckBox::paint(Graphics& g) {
    Component::paint(g);
    RECT client{};
    if (handle_) GetClientRect(handle_, &client);
    const int top = (client.bottom - kIndicatorSize) / 2;
    paintIndicator(g, 1, top, kIndicatorSize);
    paintCaption(g, kIndicatorSize + 6);
}

void CheckBox::paintIndicator(Graphics& g, int x, int y, int size) {
    const bool enabled = !handle_ || isEnabled();
    const bool armed = pressedByKey_ || (pressedByMouse_ && pointerInside());
    COLORREF border = !enabled ? kDisabledBorder : (hover_ || armed) ? kHoverBorder : kFaceBorder;
    COLORREF fill = !enabled ? kDisabledFace : armed ? kPressedFace : kFace;
    if (state_ == 1 && enabled) fill = border = kAccent;
    fillRoundRect(g, x, y, size, size, 5, fill, border);
    if (state_ != 1) return;
    // The tick: two strokes, three pixels thick.
    COLORREF tick = enabled ? 0xFFFFFF : kDisabledText;
    for (int t = 0; t < 2; ++t) {
        g.drawLine(x + 3, y + 6 + t, x + 5, y + 8 + t, tick);
        g.drawLine(x + 5, y + 8 + t, x + 10, y + 3 + t, tick);
        g.drawLine(x + 5, y + 9 + t, x + 11, y + 3 + t, tick);
    }
}

void CheckBox::paintCaption(Graphics& g, int x) {
    RECT client{};
    if (handle_) GetClientRect(handle_, &client);
    const std::u16string text = getText();
    g.setFont(font_);
    g.setTextColor(handle_ && !isEnabled() ? kDisabledText : foreground_);
    drawLine(g, text, x, 0, client.right - x, client.bottom, Align::Left);
    if (focused_ && !text.empty()) {
        int width = std::min(g.getTextWidth(text) + 6, static_cast<int>(client.right) - x + 3);
        g.drawRoundRect(x - 3, 1, width, client.bottom - 2, 1, kAccent, 6);
    }
}

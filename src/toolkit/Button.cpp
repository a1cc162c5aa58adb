#include "toolkit/Button.h"

#include "toolkit/WidgetPainter.h"

using namespace widget_paint;

Button::Button() = default;

bool Button::createWithId(HWND parent, int controlId) { return createButton(parent, controlId, u"", 0, 0, 0, 0); }

ButtonShade Button::shade() const {
    if (handle_ && !isEnabled()) return ButtonShade::Disabled;
    if (pressedByMouse_) return pointerInside() ? ButtonShade::PressedInside : ButtonShade::PressedOutside;
    if (pressedByKey_) return ButtonShade::PressedInside;
    if (hover_) return ButtonShade::Hovered;
    if (focused_) return ButtonShade::Focused;
    return ButtonShade::Normal;
}

void Button::paint(Graphics& g) {
    Component::paint(g);
    paintFace(g);
    paintImage(g);
    paintLabel(g);
}

void Button::paintFace(Graphics& g) {
    RECT client{};
    if (handle_) GetClientRect(handle_, &client);
    const int width = client.right, height = client.bottom;
    COLORREF fill = kFace, border = kFaceBorder;
    switch (shade()) {
        case ButtonShade::Normal:
            break;
        case ButtonShade::Hovered:
            fill = kHoverFace;
            border = kHoverBorder;
            break;
        case ButtonShade::Focused:
            border = kAccent;
            break;
        case ButtonShade::PressedInside:
            fill = kPressedFace;
            border = kPressedBorder;
            break;
        case ButtonShade::PressedOutside:
            fill = kPressedOutsideFace;
            border = kHoverBorder;
            break;
        case ButtonShade::Disabled:
            fill = kDisabledFace;
            border = kDisabledBorder;
            break;
    }
    fillRoundRect(g, 0, 0, width, height, kCornerRadius, fill, border);
    // A soft light band over the upper half keeps the face from looking flat.
    if (shade() != ButtonShade::PressedInside && shade() != ButtonShade::Disabled && height > 6)
        g.fillRectAlpha(3, 2, width - 6, height / 2 - 2, 0xFFFFFF, 90);
    // The focus ring stays visible whatever else the face shows.
    if (focused_ && shade() != ButtonShade::Disabled)
        g.drawRoundRect(1, 1, width - 2, height - 2, 2, kAccent, kCornerRadius - 2);
}

void Button::paintImage(Graphics& g) {
    if (!image_.loaded()) return;
    RECT client{};
    if (handle_) GetClientRect(handle_, &client);
    Rect cell = imageCell_.width > 0 ? imageCell_ : Rect{0, 0, image_.getWidth(), image_.getHeight()};
    const bool withText = !getText().empty();
    int x = withText ? 6 : (client.right - cell.width) / 2;
    int y = (client.bottom - cell.height) / 2;
    g.drawImage(image_, x, y, cell.width, cell.height, cell.x, cell.y, cell.width, cell.height);
}

void Button::paintLabel(Graphics& g) {
    RECT client{};
    if (handle_) GetClientRect(handle_, &client);
    const std::u16string text = getText();
    if (text.empty()) return;
    g.setFont(font_);
    g.setTextColor(shade() == ButtonShade::Disabled ? kDisabledText : foreground_);
    int left = 0;
    if (image_.loaded()) {
        int cellWidth = imageCell_.width > 0 ? imageCell_.width : image_.getWidth();
        left = 6 + cellWidth;
    }
    int yShift = shade() == ButtonShade::PressedInside ? 1 : 0;
    drawLine(g, text, left, yShift, client.right - left, client.bottom, Align::Centre);
}

bool Button::loadImage(const std::u16string& path) {
    bool ok = image_.load(path);
    imageCell_ = Rect{};
    repaint();
    return ok;
}

void Button::setImageCell(const Rect& cell) {
    imageCell_ = cell;
    repaint();
}

#include "toolkit/WidgetPainter.h"

namespace widget_paint {

namespace {

// Selects a pen and a brush into the picture for one shape and puts the old
// ones back afterwards.
class ShapeTools {
public:
    ShapeTools(HDC dc, COLORREF fill, COLORREF border, int penWidth)
        : brush_(CreateSolidBrush(fill)),
          pen_(penWidth > 0 ? CreatePen(PS_SOLID, penWidth, border) : CreatePen(PS_NULL, 0, 0)),
          brushSelection_(dc, brush_.get()),
          penSelection_(dc, pen_.get()) {}

private:
    UniqueBrush brush_;
    UniquePen pen_;
    SelectedObject brushSelection_;
    SelectedObject penSelection_;
};

}  // namespace

void fillRoundRect(Graphics& g, int x, int y, int width, int height, int radius, COLORREF fill, COLORREF border,
                   int penWidth) {
    if (width <= 0 || height <= 0) return;
    ShapeTools tools(g.dc(), fill, border, penWidth);
    RoundRect(g.dc(), x, y, x + width, y + height, radius, radius);
}

void fillEllipse(Graphics& g, int x, int y, int width, int height, COLORREF fill, COLORREF border) {
    if (width <= 0 || height <= 0) return;
    ShapeTools tools(g.dc(), fill, border, 1);
    Ellipse(g.dc(), x, y, x + width, y + height);
}

void drawLine(Graphics& g, const std::u16string& text, int x, int y, int width, int height, Align align) {
    if (text.empty()) return;
    SetBkMode(g.dc(), TRANSPARENT);
    RECT r{x, y, x + width, y + height};
    UINT format = DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | (align == Align::Centre ? DT_CENTER : DT_LEFT);
    DrawTextW(g.dc(), text.c_str(), static_cast<int>(text.size()), &r, format);
}

LOGFONTW withWeight(const LOGFONTW& font, LONG weight) {
    LOGFONTW copy = font;
    copy.lfWeight = weight;
    return copy;
}

}  // namespace widget_paint

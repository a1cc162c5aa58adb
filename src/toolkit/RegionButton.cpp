#include "toolkit/RegionButton.h"

#include "toolkit/Graphics.h"
#include "toolkit/WidgetPainter.h"

using namespace widget_paint;

RegionButton::RegionButton() = default;

void RegionButton::setRegion(std::vector<POINT> polygon) {
    polygon_ = polygon.size() >= 3 ? std::move(polygon) : std::vector<POINT>{};
    repaint();
}

bool RegionButton::containsPoint(int x, int y) const {
    if (!handle_) return false;
    if (polygon_.empty()) {
        RECT client{};
        GetClientRect(handle_, &client);
        const double rx = client.right / 2.0, ry = client.bottom / 2.0;
        if (rx <= 0 || ry <= 0) return false;
        const double dx = (x + 0.5 - rx) / rx, dy = (y + 0.5 - ry) / ry;
        return dx * dx + dy * dy <= 1.0;
    }
    // Even-odd rule: count the edges a ray to the right crosses.
    bool inside = false;
    const double px = x + 0.5, py = y + 0.5;
    for (std::size_t i = 0, j = polygon_.size() - 1; i < polygon_.size(); j = i++) {
        const POINT& a = polygon_[i];
        const POINT& b = polygon_[j];
        if ((a.y > py) != (b.y > py)) {
            const double crossX = a.x + (py - a.y) * (b.x - a.x) / static_cast<double>(b.y - a.y);
            if (px < crossX) inside = !inside;
        }
    }
    return inside;
}

bool RegionButton::onMousePressed(int x, int y) {
    if (!containsPoint(x, y)) return false;
    return Button::onMousePressed(x, y);
}

void RegionButton::paintFace(Graphics& g) {
    RECT client{};
    if (handle_) GetClientRect(handle_, &client);
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
    if (polygon_.empty()) {
        fillEllipse(g, 0, 0, client.right, client.bottom, fill, border);
        return;
    }
    const UniqueBrush brush(CreateSolidBrush(fill));
    const UniquePen pen(CreatePen(PS_SOLID, focused_ ? 2 : 1, border));
    const SelectedObject brushSelection(g.dc(), brush.get());
    const SelectedObject penSelection(g.dc(), pen.get());
    Polygon(g.dc(), polygon_.data(), static_cast<int>(polygon_.size()));
}

#include "platform/controls/Painter.h"

#include <algorithm>
#include <cmath>

#include "platform/gdi/GdiObjects.h"

namespace veltrix::platform::painter {

namespace {

template <typename Body>
void withCairo(HDC handle, Body body) {
    Gdi& g = Gdi::instance();
    std::lock_guard lock(g.mutex);
    DeviceContext* dc = g.dc(handle);
    if (!dc) return;
    UniqueCairo cr = beginDrawing(*dc);
    if (!cr) return;
    cairo_set_antialias(cr.get(), CAIRO_ANTIALIAS_GRAY);
    body(cr.get());
}

void roundPath(cairo_t* cr, double l, double t, double r, double b, double radius) {
    radius = std::min({radius, (r - l) / 2, (b - t) / 2});
    cairo_new_sub_path(cr);
    cairo_arc(cr, r - radius, t + radius, radius, -M_PI / 2, 0);
    cairo_arc(cr, r - radius, b - radius, radius, 0, M_PI / 2);
    cairo_arc(cr, l + radius, b - radius, radius, M_PI / 2, M_PI);
    cairo_arc(cr, l + radius, t + radius, radius, M_PI, 3 * M_PI / 2);
    cairo_close_path(cr);
}

}  // namespace

void roundRect(HDC dc, const RECT& r, double radius, COLORREF fill, COLORREF border, double borderWidth) {
    withCairo(dc, [&](cairo_t* cr) {
        double inset = borderWidth / 2;
        roundPath(cr, r.left + inset, r.top + inset, r.right - inset, r.bottom - inset, radius);
        setColour(cr, fill);
        if (borderWidth > 0) {
            cairo_fill_preserve(cr);
            setColour(cr, border);
            cairo_set_line_width(cr, borderWidth);
            cairo_stroke(cr);
        } else {
            cairo_fill(cr);
        }
    });
}

void icon(HDC dc, int x, int y, Icon which) {
    if (which == Icon::None) return;
    withCairo(dc, [&](cairo_t* cr) {
        const double cx = x + 16, cy = y + 16;
        cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
        if (which == Icon::Warning) {
            // A rounded yellow triangle with a dark exclamation mark.
            cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
            cairo_move_to(cr, cx, y + 3);
            cairo_line_to(cr, x + 30, y + 29);
            cairo_line_to(cr, x + 2, y + 29);
            cairo_close_path(cr);
            setColour(cr, RGB(0xF7, 0xC2, 0x3A));
            cairo_fill_preserve(cr);
            cairo_set_line_width(cr, 2.5);
            cairo_stroke(cr);
            setColour(cr, RGB(0x30, 0x2A, 0x1A));
            cairo_set_line_width(cr, 3);
            cairo_move_to(cr, cx, y + 12);
            cairo_line_to(cr, cx, y + 20);
            cairo_stroke(cr);
            cairo_arc(cr, cx, y + 25, 1.8, 0, 2 * M_PI);
            cairo_fill(cr);
            return;
        }
        COLORREF disc = which == Icon::Error ? RGB(0xC4, 0x2B, 0x1C) : RGB(0x00, 0x67, 0xC0);
        cairo_arc(cr, cx, cy, 15, 0, 2 * M_PI);
        setColour(cr, disc);
        cairo_fill(cr);
        setColour(cr, RGB(0xFF, 0xFF, 0xFF));
        cairo_set_line_width(cr, 3);
        switch (which) {
            case Icon::Error:
                cairo_move_to(cr, cx - 6, cy - 6);
                cairo_line_to(cr, cx + 6, cy + 6);
                cairo_move_to(cr, cx + 6, cy - 6);
                cairo_line_to(cr, cx - 6, cy + 6);
                cairo_stroke(cr);
                break;
            case Icon::Information:
                cairo_move_to(cr, cx, cy - 2);
                cairo_line_to(cr, cx, cy + 8);
                cairo_stroke(cr);
                cairo_arc(cr, cx, cy - 8, 2, 0, 2 * M_PI);
                cairo_fill(cr);
                break;
            case Icon::Question:
                cairo_arc(cr, cx, cy - 4, 5, M_PI, M_PI * 2.25);
                cairo_line_to(cr, cx, cy + 3);
                cairo_stroke(cr);
                cairo_arc(cr, cx, cy + 9, 2, 0, 2 * M_PI);
                cairo_fill(cr);
                break;
            default:
                break;
        }
    });
}

void checkMark(HDC dc, const RECT& square, COLORREF colour) {
    withCairo(dc, [&](cairo_t* cr) {
        double w = square.right - square.left, h = square.bottom - square.top;
        cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
        cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
        cairo_set_line_width(cr, 1.6);
        setColour(cr, colour);
        cairo_move_to(cr, square.left + w * 0.22, square.top + h * 0.52);
        cairo_line_to(cr, square.left + w * 0.42, square.top + h * 0.72);
        cairo_line_to(cr, square.left + w * 0.80, square.top + h * 0.30);
        cairo_stroke(cr);
    });
}

void rightArrow(HDC dc, const RECT& r, COLORREF colour) {
    withCairo(dc, [&](cairo_t* cr) {
        double cx = (r.left + r.right) / 2.0, cy = (r.top + r.bottom) / 2.0;
        cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
        cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
        cairo_set_line_width(cr, 1.4);
        setColour(cr, colour);
        cairo_move_to(cr, cx - 2, cy - 4);
        cairo_line_to(cr, cx + 2, cy);
        cairo_line_to(cr, cx - 2, cy + 4);
        cairo_stroke(cr);
    });
}

HFONT uiFont() {
    static HFONT font = [] {
        LOGFONTW lf{};
        lf.lfHeight = -13;
        lf.lfWeight = FW_NORMAL;
        lf.lfCharSet = DEFAULT_CHARSET;
        const char16_t face[] = u"Segoe UI";
        std::copy(std::begin(face), std::end(face), lf.lfFaceName);
        return CreateFontIndirectW(&lf);
    }();
    return font;
}

}  // namespace veltrix::platform::painter

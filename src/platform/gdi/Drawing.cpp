// Shapes, fills and block transfers with GDI's pixel rules: antialiasing off,
// right and bottom edges exclusive, one-pixel pens for widths 0 and 1.
#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

#include "platform/gdi/GdiObjects.h"

using namespace veltrix::platform;

namespace {

Gdi& gdi() { return Gdi::instance(); }

// The pen and brush a DC draws with, resolved once per call.
struct Tools {
    bool pen = false;
    int penWidth = 1;
    int penStyle = PS_SOLID;
    COLORREF penColour = 0;
    bool brush = false;
    COLORREF brushColour = 0;
};

Tools toolsOf(const DeviceContext& dc) {
    Tools t;
    if (const GdiObject* p = gdi().object(dc.state.pen); p && p->type == OBJ_PEN) {
        const Pen& pen = std::get<Pen>(p->value);
        t.pen = pen.style != PS_NULL;
        t.penWidth = std::max(1, pen.width);
        t.penStyle = pen.style;
        t.penColour = dc.state.pen == gdi().stock[DC_PEN] ? dc.state.dcPen : pen.colour;
    }
    if (const GdiObject* b = gdi().object(dc.state.brush); b && b->type == OBJ_BRUSH) {
        const Brush& brush = std::get<Brush>(b->value);
        t.brush = !brush.hollow;
        t.brushColour = dc.state.brush == gdi().stock[DC_BRUSH] ? dc.state.dcBrush : brush.colour;
    }
    return t;
}

// The stock DC brush paints in the colour the DC was given (SetDCBrushColor).
bool brushColour(HBRUSH handle, const DeviceContext& dc, COLORREF& colour) {
    if (handle && static_cast<HGDIOBJ>(handle) == gdi().stock[DC_BRUSH]) {
        colour = dc.state.dcBrush;
        return true;
    }
    const GdiObject* b = gdi().object(handle);
    if (!b || b->type != OBJ_BRUSH) {
        // COLOR_x + 1 stands for a system colour's brush, as on Windows.
        auto v = reinterpret_cast<std::uintptr_t>(handle);
        if (v > 0 && v <= 31) {
            colour = GetSysColor(static_cast<int>(v - 1));
            return true;
        }
        return false;
    }
    const Brush& brush = std::get<Brush>(b->value);
    if (brush.hollow) return false;
    colour = brush.colour;
    return true;
}

void strokeWith(cairo_t* cr, const Tools& t) {
    setColour(cr, t.penColour);
    cairo_set_line_width(cr, t.penWidth);
    if (t.penStyle == PS_DASH) {
        double dash[] = {6, 2};
        cairo_set_dash(cr, dash, 2, 0);
    } else if (t.penStyle == PS_DOT) {
        double dash[] = {1, 1};
        cairo_set_dash(cr, dash, 2, 0);
    }
    cairo_stroke(cr);
}

void fillRect(cairo_t* cr, double l, double t, double r, double b, COLORREF c) {
    if (r <= l || b <= t) return;
    setColour(cr, c);
    cairo_rectangle(cr, l, t, r - l, b - t);
    cairo_fill(cr);
}

// An outline of width w drawn inside [l, r) x [t, b).
void frame(cairo_t* cr, int l, int t, int r, int b, int w, COLORREF c) {
    if (r <= l || b <= t) return;
    setColour(cr, c);
    cairo_set_fill_rule(cr, CAIRO_FILL_RULE_EVEN_ODD);
    cairo_rectangle(cr, l, t, r - l, b - t);
    if (r - l > 2 * w && b - t > 2 * w) cairo_rectangle(cr, l + w, t + w, r - l - 2 * w, b - t - 2 * w);
    cairo_fill(cr);
    cairo_set_fill_rule(cr, CAIRO_FILL_RULE_WINDING);
}

template <typename Body>
BOOL draw(HDC handle, Body body) {
    std::lock_guard lock(gdi().mutex);
    DeviceContext* dc = gdi().dc(handle);
    if (!dc) return FALSE;
    UniqueCairo cr = beginDrawing(*dc);
    if (!cr) return TRUE;  // clipped away entirely: nothing to do, not a failure
    body(cr.get(), *dc);
    return TRUE;
}

void shape(cairo_t* cr, const Tools& t, void (*path)(cairo_t*, double, double, double, double, double, double),
           double l, double top, double r, double b, double rw, double rh) {
    if (t.brush) {
        path(cr, l + 0.5, top + 0.5, r - 0.5, b - 0.5, rw, rh);
        setColour(cr, t.brushColour);
        cairo_fill(cr);
    }
    if (t.pen) {
        path(cr, l + 0.5, top + 0.5, r - 0.5, b - 0.5, rw, rh);
        strokeWith(cr, t);
    }
}

void ellipsePath(cairo_t* cr, double l, double t, double r, double b, double, double) {
    double w = r - l, h = b - t;
    if (w <= 0 || h <= 0) return;
    cairo_save(cr);
    cairo_translate(cr, l + w / 2, t + h / 2);
    cairo_scale(cr, w / 2, h / 2);
    cairo_arc(cr, 0, 0, 1, 0, 2 * M_PI);
    cairo_restore(cr);
}

void roundPath(cairo_t* cr, double l, double t, double r, double b, double rw, double rh) {
    rw = std::min(rw / 2, (r - l) / 2);
    rh = std::min(rh / 2, (b - t) / 2);
    if (rw <= 0 || rh <= 0) {
        cairo_rectangle(cr, l, t, r - l, b - t);
        return;
    }
    auto corner = [&](double cx, double cy, double a0) {
        cairo_save(cr);
        cairo_translate(cr, cx, cy);
        cairo_scale(cr, rw, rh);
        cairo_arc(cr, 0, 0, 1, a0, a0 + M_PI / 2);
        cairo_restore(cr);
    };
    cairo_new_sub_path(cr);
    corner(r - rw, t + rh, -M_PI / 2);
    corner(r - rw, b - rh, 0);
    corner(l + rw, b - rh, M_PI / 2);
    corner(l + rw, t + rh, M_PI);
    cairo_close_path(cr);
}

// Per-pixel raster operations Cairo has no operator for.
DWORD applyRop(DWORD rop, DWORD d, DWORD s) {
    switch (rop) {
        case SRCAND:
            return d & s;
        case SRCPAINT:
            return d | s;
        case SRCINVERT:
            return d ^ s;
        case NOTSRCCOPY:
            return ~s;
        case DSTINVERT:
            return ~d;
        default:
            return s;
    }
}

}  // namespace

BOOL Rectangle(HDC handle, int left, int top, int right, int bottom) {
    return draw(handle, [&](cairo_t* cr, DeviceContext& dc) {
        Tools t = toolsOf(dc);
        int inset = t.pen ? t.penWidth : 0;
        if (t.brush) fillRect(cr, left + inset, top + inset, right - inset, bottom - inset, t.brushColour);
        if (t.pen) frame(cr, left, top, right, bottom, t.penWidth, t.penColour);
    });
}

BOOL RoundRect(HDC handle, int left, int top, int right, int bottom, int width, int height) {
    return draw(handle, [&](cairo_t* cr, DeviceContext& dc) {
        shape(cr, toolsOf(dc), roundPath, left, top, right, bottom, width, height);
    });
}

BOOL Ellipse(HDC handle, int left, int top, int right, int bottom) {
    return draw(handle, [&](cairo_t* cr, DeviceContext& dc) {
        shape(cr, toolsOf(dc), ellipsePath, left, top, right, bottom, 0, 0);
    });
}

BOOL Polygon(HDC handle, const POINT* points, int count) {
    if (!points || count < 2) return FALSE;
    return draw(handle, [&](cairo_t* cr, DeviceContext& dc) {
        Tools t = toolsOf(dc);
        auto path = [&] {
            cairo_move_to(cr, points[0].x + 0.5, points[0].y + 0.5);
            for (int i = 1; i < count; ++i) cairo_line_to(cr, points[i].x + 0.5, points[i].y + 0.5);
            cairo_close_path(cr);
        };
        if (t.brush) {
            path();
            setColour(cr, t.brushColour);
            cairo_set_fill_rule(cr, CAIRO_FILL_RULE_EVEN_ODD);  // GDI's ALTERNATE
            cairo_fill(cr);
        }
        if (t.pen) {
            path();
            strokeWith(cr, t);
        }
    });
}

BOOL Polyline(HDC handle, const POINT* points, int count) {
    if (!points || count < 2) return FALSE;
    return draw(handle, [&](cairo_t* cr, DeviceContext& dc) {
        Tools t = toolsOf(dc);
        if (!t.pen) return;
        cairo_move_to(cr, points[0].x + 0.5, points[0].y + 0.5);
        for (int i = 1; i < count; ++i) cairo_line_to(cr, points[i].x + 0.5, points[i].y + 0.5);
        strokeWith(cr, t);
    });
}

BOOL MoveToEx(HDC handle, int x, int y, LPPOINT previous) {
    std::lock_guard lock(gdi().mutex);
    DeviceContext* dc = gdi().dc(handle);
    if (!dc) return FALSE;
    if (previous) *previous = dc->state.position;
    dc->state.position = {x, y};
    return TRUE;
}

BOOL LineTo(HDC handle, int x, int y) {
    BOOL ok = draw(handle, [&](cairo_t* cr, DeviceContext& dc) {
        Tools t = toolsOf(dc);
        if (!t.pen) return;
        POINT from = dc.state.position;
        double dx = x - from.x, dy = y - from.y;
        if (t.penWidth == 1 && (dx == 0 || dy == 0)) {
            // Axis-aligned one-pixel lines as fills: exact, end point excluded.
            double l = std::min<double>(from.x, x), r = std::max<double>(from.x, x);
            double tp = std::min<double>(from.y, y), b = std::max<double>(from.y, y);
            if (dy == 0) {
                if (x < from.x) {
                    l += 1;
                    r += 1;
                }
                fillRect(cr, l, from.y, r, from.y + 1, t.penColour);
            } else {
                if (y < from.y) {
                    tp += 1;
                    b += 1;
                }
                fillRect(cr, from.x, tp, from.x + 1, b, t.penColour);
            }
            return;
        }
        cairo_move_to(cr, from.x + 0.5, from.y + 0.5);
        cairo_line_to(cr, x + 0.5, y + 0.5);
        cairo_set_line_cap(cr, CAIRO_LINE_CAP_BUTT);
        strokeWith(cr, t);
    });
    MoveToEx(handle, x, y, nullptr);
    return ok;
}

int FillRect(HDC handle, const RECT* rect, HBRUSH brush) {
    if (!rect) return 0;
    return draw(handle, [&](cairo_t* cr, DeviceContext& dc) {
        COLORREF c;
        if (brushColour(brush, dc, c)) fillRect(cr, rect->left, rect->top, rect->right, rect->bottom, c);
    });
}

int FrameRect(HDC handle, const RECT* rect, HBRUSH brush) {
    if (!rect) return 0;
    return draw(handle, [&](cairo_t* cr, DeviceContext& dc) {
        COLORREF c;
        if (brushColour(brush, dc, c)) frame(cr, rect->left, rect->top, rect->right, rect->bottom, 1, c);
    });
}

BOOL InvertRect(HDC handle, const RECT* rect) {
    if (!rect) return FALSE;
    return PatBlt(handle, rect->left, rect->top, rect->right - rect->left, rect->bottom - rect->top, DSTINVERT);
}

BOOL DrawEdge(HDC handle, LPRECT rect, UINT edge, UINT flags) {
    if (!rect) return FALSE;
    return draw(handle, [&](cairo_t* cr, DeviceContext&) {
        RECT r = *rect;
        auto ring = [&](COLORREF topLeft, COLORREF bottomRight) {
            if (flags & BF_TOP) fillRect(cr, r.left, r.top, r.right, r.top + 1, topLeft);
            if (flags & BF_LEFT) fillRect(cr, r.left, r.top, r.left + 1, r.bottom, topLeft);
            if (flags & BF_BOTTOM) fillRect(cr, r.left, r.bottom - 1, r.right, r.bottom, bottomRight);
            if (flags & BF_RIGHT) fillRect(cr, r.right - 1, r.top, r.right, r.bottom, bottomRight);
            InflateRect(&r, -1, -1);
        };
        COLORREF light = GetSysColor(COLOR_3DLIGHT), highlight = GetSysColor(COLOR_BTNHIGHLIGHT);
        COLORREF shadow = GetSysColor(COLOR_BTNSHADOW), dark = GetSysColor(COLOR_3DDKSHADOW);
        if (edge & BDR_RAISEDOUTER)
            ring(light, dark);
        else if (edge & BDR_SUNKENOUTER)
            ring(shadow, highlight);
        if (edge & BDR_RAISEDINNER)
            ring(highlight, shadow);
        else if (edge & BDR_SUNKENINNER)
            ring(dark, light);
    });
}

COLORREF SetPixel(HDC handle, int x, int y, COLORREF colour) {
    BOOL ok = draw(handle, [&](cairo_t* cr, DeviceContext&) { fillRect(cr, x, y, x + 1, y + 1, colour); });
    return ok ? colour & 0xFFFFFF : CLR_INVALID;
}

COLORREF GetPixel(HDC handle, int x, int y) {
    std::lock_guard lock(gdi().mutex);
    DeviceContext* dc = gdi().dc(handle);
    if (!dc || !dc->target) return CLR_INVALID;
    int px = x + dc->origin.x + dc->state.viewport.x, py = y + dc->origin.y + dc->state.viewport.y;
    if (!effectiveClip(*dc).contains(px, py)) return CLR_INVALID;
    cairo_surface_flush(dc->target.get());
    const unsigned char* row =
        cairo_image_surface_get_data(dc->target.get()) + py * cairo_image_surface_get_stride(dc->target.get());
    const unsigned char* p = row + px * 4;
    return RGB(p[2], p[1], p[0]);
}

BOOL PatBlt(HDC handle, int x, int y, int width, int height, DWORD rop) {
    return draw(handle, [&](cairo_t* cr, DeviceContext& dc) {
        RECT r{std::min(x, x + width), std::min(y, y + height), std::max(x, x + width), std::max(y, y + height)};
        switch (rop) {
            case BLACKNESS:
                fillRect(cr, r.left, r.top, r.right, r.bottom, 0);
                break;
            case WHITENESS:
                fillRect(cr, r.left, r.top, r.right, r.bottom, 0xFFFFFF);
                break;
            case DSTINVERT:
                cairo_set_operator(cr, CAIRO_OPERATOR_DIFFERENCE);
                fillRect(cr, r.left, r.top, r.right, r.bottom, 0xFFFFFF);
                break;
            default: {
                Tools t = toolsOf(dc);
                if (t.brush) fillRect(cr, r.left, r.top, r.right, r.bottom, t.brushColour);
                break;
            }
        }
    });
}

namespace {

// Copies (or combines) a source rectangle into the destination, scaling with
// nearest neighbour; negative destination sizes mirror.
BOOL transfer(HDC destination, int x, int y, int width, int height, HDC source, int sx, int sy, int sw, int sh,
              DWORD rop) {
    if (rop == BLACKNESS || rop == WHITENESS || rop == DSTINVERT || rop == PATCOPY)
        return PatBlt(destination, x, y, width, height, rop);
    std::lock_guard lock(gdi().mutex);
    DeviceContext* dst = gdi().dc(destination);
    DeviceContext* src = gdi().dc(source);
    if (!dst || !src || !src->target) return FALSE;
    if (width == 0 || height == 0 || sw == 0 || sh == 0) return TRUE;
    cairo_surface_mark_dirty(src->target.get());  // the toolkit may have written its memory
    int dsx = sx + src->origin.x + src->state.viewport.x;
    int dsy = sy + src->origin.y + src->state.viewport.y;
    cairo_surface_t* from = src->target.get();
    UniqueCairoSurface copy;
    if (from == dst->target.get()) {
        // Overlapping copies within one picture go through a temporary.
        copy.reset(cairo_image_surface_create(CAIRO_FORMAT_RGB24, std::abs(sw), std::abs(sh)));
        UniqueCairo c(cairo_create(copy.get()));
        cairo_set_source_surface(c.get(), from, -std::min(dsx, dsx + sw), -std::min(dsy, dsy + sh));
        cairo_set_operator(c.get(), CAIRO_OPERATOR_SOURCE);
        cairo_paint(c.get());
        from = copy.get();
        dsx = sw < 0 ? -sw : 0;
        dsy = sh < 0 ? -sh : 0;
        if (sw > 0) dsx = 0;
        if (sh > 0) dsy = 0;
    }
    // A negative size mirrors with x (or y) as the first pixel, as GDI does:
    // StretchBlt(dc, w - 1, 0, -w, h, ...) flips a whole picture.
    int left = width < 0 ? x + width + 1 : x;
    int top = height < 0 ? y + height + 1 : y;
    int originX = width < 0 ? x + 1 : x;
    int originY = height < 0 ? y + 1 : y;
    bool plain = rop == SRCCOPY;
    if (plain) {
        UniqueCairo drawing = beginDrawing(*dst);
        if (cairo_t* cr = drawing.get()) {
            cairo_rectangle(cr, left, top, std::abs(width), std::abs(height));
            cairo_clip(cr);
            cairo_translate(cr, originX, originY);
            cairo_scale(cr, static_cast<double>(width) / sw, static_cast<double>(height) / sh);
            cairo_set_source_surface(cr, from, -dsx, -dsy);
            cairo_pattern_set_filter(cairo_get_source(cr), CAIRO_FILTER_NEAREST);
            cairo_set_operator(cr, CAIRO_OPERATOR_SOURCE);
            cairo_paint(cr);
        }
    } else if (dst->target) {
        // Bitwise operations, pixel by pixel inside the clip.
        Region clip = effectiveClip(*dst);
        int ox = dst->origin.x + dst->state.viewport.x, oy = dst->origin.y + dst->state.viewport.y;
        clip.intersect(RECT{left + ox, top + oy, left + std::abs(width) + ox, top + std::abs(height) + oy});
        cairo_surface_flush(dst->target.get());
        cairo_surface_flush(from);
        unsigned char* dbase = cairo_image_surface_get_data(dst->target.get());
        int dstride = cairo_image_surface_get_stride(dst->target.get());
        const unsigned char* sbase = cairo_image_surface_get_data(from);
        int sstride = cairo_image_surface_get_stride(from);
        int swidth = cairo_image_surface_get_width(from), sheight = cairo_image_surface_get_height(from);
        for (int i = 0; i < clip.count(); ++i) {
            RECT r = clip.rect(i);
            for (int py = r.top; py < r.bottom; ++py) {
                int srcY =
                    dsy + static_cast<int>(std::floor((py - oy - originY + 0.5) * sh / static_cast<double>(height)));
                if (srcY < 0 || srcY >= sheight) continue;
                auto* drow = reinterpret_cast<DWORD*>(dbase + py * dstride);
                auto* srow = reinterpret_cast<const DWORD*>(sbase + srcY * sstride);
                for (int px = r.left; px < r.right; ++px) {
                    int srcX =
                        dsx + static_cast<int>(std::floor((px - ox - originX + 0.5) * sw / static_cast<double>(width)));
                    if (srcX < 0 || srcX >= swidth) continue;
                    DWORD d = drow[px], s = srow[srcX];
                    drow[px] = (d & 0xFF000000) | (applyRop(rop, d, s) & 0x00FFFFFF);
                }
            }
        }
        cairo_surface_mark_dirty(dst->target.get());
    }
    return TRUE;
}

}  // namespace

BOOL BitBlt(HDC destination, int x, int y, int width, int height, HDC source, int sx, int sy, DWORD rop) {
    return transfer(destination, x, y, width, height, source, sx, sy, width, height, rop);
}

BOOL StretchBlt(HDC destination, int x, int y, int width, int height, HDC source, int sx, int sy, int sw, int sh,
                DWORD rop) {
    return transfer(destination, x, y, width, height, source, sx, sy, sw, sh, rop);
}

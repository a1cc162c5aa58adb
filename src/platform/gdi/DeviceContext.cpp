// Device contexts: window DCs on a top-level picture, memory DCs on bitmaps,
// selection, state, coordinates and clipping.
#include <algorithm>

#include "platform/gdi/GdiObjects.h"
#include "platform/window/WindowManager.h"

using namespace veltrix::platform;

namespace {

Gdi& gdi() { return Gdi::instance(); }

void select(DcState& s, HGDIOBJ& slot, HGDIOBJ object) {
    if (GdiObject* old = gdi().object(slot)) --old->selections;
    slot = object;
    if (GdiObject* o = gdi().object(object)) ++o->selections;
    (void)s;
}

std::unique_ptr<DeviceContext> newDc(DWORD type) {
    std::lock_guard lock(gdi().mutex);
    auto dc = std::make_unique<DeviceContext>();
    dc->type = type;
    select(dc->state, dc->state.pen, GetStockObject(BLACK_PEN));
    select(dc->state, dc->state.brush, GetStockObject(WHITE_BRUSH));
    select(dc->state, dc->state.font, GetStockObject(DEFAULT_GUI_FONT));
    return dc;
}

void releaseSelections(DeviceContext& dc) {
    auto drop = [](HGDIOBJ h) {
        if (GdiObject* o = gdi().object(h)) --o->selections;
    };
    drop(dc.state.pen);
    drop(dc.state.brush);
    drop(dc.state.font);
    for (DcState& s : dc.saved) {
        drop(s.pen);
        drop(s.brush);
        drop(s.font);
    }
    drop(dc.bitmap);
}

RECT surfaceRect(cairo_surface_t* s) {
    return {0, 0, cairo_image_surface_get_width(s), cairo_image_surface_get_height(s)};
}

}  // namespace

namespace veltrix::platform {

Region effectiveClip(const DeviceContext& dc) {
    Region r = dc.baseClip;
    if (dc.state.userClip) r.intersect(dc.state.clip);
    return r;
}

UniqueCairo beginDrawing(DeviceContext& dc) {
    if (!dc.target) return nullptr;
    Region clip = effectiveClip(dc);
    if (clip.empty()) return nullptr;
    UniqueCairo cr(cairo_create(dc.target.get()));
    clip.addToPath(cr.get());
    cairo_clip(cr.get());
    cairo_translate(cr.get(), dc.origin.x + dc.state.viewport.x, dc.origin.y + dc.state.viewport.y);
    cairo_set_antialias(cr.get(), CAIRO_ANTIALIAS_NONE);
    return cr;
}

void markPresent(DeviceContext& dc) {
    if (!dc.window) return;
    auto lock = WindowManager::lock();
    WindowState& m = *lock;
    Window* w = m.find(dc.window);
    if (!w) return;
    Window* top = m.topLevelOf(w);
    if (top->picture != dc.target) return;
    Region clip = effectiveClip(dc);
    top->presentPending.unite(clip);
    m.wakeQueue(*top->queue);
}

HDC createWindowDC(HWND window, bool client, const Region* clip) {
    auto dc = newDc(OBJ_DC);
    {
        auto lock = WindowManager::lock();
        WindowState& m = *lock;
        Window* w = m.find(window);
        if (!w) return nullptr;
        Window* top = m.topLevelOf(w);
        if (!top->picture) return nullptr;
        dc->window = window;
        dc->target = shareSurface(top->picture.get());
        POINT t = m.clientOrigin(*top);
        POINT o;
        if (client) {
            o = m.clientOrigin(*w);
        } else {
            RECT r = m.screenRect(*w);
            o = {r.left, r.top};
        }
        dc->origin = {o.x - t.x, o.y - t.y};
        dc->baseClip = clip ? *clip : m.visibleRegion(*w, client);
        if (!m.isVisible(*w)) dc->baseClip.clear();
    }
    std::lock_guard lock(gdi().mutex);
    return gdi().addDc(std::move(dc));
}

}  // namespace veltrix::platform

HDC GetDC(HWND window) {
    if (window) return createWindowDC(window, true, nullptr);
    // The screen: a tiny picture, enough for measuring text.
    auto dc = newDc(OBJ_DC);
    dc->target.reset(cairo_image_surface_create(CAIRO_FORMAT_RGB24, 1, 1));
    dc->baseClip = Region(RECT{0, 0, 1, 1});
    std::lock_guard lock(gdi().mutex);
    return gdi().addDc(std::move(dc));
}

HDC GetWindowDC(HWND window) { return window ? createWindowDC(window, false, nullptr) : GetDC(nullptr); }

int ReleaseDC(HWND, HDC handle) {
    std::unique_ptr<DeviceContext> dead;
    {
        std::lock_guard lock(gdi().mutex);
        DeviceContext* dc = gdi().dc(handle);
        if (!dc || dc->type != OBJ_DC) return 0;
        releaseSelections(*dc);
        dead = gdi().dcs.remove(reinterpret_cast<std::uintptr_t>(handle));
    }
    markPresent(*dead);
    return 1;
}

HDC CreateCompatibleDC(HDC) {
    auto dc = newDc(OBJ_MEMDC);
    std::lock_guard lock(gdi().mutex);
    select(dc->state, dc->bitmap, gdi().defaultBitmap);
    auto* bitmap = std::get<std::unique_ptr<Bitmap>>(gdi().object(dc->bitmap)->value).get();
    dc->target = shareSurface(bitmap->surface.get());
    dc->baseClip = Region(surfaceRect(bitmap->surface.get()));
    return gdi().addDc(std::move(dc));
}

BOOL DeleteDC(HDC handle) {
    std::unique_ptr<DeviceContext> dead;
    std::lock_guard lock(gdi().mutex);
    DeviceContext* dc = gdi().dc(handle);
    if (!dc) return FALSE;
    releaseSelections(*dc);
    dead = gdi().dcs.remove(reinterpret_cast<std::uintptr_t>(handle));
    return TRUE;
}

HGDIOBJ SelectObject(HDC handle, HGDIOBJ object) {
    std::lock_guard lock(gdi().mutex);
    DeviceContext* dc = gdi().dc(handle);
    GdiObject* o = gdi().object(object);
    if (!dc || !o) return nullptr;
    HGDIOBJ old = nullptr;
    switch (o->type) {
        case OBJ_PEN:
            old = dc->state.pen;
            select(dc->state, dc->state.pen, object);
            break;
        case OBJ_BRUSH:
            old = dc->state.brush;
            select(dc->state, dc->state.brush, object);
            break;
        case OBJ_FONT:
            old = dc->state.font;
            select(dc->state, dc->state.font, object);
            break;
        case OBJ_BITMAP: {
            if (dc->type != OBJ_MEMDC) return nullptr;
            // A bitmap is selected into one memory DC at a time, as on Windows.
            if (o->selections > 0 && dc->bitmap != object) return nullptr;
            old = dc->bitmap;
            select(dc->state, dc->bitmap, object);
            cairo_surface_t* s = std::get<std::unique_ptr<Bitmap>>(o->value)->surface.get();
            dc->target = shareSurface(s);
            dc->baseClip = Region(surfaceRect(s));
            dc->state.userClip = false;
            break;
        }
        default:
            return nullptr;
    }
    return old;
}

HGDIOBJ GetCurrentObject(HDC handle, UINT type) {
    std::lock_guard lock(gdi().mutex);
    DeviceContext* dc = gdi().dc(handle);
    if (!dc) return nullptr;
    switch (type) {
        case OBJ_PEN:
            return dc->state.pen;
        case OBJ_BRUSH:
            return dc->state.brush;
        case OBJ_FONT:
            return dc->state.font;
        case OBJ_BITMAP:
            return dc->bitmap;
        default:
            return nullptr;
    }
}

int SaveDC(HDC handle) {
    std::lock_guard lock(gdi().mutex);
    DeviceContext* dc = gdi().dc(handle);
    if (!dc) return 0;
    dc->saved.push_back(dc->state);
    for (HGDIOBJ h : {dc->state.pen, dc->state.brush, dc->state.font})
        if (GdiObject* o = gdi().object(h)) ++o->selections;
    return static_cast<int>(dc->saved.size());
}

BOOL RestoreDC(HDC handle, int saved) {
    std::lock_guard lock(gdi().mutex);
    DeviceContext* dc = gdi().dc(handle);
    if (!dc) return FALSE;
    int count = static_cast<int>(dc->saved.size());
    int level = saved < 0 ? count + saved + 1 : saved;
    if (level < 1 || level > count) return FALSE;
    while (static_cast<int>(dc->saved.size()) >= level) {
        for (HGDIOBJ h : {dc->state.pen, dc->state.brush, dc->state.font})
            if (GdiObject* o = gdi().object(h)) --o->selections;
        dc->state = dc->saved.back();
        dc->saved.pop_back();
    }
    return TRUE;
}

#define VELTRIX_DC_ACCESSOR(type, name, field) \
    type Set##name(HDC handle, type value) {   \
        std::lock_guard lock(gdi().mutex);     \
        DeviceContext* dc = gdi().dc(handle);  \
        if (!dc) return 0;                     \
        type old = dc->state.field;            \
        dc->state.field = value;               \
        return old;                            \
    }                                          \
    type Get##name(HDC handle) {               \
        std::lock_guard lock(gdi().mutex);     \
        DeviceContext* dc = gdi().dc(handle);  \
        return dc ? dc->state.field : 0;       \
    }
VELTRIX_DC_ACCESSOR(COLORREF, TextColor, textColour)
VELTRIX_DC_ACCESSOR(COLORREF, BkColor, backgroundColour)
VELTRIX_DC_ACCESSOR(int, BkMode, backgroundMode)
VELTRIX_DC_ACCESSOR(UINT, TextAlign, textAlign)
#undef VELTRIX_DC_ACCESSOR

COLORREF SetDCBrushColor(HDC handle, COLORREF colour) {
    std::lock_guard lock(gdi().mutex);
    DeviceContext* dc = gdi().dc(handle);
    if (!dc) return CLR_INVALID;
    COLORREF old = dc->state.dcBrush;
    dc->state.dcBrush = colour;
    return old;
}

COLORREF SetDCPenColor(HDC handle, COLORREF colour) {
    std::lock_guard lock(gdi().mutex);
    DeviceContext* dc = gdi().dc(handle);
    if (!dc) return CLR_INVALID;
    COLORREF old = dc->state.dcPen;
    dc->state.dcPen = colour;
    return old;
}

BOOL SetViewportOrgEx(HDC handle, int x, int y, LPPOINT previous) {
    std::lock_guard lock(gdi().mutex);
    DeviceContext* dc = gdi().dc(handle);
    if (!dc) return FALSE;
    if (previous) *previous = dc->state.viewport;
    dc->state.viewport = {x, y};
    return TRUE;
}

BOOL GetViewportOrgEx(HDC handle, LPPOINT origin) {
    std::lock_guard lock(gdi().mutex);
    DeviceContext* dc = gdi().dc(handle);
    if (!dc || !origin) return FALSE;
    *origin = dc->state.viewport;
    return TRUE;
}

namespace {

int clipComplexity(const Region& r) { return r.empty() ? NULLREGION : r.count() == 1 ? SIMPLEREGION : COMPLEXREGION; }

RECT toDevice(const DeviceContext& dc, int left, int top, int right, int bottom) {
    int dx = dc.origin.x + dc.state.viewport.x, dy = dc.origin.y + dc.state.viewport.y;
    return {left + dx, top + dy, right + dx, bottom + dy};
}

}  // namespace

int IntersectClipRect(HDC handle, int left, int top, int right, int bottom) {
    std::lock_guard lock(gdi().mutex);
    DeviceContext* dc = gdi().dc(handle);
    if (!dc) return ERROR;
    RECT r = toDevice(*dc, left, top, right, bottom);
    if (!dc->state.userClip) {
        dc->state.clip = Region(r);
        dc->state.userClip = true;
    } else {
        dc->state.clip.intersect(r);
    }
    return clipComplexity(effectiveClip(*dc));
}

int ExcludeClipRect(HDC handle, int left, int top, int right, int bottom) {
    std::lock_guard lock(gdi().mutex);
    DeviceContext* dc = gdi().dc(handle);
    if (!dc) return ERROR;
    if (!dc->state.userClip) {
        dc->state.clip = dc->baseClip;
        dc->state.userClip = true;
    }
    dc->state.clip.subtract(toDevice(*dc, left, top, right, bottom));
    return clipComplexity(effectiveClip(*dc));
}

int GetClipBox(HDC handle, LPRECT rect) {
    std::lock_guard lock(gdi().mutex);
    DeviceContext* dc = gdi().dc(handle);
    if (!dc || !rect) return ERROR;
    Region clip = effectiveClip(*dc);
    RECT b = clip.empty() ? RECT{0, 0, 0, 0} : clip.bounds();
    OffsetRect(&b, -(dc->origin.x + dc->state.viewport.x), -(dc->origin.y + dc->state.viewport.y));
    *rect = b;
    return clipComplexity(clip);
}

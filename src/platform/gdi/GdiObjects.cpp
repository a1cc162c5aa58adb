#include "platform/gdi/GdiObjects.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "platform/window/WindowManager.h"

using namespace veltrix::platform;

namespace veltrix::platform {

namespace {
[[noreturn]] void lockOrderBroken() {
    std::fputs("veltrix: the GDI lock was taken while the window lock was held\n", stderr);
    std::abort();
}
}  // namespace

void GdiMutex::lock() {
    if (WindowManager::heldByThisThread()) lockOrderBroken();
    mutex_.lock();
}

bool GdiMutex::try_lock() {
    if (WindowManager::heldByThisThread()) lockOrderBroken();
    return mutex_.try_lock();
}

Gdi& Gdi::instance() {
    static Gdi* gdi = new Gdi;  // lives until exit; worker threads may still draw
    return *gdi;
}

HGDIOBJ Gdi::add(GdiObject object) {
    return reinterpret_cast<HGDIOBJ>(objects.add(std::make_unique<GdiObject>(std::move(object))));
}

HDC Gdi::addDc(std::unique_ptr<DeviceContext> dc) { return reinterpret_cast<HDC>(dcs.add(std::move(dc))); }

Gdi::Gdi() {
    auto brush = [&](bool hollow, COLORREF c) { return add(GdiObject{OBJ_BRUSH, true, 0, Brush{hollow, c}}); };
    auto pen = [&](int style, COLORREF c) { return add(GdiObject{OBJ_PEN, true, 0, Pen{style, 1, c}}); };
    stock[WHITE_BRUSH] = brush(false, 0xFFFFFF);
    stock[LTGRAY_BRUSH] = brush(false, 0xC0C0C0);
    stock[GRAY_BRUSH] = brush(false, 0x808080);
    stock[DKGRAY_BRUSH] = brush(false, 0x404040);
    stock[BLACK_BRUSH] = brush(false, 0);
    stock[NULL_BRUSH] = brush(true, 0);
    stock[WHITE_PEN] = pen(PS_SOLID, 0xFFFFFF);
    stock[BLACK_PEN] = pen(PS_SOLID, 0);
    stock[NULL_PEN] = pen(PS_NULL, 0);
    stock[DC_BRUSH] = brush(false, 0xFFFFFF);
    stock[DC_PEN] = pen(PS_SOLID, 0);
    for (int i = 0; i < 31; ++i) sysBrushes[i] = static_cast<HBRUSH>(brush(false, GetSysColor(i)));
    auto bitmap = std::make_unique<Bitmap>();
    bitmap->surface.reset(cairo_image_surface_create(CAIRO_FORMAT_RGB24, 1, 1));
    defaultBitmap = add(GdiObject{OBJ_BITMAP, true, 0, std::move(bitmap)});
}

Font* fontOf(const GdiObject* object) {
    if (!object || object->type != OBJ_FONT) return nullptr;
    return std::get<std::unique_ptr<Font>>(object->value).get();
}

void setColour(cairo_t* cr, COLORREF c) {
    cairo_set_source_rgb(cr, GetRValue(c) / 255.0, GetGValue(c) / 255.0, GetBValue(c) / 255.0);
}

}  // namespace veltrix::platform

namespace {
Gdi& gdi() { return Gdi::instance(); }

// The classic Windows palette.
constexpr COLORREF kSysColours[31] = {
    0xC8D0D4, 0x984E3A, 0x6A240A, 0x808080, 0xC8D0D4, 0xFFFFFF, 0x000000, 0x000000, 0x000000, 0xFFFFFF, 0xC8D0D4,
    0xC8D0D4, 0x808080, 0x6A240A, 0xFFFFFF, 0xC8D0D4, 0x808080, 0x808080, 0x000000, 0xC8D0D4, 0xFFFFFF, 0x404040,
    0xC8D0D4, 0x000000, 0xE1FFFF, 0xB5B5B5, 0x800000, 0xF0CAA6, 0xC0C0C0, 0x6A240A, 0xC8D0D4,
};
}  // namespace

COLORREF GetSysColor(int index) { return index >= 0 && index < 31 ? kSysColours[index] : 0; }

HBRUSH GetSysColorBrush(int index) {
    if (index < 0 || index >= 31) return nullptr;
    std::lock_guard lock(gdi().mutex);
    return gdi().sysBrushes[index];
}

HGDIOBJ GetStockObject(int index) {
    if (index == SYSTEM_FONT || index == DEFAULT_GUI_FONT) {
        // Made on first use: fonts need the font map.
        std::lock_guard lock(gdi().mutex);
        if (!gdi().stock[index]) {
            LOGFONTW lf{};
            lf.lfHeight = index == SYSTEM_FONT ? -16 : -12;
            lf.lfWeight = index == SYSTEM_FONT ? FW_BOLD : FW_NORMAL;
            std::u16string face = u"MS UI Gothic";
            std::copy(face.begin(), face.end(), lf.lfFaceName);
            HFONT f = CreateFontIndirectW(&lf);
            gdi().object(f)->stock = true;
            gdi().stock[index] = f;
        }
        return gdi().stock[index];
    }
    if (index < 0 || index >= 20) return nullptr;
    std::lock_guard lock(gdi().mutex);
    return gdi().stock[index];
}

HPEN CreatePen(int style, int width, COLORREF colour) {
    std::lock_guard lock(gdi().mutex);
    return static_cast<HPEN>(gdi().add(GdiObject{OBJ_PEN, false, 0, Pen{style, std::max(1, width), colour}}));
}

HBRUSH CreateSolidBrush(COLORREF colour) {
    std::lock_guard lock(gdi().mutex);
    return static_cast<HBRUSH>(gdi().add(GdiObject{OBJ_BRUSH, false, 0, Brush{false, colour & 0xFFFFFF}}));
}

BOOL DeleteObject(HGDIOBJ object) {
    std::unique_ptr<GdiObject> dead;
    {
        std::lock_guard lock(gdi().mutex);
        GdiObject* o = gdi().object(object);
        if (!o) return FALSE;
        if (o->stock) return TRUE;
        if (o->selections > 0) return FALSE;
        dead = gdi().objects.remove(reinterpret_cast<std::uintptr_t>(object));
    }
    return TRUE;
}

DWORD GetObjectType(HGDIOBJ object) {
    std::lock_guard lock(gdi().mutex);
    if (GdiObject* o = gdi().object(object)) return o->type;
    if (DeviceContext* d = gdi().dc(static_cast<HDC>(object))) return d->type;
    return 0;
}

int GetObjectW(HGDIOBJ object, int size, LPVOID buffer) {
    std::lock_guard lock(gdi().mutex);
    GdiObject* o = gdi().object(object);
    if (!o) return 0;
    switch (o->type) {
        case OBJ_PEN: {
            const Pen& p = std::get<Pen>(o->value);
            LOGPEN lp{static_cast<UINT>(p.style), {p.width, 0}, p.colour};
            if (!buffer) return sizeof lp;
            if (size < static_cast<int>(sizeof lp)) return 0;
            std::memcpy(buffer, &lp, sizeof lp);
            return sizeof lp;
        }
        case OBJ_BRUSH: {
            const Brush& b = std::get<Brush>(o->value);
            LOGBRUSH lb{b.hollow ? BS_NULL : BS_SOLID, b.colour, 0};
            if (!buffer) return sizeof lb;
            if (size < static_cast<int>(sizeof lb)) return 0;
            std::memcpy(buffer, &lb, sizeof lb);
            return sizeof lb;
        }
        case OBJ_FONT: {
            const LOGFONTW& lf = fontOf(o)->logFont;
            if (!buffer) return sizeof lf;
            int n = std::min<int>(size, sizeof lf);
            std::memcpy(buffer, &lf, static_cast<std::size_t>(n));
            return n;
        }
        case OBJ_BITMAP: {
            cairo_surface_t* s = std::get<std::unique_ptr<Bitmap>>(o->value)->surface.get();
            int w = cairo_image_surface_get_width(s), h = cairo_image_surface_get_height(s);
            DIBSECTION ds{};
            ds.dsBm = BITMAP{0, w, h, cairo_image_surface_get_stride(s), 1, 32, cairo_image_surface_get_data(s)};
            ds.dsBmih = BITMAPINFOHEADER{sizeof(BITMAPINFOHEADER),
                                         w,
                                         -h,
                                         1,
                                         32,
                                         BI_RGB,
                                         static_cast<DWORD>(cairo_image_surface_get_stride(s) * h),
                                         0,
                                         0,
                                         0,
                                         0};
            if (!buffer) return sizeof(BITMAP);
            int n =
                size >= static_cast<int>(sizeof ds) ? static_cast<int>(sizeof ds) : static_cast<int>(sizeof(BITMAP));
            if (size < static_cast<int>(sizeof(BITMAP))) return 0;
            std::memcpy(buffer, &ds, static_cast<std::size_t>(n));
            return n;
        }
        default:
            return 0;
    }
}

HBITMAP CreateDIBSection(HDC, const BITMAPINFO* info, UINT, void** bits, HANDLE, DWORD) {
    if (bits) *bits = nullptr;
    if (!info || info->bmiHeader.biBitCount != 32 || info->bmiHeader.biCompression != BI_RGB) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    LONG width = info->bmiHeader.biWidth;
    LONG height = info->bmiHeader.biHeight < 0 ? -info->bmiHeader.biHeight : info->bmiHeader.biHeight;
    if (width <= 0 || height <= 0 || width > 16384 || height > 16384) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    auto bitmap = std::make_unique<Bitmap>();
    bitmap->surface.reset(cairo_image_surface_create(CAIRO_FORMAT_RGB24, width, height));
    if (cairo_surface_status(bitmap->surface.get()) != CAIRO_STATUS_SUCCESS) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return nullptr;
    }
    cairo_surface_flush(bitmap->surface.get());
    unsigned char* data = cairo_image_surface_get_data(bitmap->surface.get());
    // New sections are zero-filled, as on Windows.
    std::memset(data, 0, static_cast<std::size_t>(cairo_image_surface_get_stride(bitmap->surface.get())) * height);
    cairo_surface_mark_dirty(bitmap->surface.get());
    if (bits) *bits = data;
    std::lock_guard lock(gdi().mutex);
    return static_cast<HBITMAP>(gdi().add(GdiObject{OBJ_BITMAP, false, 0, std::move(bitmap)}));
}

HBITMAP CreateCompatibleBitmap(HDC dc, int width, int height) {
    BITMAPINFO info{};
    info.bmiHeader = BITMAPINFOHEADER{
        sizeof(BITMAPINFOHEADER), std::max(1, width), -std::max(1, height), 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    return CreateDIBSection(dc, &info, DIB_RGB_COLORS, nullptr, nullptr, 0);
}

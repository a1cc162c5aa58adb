// Image lists: cells kept as premultiplied ARGB rows (Cairo's ARGB32), so that
// drawing a cell is one masked paint through the device context's Cairo
// context, clipped like every other GDI call.
#include <algorithm>
#include <cstdint>
#include <cstring>
#include <memory>
#include <mutex>
#include <vector>

#include "platform/api/ImageList.h"
#include "platform/controls/ImageLists.h"
#include "platform/gdi/GdiObjects.h"
#include "platform/window/HandleTable.h"

namespace veltrix::platform {

namespace {

constexpr int kMaxSide = 4096;

struct ImageListData {
    int cx = 0;
    int cy = 0;
    UINT flags = 0;
    COLORREF background = CLR_NONE;
    // One cx x cy block of premultiplied ARGB pixels per cell.
    std::vector<std::vector<std::uint32_t>> cells;
};

struct Lists {
    std::mutex mutex;
    HandleTable<ImageListData> table{HandleKind::ImageList};
};

Lists& lists() {
    static auto* l = new Lists;
    return *l;
}

ImageListData* find(HIMAGELIST list) { return lists().table.find(reinterpret_cast<std::uintptr_t>(list)); }

struct Pixels {
    const BYTE* bits = nullptr;
    int width = 0;
    int height = 0;
    int stride = 0;
    BYTE at(int x, int y, int channel) const { return bits[y * stride + x * 4 + channel]; }
};

bool pixelsOf(HBITMAP bitmap, Pixels& out) {
    DIBSECTION ds{};
    if (!bitmap || GetObjectW(bitmap, sizeof ds, &ds) < static_cast<int>(sizeof(BITMAP)) || !ds.dsBm.bmBits)
        return false;
    out = Pixels{static_cast<const BYTE*>(ds.dsBm.bmBits), ds.dsBm.bmWidth, ds.dsBm.bmHeight, ds.dsBm.bmWidthBytes};
    return out.width > 0 && out.height > 0;
}

enum class MaskKind { None, Colour, Bitmap };

int addCells(HIMAGELIST handle, HBITMAP image, MaskKind kind, COLORREF transparent, HBITMAP maskBitmap) {
    Pixels src, mask;
    if (!pixelsOf(image, src)) return -1;
    const bool haveMask = kind == MaskKind::Bitmap && pixelsOf(maskBitmap, mask);
    std::lock_guard lock(lists().mutex);
    ImageListData* list = find(handle);
    if (!list || src.width < list->cx) return -1;
    // The fourth byte is alpha only for 32-bit lists and only when some pixel uses it.
    bool alpha = false;
    if ((list->flags & 0xFE) == ILC_COLOR32 && kind == MaskKind::None)
        for (int y = 0; y < src.height && !alpha; ++y)
            for (int x = 0; x < src.width && !alpha; ++x) alpha = src.at(x, y, 3) != 0;
    const int first = static_cast<int>(list->cells.size());
    const int count = src.width / list->cx;
    for (int c = 0; c < count; ++c) {
        std::vector<std::uint32_t> cell(static_cast<std::size_t>(list->cx) * static_cast<std::size_t>(list->cy), 0);
        for (int y = 0; y < std::min(list->cy, src.height); ++y) {
            for (int x = 0; x < list->cx; ++x) {
                const int sx = c * list->cx + x;
                const BYTE b = src.at(sx, y, 0), g = src.at(sx, y, 1), r = src.at(sx, y, 2);
                unsigned a = 255;
                if (kind == MaskKind::Colour && RGB(r, g, b) == (transparent & 0xFFFFFF)) a = 0;
                if (haveMask && sx < mask.width && y < mask.height &&
                    (mask.at(sx, y, 0) | mask.at(sx, y, 1) | mask.at(sx, y, 2)))
                    a = 0;
                if (alpha) a = src.at(sx, y, 3);
                const auto pre = [a](BYTE v) { return static_cast<std::uint32_t>(v * a / 255); };
                cell[static_cast<std::size_t>(y * list->cx + x)] =
                    (static_cast<std::uint32_t>(a) << 24) | (pre(r) << 16) | (pre(g) << 8) | pre(b);
            }
        }
        list->cells.push_back(std::move(cell));
    }
    return count > 0 ? first : -1;
}

// A grey version of a premultiplied pixel, lightened: how a disabled glyph
// looks (readable, but plainly out of use).
std::uint32_t greyed(std::uint32_t p) {
    const unsigned a = p >> 24;
    if (a == 0) return 0;
    const unsigned r = (p >> 16) & 0xFF, g = (p >> 8) & 0xFF, b = p & 0xFF;
    const unsigned lum = (r * 30 + g * 59 + b * 11) / 100;  // premultiplied
    // Towards a light grey: 45% of the luminance plus 55% of 0xB8, at 60% opacity.
    const unsigned target = (lum * 45 + 0xB8 * a * 55 / 255) / 100;
    const unsigned na = a * 60 / 100;
    const unsigned v = target * 60 / 100;
    return (na << 24) | (v << 16) | (v << 8) | v;
}

std::uint32_t blended(std::uint32_t p, COLORREF tint, unsigned percent) {
    const unsigned a = p >> 24;
    if (a == 0) return 0;
    const unsigned tr = GetRValue(tint) * a / 255, tg = GetGValue(tint) * a / 255, tb = GetBValue(tint) * a / 255;
    const auto mix = [percent](unsigned v, unsigned t) { return (v * (100 - percent) + t * percent) / 100; };
    return (a << 24) | (mix((p >> 16) & 0xFF, tr) << 16) | (mix((p >> 8) & 0xFF, tg) << 8) | mix(p & 0xFF, tb);
}

BOOL drawCell(HIMAGELIST handle, int index, HDC dcHandle, int x, int y, int dx, int dy, COLORREF background, UINT style,
              controls::Look look) {
    std::vector<std::uint32_t> cell;
    int cx = 0, cy = 0;
    COLORREF listBackground = CLR_NONE;
    {
        std::lock_guard lock(lists().mutex);
        ImageListData* list = find(handle);
        if (!list || index < 0 || index >= static_cast<int>(list->cells.size())) return FALSE;
        cell = list->cells[static_cast<std::size_t>(index)];
        cx = list->cx;
        cy = list->cy;
        listBackground = list->background;
    }
    if (background == CLR_DEFAULT) background = listBackground;
    if (style & ILD_TRANSPARENT) background = CLR_NONE;
    for (std::uint32_t& p : cell) {
        if (style & ILD_MASK) {
            p = (p >> 24) ? 0xFF000000u : 0xFFFFFFFFu;
            continue;
        }
        if (look == controls::Look::Greyed) p = greyed(p);
        if (style & ILD_BLEND50)
            p = blended(p, GetSysColor(COLOR_HIGHLIGHT), 50);
        else if (style & ILD_BLEND25)
            p = blended(p, GetSysColor(COLOR_HIGHLIGHT), 25);
    }
    const int width = dx > 0 ? std::min(dx, cx) : cx;
    const int height = dy > 0 ? std::min(dy, cy) : cy;
    Gdi& g = Gdi::instance();
    std::lock_guard lock(g.mutex);
    DeviceContext* dc = g.dc(dcHandle);
    if (!dc) return FALSE;
    UniqueCairo drawing = beginDrawing(*dc);
    cairo_t* cr = drawing.get();
    if (!cr) return TRUE;  // nothing visible to draw into
    cairo_rectangle(cr, x, y, width, height);
    cairo_clip(cr);
    if (background != CLR_NONE && !(style & ILD_MASK)) {
        setColour(cr, background);
        cairo_paint(cr);
    }
    UniqueCairoSurface surface(cairo_image_surface_create_for_data(reinterpret_cast<unsigned char*>(cell.data()),
                                                                   CAIRO_FORMAT_ARGB32, cx, cy, cx * 4));
    cairo_set_source_surface(cr, surface.get(), x, y);
    cairo_paint(cr);
    markPresent(*dc);
    return TRUE;
}

}  // namespace

namespace controls {

BOOL drawImage(HIMAGELIST list, int index, HDC dc, int x, int y, Look look) {
    return drawCell(list, index, dc, x, y, 0, 0, CLR_NONE, ILD_TRANSPARENT, look);
}

}  // namespace controls

}  // namespace veltrix::platform

using namespace veltrix::platform;

HIMAGELIST ImageList_Create(int cx, int cy, UINT flags, int initial, int) {
    if (cx <= 0 || cy <= 0 || cx > kMaxSide || cy > kMaxSide) return nullptr;
    auto data = std::make_unique<ImageListData>();
    data->cx = cx;
    data->cy = cy;
    data->flags = flags;
    data->cells.reserve(static_cast<std::size_t>(std::clamp(initial, 0, 256)));
    std::lock_guard lock(lists().mutex);
    return reinterpret_cast<HIMAGELIST>(lists().table.add(std::move(data)));
}

BOOL ImageList_Destroy(HIMAGELIST list) {
    std::lock_guard lock(lists().mutex);
    if (!find(list)) return FALSE;
    lists().table.remove(reinterpret_cast<std::uintptr_t>(list));
    return TRUE;
}

int ImageList_Add(HIMAGELIST list, HBITMAP image, HBITMAP mask) {
    return addCells(list, image, mask ? MaskKind::Bitmap : MaskKind::None, 0, mask);
}

int ImageList_AddMasked(HIMAGELIST list, HBITMAP image, COLORREF transparent) {
    return addCells(list, image, MaskKind::Colour, transparent, nullptr);
}

BOOL ImageList_Remove(HIMAGELIST handle, int index) {
    std::lock_guard lock(lists().mutex);
    ImageListData* list = find(handle);
    if (!list) return FALSE;
    if (index == -1) {
        list->cells.clear();
        return TRUE;
    }
    if (index < 0 || index >= static_cast<int>(list->cells.size())) return FALSE;
    list->cells.erase(list->cells.begin() + index);
    return TRUE;
}

int ImageList_GetImageCount(HIMAGELIST handle) {
    std::lock_guard lock(lists().mutex);
    ImageListData* list = find(handle);
    return list ? static_cast<int>(list->cells.size()) : 0;
}

BOOL ImageList_GetIconSize(HIMAGELIST handle, int* cx, int* cy) {
    std::lock_guard lock(lists().mutex);
    ImageListData* list = find(handle);
    if (!list || !cx || !cy) return FALSE;
    *cx = list->cx;
    *cy = list->cy;
    return TRUE;
}

COLORREF ImageList_SetBkColor(HIMAGELIST handle, COLORREF colour) {
    std::lock_guard lock(lists().mutex);
    ImageListData* list = find(handle);
    if (!list) return CLR_NONE;
    COLORREF previous = list->background;
    list->background = colour;
    return previous;
}

COLORREF ImageList_GetBkColor(HIMAGELIST handle) {
    std::lock_guard lock(lists().mutex);
    ImageListData* list = find(handle);
    return list ? list->background : CLR_NONE;
}

BOOL ImageList_Draw(HIMAGELIST list, int index, HDC dc, int x, int y, UINT style) {
    return drawCell(list, index, dc, x, y, 0, 0, CLR_DEFAULT, style, controls::Look::Normal);
}

BOOL ImageList_DrawEx(HIMAGELIST list, int index, HDC dc, int x, int y, int dx, int dy, COLORREF background, COLORREF,
                      UINT style) {
    return drawCell(list, index, dc, x, y, dx, dy, background, style, controls::Look::Normal);
}

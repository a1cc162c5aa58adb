// GDI objects (pens, brushes, fonts, bitmaps) and device contexts, kept in
// generation-checked tables guarded by one mutex.
#pragma once

// Before Pango: GLib defines TRUE and FALSE as macros when they are not yet known.
#include "platform/win32.h"

#include "platform/gdi/CairoHandles.h"
#include "platform/gdi/PangoHandles.h"

#include <memory>
#include <mutex>
#include <variant>
#include <vector>

#include "platform/gdi/Region.h"
#include "platform/win32.h"
#include "platform/window/HandleTable.h"

namespace veltrix::platform {

struct Pen {
    int style = PS_SOLID;
    int width = 1;
    COLORREF colour = 0;
};

struct Brush {
    bool hollow = false;
    COLORREF colour = 0;
};

struct Font {
    LOGFONTW logFont{};
    UniquePangoFontDescription description;
    // Metrics in pixels, measured once.
    int ascent = 0;
    int descent = 0;
    int averageWidth = 0;
    int maxWidth = 0;
    std::uint64_t serial = 0;  // distinguishes fonts in the layout cache
};

// A DIB section or compatible bitmap: an RGB24 Cairo image surface whose
// memory is top-down BGRx rows (the stride is width × 4).
struct Bitmap {
    UniqueCairoSurface surface;
};

struct GdiObject {
    DWORD type = 0;  // OBJ_PEN, OBJ_BRUSH, OBJ_FONT, OBJ_BITMAP
    bool stock = false;
    int selections = 0;  // DCs that hold it selected
    std::variant<Pen, Brush, std::unique_ptr<Font>, std::unique_ptr<Bitmap>> value;
};

struct DcState {
    POINT viewport{0, 0};
    HGDIOBJ pen = nullptr;
    HGDIOBJ brush = nullptr;
    HGDIOBJ font = nullptr;
    COLORREF textColour = 0;
    COLORREF backgroundColour = 0xFFFFFF;
    int backgroundMode = OPAQUE;
    UINT textAlign = TA_LEFT | TA_TOP;
    POINT position{0, 0};
    COLORREF dcBrush = 0xFFFFFF;
    COLORREF dcPen = 0;
    bool userClip = false;
    Region clip;  // device coordinates, valid when userClip
};

struct DeviceContext {
    DWORD type = OBJ_DC;  // OBJ_DC or OBJ_MEMDC
    HWND window = nullptr;
    HGDIOBJ bitmap = nullptr;   // memory DCs: the selected bitmap
    UniqueCairoSurface target;  // a reference of its own
    POINT origin{0, 0};         // device position of logical (0, 0) before the viewport
    Region baseClip;            // device coordinates: the visible part
    DcState state;
    std::vector<DcState> saved;
};

// The GDI lock: recursive, and taken before the window lock, never after it
// (the order is written in window/WindowManager.h, which owns the window lock).
class GdiMutex {
public:
    void lock();
    bool try_lock();
    void unlock() { mutex_.unlock(); }

private:
    std::recursive_mutex mutex_;
};

class Gdi {
public:
    static Gdi& instance();

    GdiMutex mutex;
    HandleTable<GdiObject> objects{HandleKind::GdiObject};
    HandleTable<DeviceContext> dcs{HandleKind::DeviceContext};
    HGDIOBJ stock[20]{};
    HGDIOBJ defaultBitmap = nullptr;
    HBRUSH sysBrushes[31]{};

    GdiObject* object(HGDIOBJ h) const { return objects.find(reinterpret_cast<std::uintptr_t>(h)); }
    DeviceContext* dc(HDC h) const { return dcs.find(reinterpret_cast<std::uintptr_t>(h)); }
    HGDIOBJ add(GdiObject object);
    HDC addDc(std::unique_ptr<DeviceContext> dc);

private:
    Gdi();
};

Font* fontOf(const GdiObject* object);
// The clip of a DC in device coordinates (the visible part and any user clip).
Region effectiveClip(const DeviceContext& dc);
// A Cairo context on the DC's target, clipped and translated to logical
// coordinates; null when the DC draws nowhere.
UniqueCairo beginDrawing(DeviceContext& dc);
void setColour(cairo_t* cr, COLORREF colour);
// Called when drawing through a window DC ends: the top-level presents it.
void markPresent(DeviceContext& dc);
PangoContext* pangoContext();

}  // namespace veltrix::platform

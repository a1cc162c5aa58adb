// The picture that follows the pointer while something is dragged: a copy of
// one image-list cell shown in a small pop-up window that never takes the
// mouse (the drag's owner holds the capture).
#include <memory>

#include "platform/api/GdiHandles.h"
#include "platform/api/ImageList.h"
#include "platform/controls/Controls.h"
#include "platform/controls/DibCanvas.h"
#include "platform/controls/ImageLists.h"

namespace veltrix::platform::controls {

namespace {

constexpr const char16_t* kDragClass = u"VeltrixDragImage";

struct ImageListOwner {
    void operator()(HIMAGELIST list) const { ImageList_Destroy(list); }
};
using UniqueImageList = std::unique_ptr<std::remove_pointer_t<HIMAGELIST>, ImageListOwner>;

struct DragState {
    UniqueImageList picture;
    SIZE size{};
    POINT hotspot{};
    POINT at{};
    HWND lock = nullptr;
    HWND popup = nullptr;
};

DragState& drag() {
    thread_local DragState state;
    return state;
}

LRESULT dragImageProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_NCHITTEST:
            return HTTRANSPARENT;
        case WM_ERASEBKGND:
            return 1;
        case WM_PAINT: {
            const PaintDC painting(window);
            if (drag().picture) ImageList_Draw(drag().picture.get(), 0, painting.get(), 0, 0, ILD_NORMAL);
            return 0;
        }
        default:
            return DefWindowProcW(window, message, wParam, lParam);
    }
}

void place(DragState& d) {
    if (!d.popup) return;
    RECT origin{};
    if (d.lock) GetWindowRect(d.lock, &origin);
    SetWindowPos(d.popup, HWND_TOPMOST, origin.left + d.at.x - d.hotspot.x, origin.top + d.at.y - d.hotspot.y,
                 d.size.cx, d.size.cy, SWP_NOACTIVATE | SWP_SHOWWINDOW);
}

void hide(DragState& d) {
    if (d.popup && IsWindow(d.popup)) DestroyWindow(d.popup);
    d.popup = nullptr;
}

}  // namespace

}  // namespace veltrix::platform::controls

using namespace veltrix::platform::controls;

BOOL ImageList_BeginDrag(HIMAGELIST list, int index, int dxHotspot, int dyHotspot) {
    DragState& d = drag();
    ImageList_EndDrag();
    int cx = 0, cy = 0;
    if (!ImageList_GetIconSize(list, &cx, &cy) || index < 0 || index >= ImageList_GetImageCount(list)) return FALSE;
    DibCanvas canvas(cx, cy);
    if (!canvas || !drawImage(list, index, canvas.dc(), 0, 0, Look::Normal)) return FALSE;
    UniqueImageList copy(ImageList_Create(cx, cy, ILC_COLOR32, 1, 0));
    if (!copy || ImageList_Add(copy.get(), canvas.bitmap(), nullptr) < 0) return FALSE;
    d.picture = std::move(copy);
    d.size = SIZE{cx, cy};
    d.hotspot = POINT{dxHotspot, dyHotspot};
    return TRUE;
}

BOOL ImageList_DragEnter(HWND lock, int x, int y) {
    DragState& d = drag();
    if (!d.picture) return FALSE;
    d.lock = lock;
    d.at = POINT{x, y};
    if (!d.popup) {
        registerLayerClass(LayerClass{kDragClass, dragImageProc});
        d.popup = CreateWindowExW(WS_EX_TOPMOST | WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE, kDragClass, u"", WS_POPUP, 0, 0,
                                  d.size.cx, d.size.cy, nullptr, nullptr, nullptr, nullptr);
    }
    place(d);
    return d.popup != nullptr;
}

BOOL ImageList_DragMove(int x, int y) {
    DragState& d = drag();
    if (!d.picture) return FALSE;
    d.at = POINT{x, y};
    place(d);
    return TRUE;
}

BOOL ImageList_DragLeave(HWND) {
    hide(drag());
    return TRUE;
}

void ImageList_EndDrag() {
    DragState& d = drag();
    hide(d);
    d.picture.reset();
    d.lock = nullptr;
}

HIMAGELIST ImageList_GetDragImage(POINT* at, POINT* hotspot) {
    DragState& d = drag();
    if (at) *at = d.at;
    if (hotspot) *hotspot = d.hotspot;
    return d.picture.get();
}

// Update regions, WM_PAINT, BeginPaint/EndPaint and presenting pictures.
#include <algorithm>

#include "platform/display/Display.h"
#include "platform/window/WindowManager.h"

using namespace veltrix::platform;

namespace {

Region clientRegion(const Window& w, const RECT* rect) {
    RECT all{0, 0, w.client.right - w.client.left, w.client.bottom - w.client.top};
    return Region(rect ? *rect : all);
}
}  // namespace

BOOL InvalidateRect(HWND window, const RECT* rect, BOOL erase) {
    auto lock = WindowManager::lock();
    WindowState& m = *lock;
    Window* w = m.find(window);
    if (!w) return FALSE;
    m.invalidate(*w, clientRegion(*w, rect), erase != FALSE, false);
    return TRUE;
}

BOOL ValidateRect(HWND window, const RECT* rect) {
    auto lock = WindowManager::lock();
    WindowState& m = *lock;
    Window* w = m.find(window);
    if (!w) return FALSE;
    if (rect) {
        w->update.subtract(*rect);
    } else {
        w->update.clear();
    }
    if (w->update.empty()) w->eraseOnPaint = false;
    return TRUE;
}

BOOL GetUpdateRect(HWND window, LPRECT rect, BOOL) {
    auto lock = WindowManager::lock();
    WindowState& m = *lock;
    Window* w = m.find(window);
    if (!w) return FALSE;
    RECT b = w->update.empty() ? RECT{0, 0, 0, 0} : w->update.bounds();
    if (rect) *rect = b;
    return !w->update.empty();
}

BOOL RedrawWindow(HWND window, const RECT* rect, HRGN, UINT flags) {
    {
        auto lock = WindowManager::lock();
        WindowState& m = *lock;
        Window* w = m.find(window);
        if (!w) return FALSE;
        if (flags & RDW_INVALIDATE)
            m.invalidate(*w, clientRegion(*w, rect), (flags & RDW_ERASE) != 0, (flags & RDW_ALLCHILDREN) != 0);
    }
    if (flags & RDW_VALIDATE) ValidateRect(window, rect);
    if (flags & (RDW_UPDATENOW | RDW_ERASENOW)) paintNow(window, (flags & RDW_ALLCHILDREN) != 0);
    return TRUE;
}

BOOL UpdateWindow(HWND window) {
    if (!IsWindow(window)) return FALSE;
    paintNow(window, true);
    return TRUE;
}

HDC BeginPaint(HWND window, LPPAINTSTRUCT paint) {
    Region update;
    Region clip;
    bool erase = false;
    bool frame = false;
    {
        auto lock = WindowManager::lock();
        WindowState& m = *lock;
        Window* w = m.find(window);
        if (!w || !paint) return nullptr;
        update = w->update;
        erase = w->eraseOnPaint;
        w->update.clear();
        w->eraseOnPaint = false;
        frame = w->parent && ((w->style & WS_BORDER) || (w->exStyle & WS_EX_CLIENTEDGE));
        clip = m.visibleRegion(*w, true);
        Window* top = m.topLevelOf(w);
        POINT o = m.clientOrigin(*w);
        POINT t = m.clientOrigin(*top);
        Region picture = update;
        picture.translate(o.x - t.x, o.y - t.y);
        clip.intersect(picture);
    }
    if (frame && erase) sendTo(window, WM_NCPAINT, 1, 0);
    HDC dc = createWindowDC(window, true, &clip);
    *paint = PAINTSTRUCT{};
    paint->hdc = dc;
    paint->rcPaint = update.empty() ? RECT{0, 0, 0, 0} : update.bounds();
    paint->fErase = TRUE;
    if (erase) paint->fErase = sendTo(window, WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0) ? FALSE : TRUE;
    return dc;
}

BOOL EndPaint(HWND window, const PAINTSTRUCT* paint) {
    if (!paint) return FALSE;
    ReleaseDC(window, paint->hdc);
    return TRUE;
}

namespace veltrix::platform {

void paintNow(HWND window, bool children) {
    std::vector<HWND> order{window};
    for (std::size_t i = 0; i < order.size(); ++i) {
        HWND h = order[i];
        bool invalid;
        {
            auto lock = WindowManager::lock();
            WindowState& m = *lock;
            Window* w = m.find(h);
            if (!w || !m.isVisible(*w)) continue;
            invalid = !w->update.empty();
        }
        if (invalid) sendTo(h, WM_PAINT, 0, 0);
        if (!children) continue;
        auto lock = WindowManager::lock();
        WindowState& m = *lock;
        if (Window* w = m.find(h)) order.insert(order.end(), w->children.begin(), w->children.end());
    }
}

namespace {

// More rectangles than this go to the display as their bounds: one larger
// copy costs less than many small ones.
constexpr int kMostPresentedRects = 16;

std::vector<RECT> presentedRects(const Region& dirty) {
    const int count = dirty.count();
    if (count > kMostPresentedRects) return {dirty.bounds()};
    std::vector<RECT> rects;
    rects.reserve(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i) rects.push_back(dirty.rect(i));
    return rects;
}

}  // namespace

void presentPictures() {
    struct Pending {
        HWND window;
        UniqueCairoSurface picture;
        std::vector<RECT> dirty;
    };
    std::vector<Pending> pending;
    {
        auto lock = WindowManager::lock();
        WindowState& m = *lock;
        for (HWND h : m.topLevels) {
            Window* w = m.find(h);
            if (!w || !w->picture || w->presentPending.empty()) continue;
            // Each thread presents its own windows, so no picture is read while it is drawn.
            if (w->queue->thread != std::this_thread::get_id()) continue;
            pending.push_back({h, shareSurface(w->picture.get()), presentedRects(w->presentPending)});
            w->presentPending.clear();
        }
    }
    for (auto& p : pending) {
        display().present(p.window, p.picture.get(), p.dirty);
    }
}

void presentAgain(HWND window) {
    auto lock = WindowManager::lock();
    WindowState& m = *lock;
    Window* w = m.find(window);
    if (!w || !w->picture) return;
    w->presentPending.unite(
        RECT{0, 0, cairo_image_surface_get_width(w->picture.get()), cairo_image_surface_get_height(w->picture.get())});
    m.wakeQueue(*w->queue);
}

}  // namespace veltrix::platform

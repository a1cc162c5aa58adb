// Position, size, z-order and visibility of windows, and rectangle helpers.
#include <algorithm>

#include "platform/display/Display.h"
#include "platform/window/WindowManager.h"

using namespace veltrix::platform;

namespace {

constexpr UINT SWP_NOCLIENTSIZE = 0x0800;
constexpr UINT SWP_NOCLIENTMOVE = 0x1000;

RECT clientScreenRect(const WindowState& m, const Window& w) {
    POINT o = m.clientOrigin(w);
    return {o.x, o.y, o.x + (w.client.right - w.client.left), o.y + (w.client.bottom - w.client.top)};
}

// Invalidates the area a window covered (or now covers) in its parent.
void exposeInParent(WindowState& m, Window& w, const RECT& rectInParent) {
    if (!w.parent) return;
    Window* p = m.find(w.parent);
    if (!p) return;
    RECT r = rectInParent;
    OffsetRect(&r, -p->client.left, -p->client.top);
    m.invalidate(*p, Region(r), true, true);
}

HWND nextActiveCandidate(WindowState& m, HWND leaving) {
    Window* w = m.find(leaving);
    if (w && w->owner) {
        Window* o = m.find(w->owner);
        if (o && (o->style & WS_VISIBLE) && !(o->style & WS_DISABLED)) return o->handle;
    }
    for (HWND h : m.topLevels) {
        Window* t = m.find(h);
        if (h != leaving && t && (t->style & WS_VISIBLE) && !t->destroying && !(t->style & WS_DISABLED) &&
            t->queue->thread == std::this_thread::get_id())
            return h;
    }
    return nullptr;
}

}  // namespace

BOOL SetWindowPos(HWND window, HWND insertAfter, int x, int y, int width, int height, UINT flags) {
    WINDOWPOS pos{};
    bool topLevel = false;
    {
        auto lock = WindowManager::lock();
        WindowState& m = *lock;
        Window* w = m.find(window);
        if (!w) {
            SetLastError(ERROR_INVALID_WINDOW_HANDLE);
            return FALSE;
        }
        topLevel = w->isTopLevel();
        if (flags & SWP_NOMOVE) {
            x = w->rect.left;
            y = w->rect.top;
        }
        if (flags & SWP_NOSIZE) {
            width = w->rect.right - w->rect.left;
            height = w->rect.bottom - w->rect.top;
        }
        if ((flags & SWP_SHOWWINDOW) && (w->style & WS_VISIBLE)) flags &= ~SWP_SHOWWINDOW;
        if ((flags & SWP_HIDEWINDOW) && !(w->style & WS_VISIBLE)) flags &= ~SWP_HIDEWINDOW;
        pos = WINDOWPOS{window, insertAfter, x, y, std::max(0, width), std::max(0, height), flags};
    }
    if (!(flags & SWP_NOSENDCHANGING)) sendTo(window, WM_WINDOWPOSCHANGING, 0, reinterpret_cast<LPARAM>(&pos));
    bool activate = topLevel && (flags & SWP_SHOWWINDOW) && !(flags & SWP_NOACTIVATE);
    bool deactivate = false;
    RECT screen{};
    bool moved = false, resized = false;
    {
        auto lock = WindowManager::lock();
        WindowState& m = *lock;
        Window* w = m.find(window);
        if (!w) return FALSE;
        RECT old = w->rect;
        RECT oldClient = w->client;
        bool wasVisible = m.isVisible(*w);
        RECT now{pos.x, pos.y, pos.x + pos.cx, pos.y + pos.cy};
        moved = now.left != old.left || now.top != old.top;
        resized = (now.right - now.left) != (old.right - old.left) || (now.bottom - now.top) != (old.bottom - old.top);
        w->rect = now;
        m.recomputeClient(*w);
        if (oldClient.right - oldClient.left == w->client.right - w->client.left &&
            oldClient.bottom - oldClient.top == w->client.bottom - w->client.top)
            pos.flags |= SWP_NOCLIENTSIZE;
        if (!moved && oldClient.left == w->client.left && oldClient.top == w->client.top) pos.flags |= SWP_NOCLIENTMOVE;
        if (pos.flags & SWP_SHOWWINDOW) w->style |= WS_VISIBLE;
        if (pos.flags & SWP_HIDEWINDOW) {
            w->style &= ~WS_VISIBLE;
            deactivate = topLevel && w->queue->active == window;
        }
        if (!(pos.flags & SWP_NOZORDER)) {
            auto& siblings = m.siblingsOf(*w);
            siblings.erase(std::remove(siblings.begin(), siblings.end(), window), siblings.end());
            if (pos.hwndInsertAfter == HWND_BOTTOM) {
                siblings.push_back(window);
            } else if (pos.hwndInsertAfter == HWND_TOP || pos.hwndInsertAfter == HWND_TOPMOST ||
                       pos.hwndInsertAfter == HWND_NOTOPMOST) {
                siblings.insert(siblings.begin(), window);
            } else {
                auto at = std::find(siblings.begin(), siblings.end(), pos.hwndInsertAfter);
                siblings.insert(at == siblings.end() ? siblings.begin() : at + 1, window);
            }
        }
        bool isVisibleNow = m.isVisible(*w);
        if (!(pos.flags & SWP_NOREDRAW)) {
            if (wasVisible && (moved || resized || !isVisibleNow || !(pos.flags & SWP_NOZORDER)))
                exposeInParent(m, *w, old);
            if (isVisibleNow && (moved || resized || !wasVisible || !(pos.flags & SWP_NOZORDER))) {
                exposeInParent(m, *w, w->rect);
                RECT all{0, 0, w->client.right - w->client.left, w->client.bottom - w->client.top};
                m.invalidate(*w, Region(all), true, true);
            }
        }
        if (topLevel) {
            m.ensurePicture(*w);
            screen = clientScreenRect(m, *w);
        }
    }
    if (topLevel) {
        if (moved || resized) display().moveWindow(window, screen);
        if (pos.flags & SWP_SHOWWINDOW) display().showWindow(window, true);
        if (pos.flags & SWP_HIDEWINDOW) display().showWindow(window, false);
    }
    if (activate) SetActiveWindow(window);
    sendTo(window, WM_WINDOWPOSCHANGED, 0, reinterpret_cast<LPARAM>(&pos));
    // Hiding hands activation and focus on after the change is announced.
    if (deactivate) {
        HWND next;
        {
            auto lock = WindowManager::lock();
            WindowState& m = *lock;
            next = nextActiveCandidate(m, window);
        }
        SetActiveWindow(next);
    } else if ((pos.flags & SWP_HIDEWINDOW) && !topLevel) {
        HWND focus = GetFocus();
        bool inside;
        {
            auto lock = WindowManager::lock();
            WindowState& m = *lock;
            inside = focus && m.isDescendant(window, focus);
        }
        if (inside) SetFocus(GetParent(window));
    }
    return TRUE;
}

BOOL MoveWindow(HWND window, int x, int y, int width, int height, BOOL repaint) {
    return SetWindowPos(window, nullptr, x, y, width, height,
                        SWP_NOZORDER | SWP_NOACTIVATE | (repaint ? 0 : SWP_NOREDRAW));
}

BOOL BringWindowToTop(HWND window) { return SetWindowPos(window, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE); }

BOOL GetWindowRect(HWND window, LPRECT rect) {
    auto lock = WindowManager::lock();
    WindowState& m = *lock;
    if (window == GetDesktopWindow() && rect) {
        *rect = display().monitorRect();
        return TRUE;
    }
    Window* w = m.find(window);
    if (!w || !rect) return FALSE;
    *rect = m.screenRect(*w);
    return TRUE;
}

BOOL GetClientRect(HWND window, LPRECT rect) {
    auto lock = WindowManager::lock();
    WindowState& m = *lock;
    if (window == GetDesktopWindow() && rect) {
        const RECT monitor = display().monitorRect();
        *rect = {0, 0, monitor.right - monitor.left, monitor.bottom - monitor.top};
        return TRUE;
    }
    Window* w = m.find(window);
    if (!w || !rect) return FALSE;
    *rect = {0, 0, w->client.right - w->client.left, w->client.bottom - w->client.top};
    return TRUE;
}

BOOL ScreenToClient(HWND window, LPPOINT point) {
    auto lock = WindowManager::lock();
    WindowState& m = *lock;
    Window* w = m.find(window);
    if (!w || !point) return FALSE;
    POINT o = m.clientOrigin(*w);
    point->x -= o.x;
    point->y -= o.y;
    return TRUE;
}

BOOL ClientToScreen(HWND window, LPPOINT point) {
    auto lock = WindowManager::lock();
    WindowState& m = *lock;
    Window* w = m.find(window);
    if (!w || !point) return FALSE;
    POINT o = m.clientOrigin(*w);
    point->x += o.x;
    point->y += o.y;
    return TRUE;
}

int MapWindowPoints(HWND from, HWND to, LPPOINT points, UINT count) {
    auto lock = WindowManager::lock();
    WindowState& m = *lock;
    POINT a{0, 0}, b{0, 0};
    if (Window* w = m.find(from)) a = m.clientOrigin(*w);
    if (Window* w = m.find(to)) b = m.clientOrigin(*w);
    int dx = a.x - b.x, dy = a.y - b.y;
    for (UINT i = 0; i < count; ++i) {
        points[i].x += dx;
        points[i].y += dy;
    }
    return MAKELPARAM(dx, dy);
}

BOOL ShowWindow(HWND window, int command) {
    bool wasVisible, topLevel;
    {
        auto lock = WindowManager::lock();
        WindowState& m = *lock;
        Window* w = m.find(window);
        if (!w) return FALSE;
        wasVisible = (w->style & WS_VISIBLE) != 0;
        topLevel = w->isTopLevel();
    }
    if (command == SW_HIDE) {
        if (!wasVisible) return FALSE;
        sendTo(window, WM_SHOWWINDOW, FALSE, 0);
        SetWindowPos(window, nullptr, 0, 0, 0, 0,
                     SWP_HIDEWINDOW | SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        return TRUE;
    }
    bool noActivate = command == SW_SHOWNA || command == SW_SHOWNOACTIVATE || command == SW_SHOWMINNOACTIVE;
    if (wasVisible) {
        if (topLevel && !noActivate && command != SW_MINIMIZE) SetActiveWindow(window);
        return TRUE;
    }
    sendTo(window, WM_SHOWWINDOW, TRUE, 0);
    UINT flags = SWP_SHOWWINDOW | SWP_NOSIZE | SWP_NOMOVE;
    if (!topLevel || noActivate) flags |= SWP_NOACTIVATE | SWP_NOZORDER;
    SetWindowPos(window, HWND_TOP, 0, 0, 0, 0, flags);
    return FALSE;
}

BOOL IsWindowVisible(HWND window) {
    auto lock = WindowManager::lock();
    WindowState& m = *lock;
    Window* w = m.find(window);
    return w && m.isVisible(*w) ? TRUE : FALSE;
}

BOOL EnableWindow(HWND window, BOOL enable) {
    bool wasDisabled;
    {
        auto lock = WindowManager::lock();
        WindowState& m = *lock;
        Window* w = m.find(window);
        if (!w) return FALSE;
        wasDisabled = (w->style & WS_DISABLED) != 0;
        if (wasDisabled == !enable) return wasDisabled;
        if (enable) {
            w->style &= ~WS_DISABLED;
        } else {
            w->style |= WS_DISABLED;
        }
    }
    if (!enable) {
        HWND focus = GetFocus();
        bool inside;
        {
            auto lock = WindowManager::lock();
            WindowState& m = *lock;
            inside = focus && m.isDescendant(window, focus);
            if (m.capture && m.isDescendant(window, m.capture)) m.capture = nullptr;
        }
        if (inside) SetFocus(nullptr);
    }
    sendTo(window, WM_ENABLE, enable ? TRUE : FALSE, 0);
    return wasDisabled ? TRUE : FALSE;
}

BOOL IsWindowEnabled(HWND window) {
    auto lock = WindowManager::lock();
    WindowState& m = *lock;
    Window* w = m.find(window);
    return w && !(w->style & WS_DISABLED) ? TRUE : FALSE;
}

BOOL IsIconic(HWND window) { return (GetWindowLongW(window, GWL_STYLE) & WS_MINIMIZE) ? TRUE : FALSE; }
BOOL IsZoomed(HWND window) { return (GetWindowLongW(window, GWL_STYLE) & WS_MAXIMIZE) ? TRUE : FALSE; }

BOOL SetRect(LPRECT rect, int left, int top, int right, int bottom) {
    if (!rect) return FALSE;
    *rect = {left, top, right, bottom};
    return TRUE;
}
BOOL SetRectEmpty(LPRECT rect) { return SetRect(rect, 0, 0, 0, 0); }
BOOL IsRectEmpty(const RECT* r) { return !r || r->right <= r->left || r->bottom <= r->top; }
BOOL PtInRect(const RECT* r, POINT p) {
    return r && p.x >= r->left && p.x < r->right && p.y >= r->top && p.y < r->bottom;
}
BOOL OffsetRect(LPRECT r, int dx, int dy) {
    if (!r) return FALSE;
    r->left += dx;
    r->right += dx;
    r->top += dy;
    r->bottom += dy;
    return TRUE;
}
BOOL InflateRect(LPRECT r, int dx, int dy) {
    if (!r) return FALSE;
    r->left -= dx;
    r->right += dx;
    r->top -= dy;
    r->bottom += dy;
    return TRUE;
}
BOOL IntersectRect(LPRECT out, const RECT* a, const RECT* b) {
    if (!out || !a || !b) return FALSE;
    RECT r{std::max(a->left, b->left), std::max(a->top, b->top), std::min(a->right, b->right),
           std::min(a->bottom, b->bottom)};
    if (IsRectEmpty(&r)) {
        *out = {0, 0, 0, 0};
        return FALSE;
    }
    *out = r;
    return TRUE;
}
BOOL UnionRect(LPRECT out, const RECT* a, const RECT* b) {
    if (!out || !a || !b) return FALSE;
    if (IsRectEmpty(a)) {
        *out = IsRectEmpty(b) ? RECT{0, 0, 0, 0} : *b;
    } else if (IsRectEmpty(b)) {
        *out = *a;
    } else {
        *out = {std::min(a->left, b->left), std::min(a->top, b->top), std::max(a->right, b->right),
                std::max(a->bottom, b->bottom)};
    }
    return !IsRectEmpty(out);
}
BOOL EqualRect(const RECT* a, const RECT* b) {
    return a && b && a->left == b->left && a->top == b->top && a->right == b->right && a->bottom == b->bottom;
}
BOOL CopyRect(LPRECT out, const RECT* in) {
    if (!out || !in) return FALSE;
    *out = *in;
    return TRUE;
}

int GetSystemMetrics(int index) {
    RECT m = display().monitorRect();
    switch (index) {
        case SM_CXSCREEN:
            return m.right - m.left;
        case SM_CYSCREEN:
            return m.bottom - m.top;
        case SM_CXVSCROLL:
        case SM_CYHSCROLL:
            return 17;
        case SM_CYCAPTION:
            return 23;
        case SM_CXBORDER:
        case SM_CYBORDER:
            return 1;
        case SM_CXDOUBLECLK:
        case SM_CYDOUBLECLK:
            return 4;
        case SM_CXEDGE:
        case SM_CYEDGE:
            return 2;
        case SM_CMONITORS:
            return isHeadlessDisplay() ? 0 : 1;  // no screen: no monitor
        default:
            return 0;
    }
}

UINT GetDoubleClickTime() { return 500; }

BOOL MessageBeep(UINT) { return TRUE; }

BOOL SystemParametersInfoW(UINT action, UINT, LPVOID value, UINT) {
    if (action != SPI_GETWHEELSCROLLLINES || !value) return FALSE;
    *static_cast<UINT*>(value) = 3;
    return TRUE;
}

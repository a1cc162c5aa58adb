// Keyboard focus, activation, capture, mouse tracking, cursors and the key state.
#include <algorithm>

#include "platform/display/Display.h"
#include "platform/window/InputMethod.h"
#include "platform/window/WindowManager.h"

using namespace veltrix::platform;

namespace {
void wakeQueue(WindowState& m, Window& w) { m.wakeQueue(*w.queue); }
}  // namespace

namespace veltrix::platform {

void restartHover(WindowState& m) {
    // The pointer must rest inside a 4 x 4 pixel square, as SPI_GETMOUSEHOVERWIDTH says.
    m.hoverRect = {m.cursor.x - 2, m.cursor.y - 2, m.cursor.x + 2, m.cursor.y + 2};
    m.hoverDue = Clock::now() + std::chrono::milliseconds(m.hoverTime);
}

}  // namespace veltrix::platform

HWND GetFocus() {
    auto lock = WindowManager::lock();
    WindowState& m = *lock;
    return m.currentQueue()->focus;
}

HWND GetActiveWindow() {
    auto lock = WindowManager::lock();
    WindowState& m = *lock;
    return m.currentQueue()->active;
}

HWND GetForegroundWindow() {
    auto lock = WindowManager::lock();
    WindowState& m = *lock;
    return m.foreground;
}

BOOL SetForegroundWindow(HWND window) { return SetActiveWindow(window) || GetActiveWindow() == window; }

HWND SetActiveWindow(HWND window) {
    HWND old;
    {
        auto lock = WindowManager::lock();
        WindowState& m = *lock;
        auto q = m.currentQueue();
        old = q->active;
        if (window) {
            Window* w = m.find(window);
            if (!w || w->queue != q) return nullptr;
            window = m.topLevelOf(w)->handle;
        }
        if (old == window) return old;
    }
    if (old && IsWindow(old)) {
        sendTo(old, WM_NCACTIVATE, FALSE, 0);
        sendTo(old, WM_ACTIVATE, WA_INACTIVE, reinterpret_cast<LPARAM>(window));
    }
    {
        auto lock = WindowManager::lock();
        WindowState& m = *lock;
        m.currentQueue()->active = window && m.find(window) ? window : nullptr;
        if (window) m.foreground = window;
    }
    if (!window) {
        if (old && IsWindow(old)) sendTo(old, WM_ACTIVATEAPP, FALSE, 0);
        SetFocus(nullptr);
        return old;
    }
    if (!old) sendTo(window, WM_ACTIVATEAPP, TRUE, 0);
    sendTo(window, WM_NCACTIVATE, TRUE, 0);
    sendTo(window, WM_ACTIVATE, WA_ACTIVE, reinterpret_cast<LPARAM>(old));
    display().activateWindow(window);
    return old;
}

HWND SetFocus(HWND window) {
    HWND old;
    HWND top = nullptr;
    {
        auto lock = WindowManager::lock();
        WindowState& m = *lock;
        auto q = m.currentQueue();
        old = q->focus;
        if (window) {
            Window* w = m.find(window);
            if (!w || w->queue != q) return nullptr;
            top = m.topLevelOf(w)->handle;
        }
    }
    if (window && top != GetActiveWindow()) {
        SetActiveWindow(top);
        // Focus may have moved meanwhile; the window must still be active.
        if (!IsWindow(window) || GetActiveWindow() != top) return nullptr;
        old = GetFocus();
    }
    if (old == window) return old;
    if (old && IsWindow(old)) sendTo(old, WM_KILLFOCUS, reinterpret_cast<WPARAM>(window), 0);
    {
        auto lock = WindowManager::lock();
        WindowState& m = *lock;
        auto q = m.currentQueue();
        if (window && !m.find(window)) return nullptr;
        q->focus = window;
        if (window) m.topLevelOf(m.find(window))->lastFocus = window;
    }
    textInputFocus(window);
    if (window) {
        sendTo(window, WM_SETFOCUS, reinterpret_cast<WPARAM>(old), 0);
    }
    return old;
}

HWND SetCapture(HWND window) {
    HWND old;
    {
        auto lock = WindowManager::lock();
        WindowState& m = *lock;
        if (!m.find(window)) return nullptr;
        old = m.capture;
        m.capture = window;
    }
    if (old && old != window) sendTo(old, WM_CAPTURECHANGED, 0, reinterpret_cast<LPARAM>(window));
    return old;
}

BOOL ReleaseCapture() {
    HWND old;
    {
        auto lock = WindowManager::lock();
        WindowState& m = *lock;
        old = m.capture;
        m.capture = nullptr;
    }
    if (old) sendTo(old, WM_CAPTURECHANGED, 0, 0);
    return TRUE;
}

HWND GetCapture() {
    auto lock = WindowManager::lock();
    WindowState& m = *lock;
    return m.capture;
}

BOOL GetCursorPos(LPPOINT point) {
    if (!point) return FALSE;
    auto lock = WindowManager::lock();
    WindowState& m = *lock;
    *point = m.cursor;
    return TRUE;
}

BOOL SetCursorPos(int x, int y) {
    auto lock = WindowManager::lock();
    WindowState& m = *lock;
    m.cursor = {x, y};
    return TRUE;
}

BOOL TrackMouseEvent(TRACKMOUSEEVENT* track) {
    if (!track) return FALSE;
    auto lock = WindowManager::lock();
    WindowState& m = *lock;
    if (track->dwFlags & TME_CANCEL) {
        if ((track->dwFlags & TME_LEAVE) && m.tracking == track->hwndTrack) m.tracking = nullptr;
        if ((track->dwFlags & TME_HOVER) && m.hovering == track->hwndTrack) m.hovering = nullptr;
        return TRUE;
    }
    Window* w = m.find(track->hwndTrack);
    if (!w) return FALSE;
    if (track->dwFlags & TME_HOVER) {
        m.hovering = track->hwndTrack;
        m.hoverTime = track->dwHoverTime == HOVER_DEFAULT ? 400 : std::max<DWORD>(track->dwHoverTime, 1);
        restartHover(m);
        wakeQueue(m, *w);
    }
    if (!(track->dwFlags & TME_LEAVE)) return TRUE;
    POINT o = m.clientOrigin(*w);
    RECT client{o.x, o.y, o.x + w->client.right - w->client.left, o.y + w->client.bottom - w->client.top};
    if (m.underMouse != track->hwndTrack || !PtInRect(&client, m.cursor)) {
        // Asked while the pointer is already elsewhere: the leave comes at once.
        postTo(m, *w->queue, track->hwndTrack, WM_MOUSELEAVE, 0, 0, false);
        return TRUE;
    }
    m.tracking = track->hwndTrack;
    return TRUE;
}

namespace veltrix::platform {

void forgetWindowInput(HWND window) {
    HWND focus = GetFocus();
    bool focusInside;
    {
        auto lock = WindowManager::lock();
        WindowState& m = *lock;
        if (m.capture && m.isDescendant(window, m.capture)) m.capture = nullptr;
        if (m.tracking && m.isDescendant(window, m.tracking)) m.tracking = nullptr;
        if (m.hovering && m.isDescendant(window, m.hovering)) m.hovering = nullptr;
        if (m.underMouse && m.isDescendant(window, m.underMouse)) m.underMouse = nullptr;
        if (m.lastClickWindow && m.isDescendant(window, m.lastClickWindow)) m.lastClickWindow = nullptr;
        focusInside = focus && m.isDescendant(window, focus);
    }
    if (focusInside) SetFocus(nullptr);
}

}  // namespace veltrix::platform

short GetKeyState(int virtualKey) {
    auto lock = WindowManager::lock();
    WindowState& m = *lock;
    BYTE state = m.keys[virtualKey & 0xFF];
    return static_cast<short>(((state & 0x80) ? 0x8000 : 0) | (state & 1));
}

short GetAsyncKeyState(int virtualKey) { return GetKeyState(virtualKey); }

namespace {
struct SystemCursor {
    std::uintptr_t id;
    CursorShape shape;
};
constexpr SystemCursor kCursors[] = {
    {32512, CursorShape::Arrow},   {32513, CursorShape::IBeam},  {32514, CursorShape::Wait},
    {32515, CursorShape::Cross},   {32644, CursorShape::SizeWE}, {32645, CursorShape::SizeNS},
    {32646, CursorShape::SizeAll}, {32648, CursorShape::No},     {32649, CursorShape::Hand},
};
}  // namespace

HCURSOR LoadCursorW(HINSTANCE, LPCWSTR name) {
    auto id = reinterpret_cast<std::uintptr_t>(name);
    for (const auto& c : kCursors)
        if (c.id == id) return reinterpret_cast<HCURSOR>(id);
    return nullptr;
}

HCURSOR SetCursor(HCURSOR cursor) {
    HCURSOR old;
    {
        auto lock = WindowManager::lock();
        WindowState& m = *lock;
        old = m.currentCursor;
        if (old == cursor) return old;
        m.currentCursor = cursor;
    }
    auto id = reinterpret_cast<std::uintptr_t>(cursor);
    for (const auto& c : kCursors)
        if (c.id == id) display().setCursor(c.shape);
    return old;
}

HCURSOR GetCursor() {
    auto lock = WindowManager::lock();
    WindowState& m = *lock;
    return m.currentCursor;
}

// Raw display events become input messages: hit testing, capture, double
// clicks, mouse tracking, the key state and the focus window.
#include <algorithm>
#include <cstdlib>

#include "platform/display/Display.h"
#include "platform/window/DesktopFocus.h"
#include "platform/window/InputMethod.h"
#include "platform/window/WindowManager.h"

using namespace veltrix::platform;

namespace {

constexpr WPARAM SC_CLOSE = 0xF060;

// The deepest visible, enabled window under the point whose procedure does not
// answer HTTRANSPARENT; a disabled window stops the search at its parent.
HWND hitTest(POINT screen, LRESULT& hit) {
    std::vector<HWND> skipped;
    for (int attempt = 0; attempt < 64; ++attempt) {
        HWND found = nullptr;
        {
            auto lock = WindowManager::lock();
            WindowState& m = *lock;
            const std::vector<HWND>* level = &m.topLevels;
            for (;;) {
                HWND next = nullptr;
                for (HWND h : *level) {
                    Window* w = m.find(h);
                    if (!w || !(w->style & WS_VISIBLE) || w->destroying) continue;
                    if (std::find(skipped.begin(), skipped.end(), h) != skipped.end()) continue;
                    RECT r = m.screenRect(*w);
                    if (!PtInRect(&r, screen)) continue;
                    if (found && (w->style & WS_DISABLED)) break;  // the parent takes it
                    next = h;
                    break;
                }
                if (!next) break;
                found = next;
                Window* w = m.find(next);
                POINT o = m.clientOrigin(*w);
                RECT client{o.x, o.y, o.x + w->client.right - w->client.left, o.y + w->client.bottom - w->client.top};
                if (!PtInRect(&client, screen)) break;
                level = &w->children;
            }
        }
        if (!found) return nullptr;
        hit = sendTo(found, WM_NCHITTEST, 0, MAKELPARAM(screen.x, screen.y));
        if (hit != HTTRANSPARENT) return found;
        skipped.push_back(found);
    }
    return nullptr;
}

WPARAM mouseKeys(const WindowState& m) {
    WPARAM k = 0;
    if (m.keys[VK_LBUTTON] & 0x80) k |= MK_LBUTTON;
    if (m.keys[VK_RBUTTON] & 0x80) k |= MK_RBUTTON;
    if (m.keys[VK_MBUTTON] & 0x80) k |= MK_MBUTTON;
    if (m.keys[VK_SHIFT] & 0x80) k |= MK_SHIFT;
    if (m.keys[VK_CONTROL] & 0x80) k |= MK_CONTROL;
    return k;
}

void setKey(WindowState& m, int vk, bool down) {
    BYTE& s = m.keys[vk & 0xFF];
    if (down) {
        if (!(s & 0x80)) s ^= 1;
        s |= 0x80;
    } else {
        s &= static_cast<BYTE>(~0x80);
    }
}

int buttonKey(MouseButton b) {
    switch (b) {
        case MouseButton::Left:
            return VK_LBUTTON;
        case MouseButton::Right:
            return VK_RBUTTON;
        case MouseButton::Middle:
            return VK_MBUTTON;
        default:
            return 0;
    }
}

UINT buttonMessage(MouseButton b, bool down) {
    switch (b) {
        case MouseButton::Left:
            return down ? WM_LBUTTONDOWN : WM_LBUTTONUP;
        case MouseButton::Right:
            return down ? WM_RBUTTONDOWN : WM_RBUTTONUP;
        default:
            return down ? WM_MBUTTONDOWN : WM_MBUTTONUP;
    }
}

void postInput(HWND target, UINT message, WPARAM wParam, LPARAM lParam) {
    auto lock = WindowManager::lock();
    WindowState& m = *lock;
    Window* w = m.find(target);
    if (w) postTo(m, *w->queue, target, message, wParam, lParam, true);
}

void handleMouse(const RawEvent& e) {
    HWND capture;
    {
        auto lock = WindowManager::lock();
        WindowState& m = *lock;
        m.cursor = e.screen;
        if (int vk = buttonKey(e.button)) setKey(m, vk, e.type == RawEventType::MouseDown);
        capture = m.capture;
    }
    LRESULT hit = HTCLIENT;
    HWND target = capture && IsWindow(capture) ? capture : hitTest(e.screen, hit);

    HWND leave = nullptr;
    {
        auto lock = WindowManager::lock();
        WindowState& m = *lock;
        if (m.tracking) {
            Window* t = m.find(m.tracking);
            bool inside = false;
            if (t && target == m.tracking) {
                POINT o = m.clientOrigin(*t);
                RECT c{o.x, o.y, o.x + t->client.right - t->client.left, o.y + t->client.bottom - t->client.top};
                inside = PtInRect(&c, e.screen);
            }
            if (!inside) {
                leave = m.tracking;
                m.tracking = nullptr;
            }
        }
        if (m.hovering) {
            if (target != m.hovering) {
                m.hovering = nullptr;  // hover tracking ends when the pointer leaves
            } else if (!PtInRect(&m.hoverRect, e.screen)) {
                restartHover(m);
            }
        }
        m.underMouse = target;
    }
    if (leave) postInput(leave, WM_MOUSELEAVE, 0, 0);
    if (!target) return;

    HWND top = GetAncestor(target, GA_ROOT);
    if (!IsWindowEnabled(top)) return;  // a modal box's owner takes no mouse input

    POINT client = e.screen;
    ScreenToClient(target, &client);
    WPARAM keys;
    {
        auto lock = WindowManager::lock();
        WindowState& m = *lock;
        keys = mouseKeys(m);
    }
    switch (e.type) {
        case RawEventType::MouseMove:
            sendTo(target, WM_SETCURSOR, reinterpret_cast<WPARAM>(target),
                   MAKELPARAM(static_cast<int>(hit), WM_MOUSEMOVE));
            postInput(target, WM_MOUSEMOVE, keys, MAKELPARAM(client.x, client.y));
            break;
        case RawEventType::MouseDown: {
            UINT message = buttonMessage(e.button, true);
            if (!(GetWindowLongW(top, GWL_EXSTYLE) & WS_EX_NOACTIVATE)) {
                if (top != GetActiveWindow()) SetActiveWindow(top);
                auto lock = WindowManager::lock();
                WindowState& m = *lock;
                m.foreground = top;  // the keyboard follows the click, whichever thread owns the window
            }
            sendTo(target, WM_SETCURSOR, reinterpret_cast<WPARAM>(target), MAKELPARAM(static_cast<int>(hit), message));
            {
                auto lock = WindowManager::lock();
                WindowState& m = *lock;
                DWORD now = currentTime();
                Window* w = m.find(target);
                bool dblclks = w && (w->windowClass->info.style & CS_DBLCLKS);
                bool again = m.lastClickWindow == target && m.lastClickMessage == message &&
                             now - m.lastClickTime <= GetDoubleClickTime() &&
                             std::abs(m.lastClickPoint.x - e.screen.x) <= 2 &&
                             std::abs(m.lastClickPoint.y - e.screen.y) <= 2;
                if (again && dblclks) {
                    message += 2;  // the button's DBLCLK message
                    m.lastClickWindow = nullptr;
                } else {
                    m.lastClickWindow = target;
                    m.lastClickMessage = message;
                    m.lastClickTime = now;
                    m.lastClickPoint = e.screen;
                }
            }
            postInput(target, message, keys, MAKELPARAM(client.x, client.y));
            break;
        }
        case RawEventType::MouseUp:
            postInput(target, buttonMessage(e.button, false), keys, MAKELPARAM(client.x, client.y));
            break;
        case RawEventType::MouseWheel: {
            HWND focus = GetFocus();
            postInput(focus ? focus : target, WM_MOUSEWHEEL, MAKEWPARAM(static_cast<int>(keys), e.wheelDelta),
                      MAKELPARAM(e.screen.x, e.screen.y));
            break;
        }
        default:
            break;
    }
}

// The keyboard belongs to the thread of the foreground window, which may be a
// worker showing a box of its own; otherwise to the display thread.
HWND keyboardTarget() {
    auto lock = WindowManager::lock();
    WindowState& m = *lock;
    Window* foreground = m.find(m.foreground);
    std::shared_ptr<ThreadQueue> q = foreground ? foreground->queue : m.currentQueue();
    return q->focus ? q->focus : q->active;
}

void handleKey(const RawEvent& e) {
    bool down = e.type == RawEventType::KeyDown;
    bool alt;
    bool wasDown;
    {
        auto lock = WindowManager::lock();
        WindowState& m = *lock;
        wasDown = (m.keys[e.virtualKey & 0xFF] & 0x80) != 0;
        setKey(m, e.virtualKey, down);
        if (e.virtualKey == VK_LSHIFT || e.virtualKey == VK_RSHIFT) setKey(m, VK_SHIFT, down);
        if (e.virtualKey == VK_LCONTROL || e.virtualKey == VK_RCONTROL) setKey(m, VK_CONTROL, down);
        alt = (m.keys[VK_MENU] & 0x80) != 0;
    }
    HWND target = keyboardTarget();
    if (!target) return;
    bool control = GetKeyState(VK_CONTROL) < 0;
    UINT message =
        down ? ((alt && !control) ? WM_SYSKEYDOWN : WM_KEYDOWN) : ((alt && !control) ? WM_SYSKEYUP : WM_KEYUP);
    // Bit 30: the key was down before (auto-repeat); bits 30 and 31 on release.
    LPARAM lParam = 1 | (down ? (wasDown ? 0x40000000 : 0) : static_cast<LPARAM>(0xC0000000));
    postInput(target, message, static_cast<WPARAM>(e.virtualKey), lParam);
}

// The window system's "the session is ending": every top-level window of this
// thread is asked, then told; when the session ends, so does the thread's
// message loop. Nobody answers for an unattended end, which cannot be refused.
void endSession(bool unattended) {
    std::vector<HWND> windows;
    {
        auto lock = WindowManager::lock();
        WindowState& m = *lock;
        auto q = m.currentQueue();
        for (HWND h : m.topLevels) {
            Window* w = m.find(h);
            if (w && w->queue == q && !w->destroying) windows.push_back(h);
        }
    }
    const LPARAM reason = unattended ? ENDSESSION_CRITICAL : ENDSESSION_LOGOFF;
    bool ends = true;
    for (HWND h : windows) {
        if (IsWindow(h) && !sendTo(h, WM_QUERYENDSESSION, 0, reason) && !unattended) {
            ends = false;
            break;
        }
    }
    for (HWND h : windows)
        if (IsWindow(h)) sendTo(h, WM_ENDSESSION, ends ? TRUE : FALSE, reason);
    if (ends) PostQuitMessage(0);
}

void focusGained(HWND window) {
    if (!IsWindow(window)) return;
    if (GetWindowThreadProcessId(window, nullptr) != GetCurrentThreadId()) {
        // A window of another thread: its keyboard input goes to that thread.
        auto lock = WindowManager::lock();
        lock->foreground = window;
        return;
    }
    if (!IsWindowEnabled(window)) {
        // A modal box's owner (or a late notice from before the box came): the
        // keyboard stays with the active box, as Windows keeps it there.
        if (HWND active = GetActiveWindow(); active && active != window) display().activateWindow(active);
        return;
    }
    // A pop-up list or calendar that the window system focused stays inactive.
    if (GetActiveWindow() != window && !(GetWindowLongW(window, GWL_EXSTYLE) & WS_EX_NOACTIVATE))
        SetActiveWindow(window);
}

}  // namespace

namespace veltrix::platform {

void processRawEvents(std::vector<RawEvent>& events) {
    for (const RawEvent& e : events) {
        switch (e.type) {
            case RawEventType::MouseMove:
            case RawEventType::MouseDown:
            case RawEventType::MouseUp:
            case RawEventType::MouseWheel:
                handleMouse(e);
                break;
            case RawEventType::KeyDown:
            case RawEventType::KeyUp:
                handleKey(e);
                break;
            case RawEventType::Text:
                deliverText(keyboardTarget(), e);
                break;
            case RawEventType::Composition:
                deliverComposition(keyboardTarget(), e);
                break;
            case RawEventType::Close:
                if (IsWindow(e.window)) postInput(e.window, WM_SYSCOMMAND, SC_CLOSE, 0);
                break;
            case RawEventType::FocusGained:
                desktopFocusGained(e.window);
                focusGained(e.window);
                break;
            case RawEventType::Geometry:
                // The user moved or resized the display window.
                if (IsWindow(e.window))
                    SetWindowPos(e.window, nullptr, e.rect.left, e.rect.top, e.rect.right - e.rect.left,
                                 e.rect.bottom - e.rect.top, SWP_NOZORDER | SWP_NOACTIVATE);
                break;
            case RawEventType::DropFiles:
                deliverDrop(e.files, e.screen, e.window);
                break;
            case RawEventType::DropText:
                deliverTextDrop(e.text, e.screen, e.window);
                break;
            case RawEventType::Expose:
                if (IsWindow(e.window)) presentAgain(e.window);
                break;
            case RawEventType::EndSession:
                endSession(e.unattended);
                break;
            case RawEventType::FocusLost:
                desktopFocusLost(e.window);
                break;
        }
    }
    events.clear();
}

}  // namespace veltrix::platform

HWND WindowFromPoint(POINT point) {
    LRESULT hit = HTCLIENT;
    return hitTest(point, hit);
}

HWND ChildWindowFromPointEx(HWND parent, POINT point, UINT flags) {
    auto lock = WindowManager::lock();
    WindowState& m = *lock;
    Window* p = m.find(parent);
    if (!p) return nullptr;
    RECT client{0, 0, p->client.right - p->client.left, p->client.bottom - p->client.top};
    if (!PtInRect(&client, point)) return nullptr;
    for (HWND h : p->children) {
        Window* w = m.find(h);
        if (!w) continue;
        if ((flags & CWP_SKIPINVISIBLE) && !(w->style & WS_VISIBLE)) continue;
        if ((flags & CWP_SKIPDISABLED) && (w->style & WS_DISABLED)) continue;
        if ((flags & CWP_SKIPTRANSPARENT) && (w->exStyle & WS_EX_TRANSPARENT)) continue;
        if (PtInRect(&w->rect, point)) return h;
    }
    return parent;
}

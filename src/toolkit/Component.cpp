#include "toolkit/Component.h"

#include <algorithm>

#include "toolkit/Graphics.h"

namespace {

constexpr DWORD kComponentStyle = WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN | WS_TABSTOP;
constexpr UINT kComponentClassStyle = CS_VREDRAW | CS_HREDRAW | CS_DBLCLKS;
constexpr UINT WM_MOUSEHWHEEL_ = 0x020E;

constexpr COLORREF kFocusOuter = 0xECD790;
constexpr COLORREF kFocusInner = 0xA87854;
constexpr COLORREF kFrame = 0xAA9680;

bool isMouseMessage(UINT message) {
    return (message >= WM_MOUSEFIRST && message <= WM_MOUSELAST) || message == WM_MOUSEHWHEEL_ ||
           message == WM_MOUSELEAVE;
}

}  // namespace

Component::Component() { foreground_ = GetSysColor(COLOR_BTNTEXT); }

Component::~Component() { Component::destroyWindow(); }

void Component::setEnabled(bool on) {
    if (!handle_ || isEnabled() == on) return;
    EnableWindow(handle_, on ? TRUE : FALSE);
    hover_ = false;
    focused_ = false;
    repaint();
}

void Component::destroyWindow() {
    BaseWindow::destroyWindow();
    hover_ = false;
    focused_ = false;
}

bool Component::create(HWND parent) {
    destroyWindow();
    registerWindowClass(u"Component", u"", kComponentClassStyle);
    HWND window = CreateWindowExW(0, className_.c_str(), className_.c_str(), kComponentStyle, 0, 0, 0, 0, parent,
                                  nullptr, nullptr, this);
    if (!window) {
        handle_ = nullptr;
        return false;
    }
    repaint();
    return true;
}

void Component::setBounds(int x, int y, int width, int height) {
    BaseWindow::setBounds(x, y, width, height);
    repaint();
}

void Component::setSize(int width, int height) {
    BaseWindow::setSize(width, height);
    repaint();
}

bool Component::onFocusGained(HWND) {
    repaint();
    fireEvent(EventCode::FocusChanged, 0);
    return false;
}

void Component::registerWindowClass(const std::u16string& name, const std::u16string&, UINT) {
    if (!className_.empty()) return;
    if (handle_) {
        WCHAR buffer[257] = {};
        if (GetClassNameW(handle_, buffer, 257) > 0) return;
    }
    BaseWindow::registerWindowClass(name, u"", kComponentClassStyle);
}

LRESULT Component::windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (isMouseMessage(message)) {
        POINT p{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
        if (message == WM_MOUSEWHEEL || message == WM_MOUSEHWHEEL_) {
            ScreenToClient(window, &p);
        } else if (message == WM_MOUSELEAVE) {
            GetCursorPos(&p);
            ScreenToClient(window, &p);
        }
        if (handleMouse(message, p.x, p.y, wParam)) return 0;
        return BaseWindow::windowProc(window, message, wParam, lParam);
    }
    switch (message) {
        case WM_SETFOCUS: {
            focused_ = true;
            HWND previous = reinterpret_cast<HWND>(wParam);
            if (previous != window) onFocusGained(previous);
            return 0;
        }
        case WM_KILLFOCUS:
            focused_ = false;
            onFocusLost();
            return 0;
        case WM_PAINT:
            paintNow();
            return 0;
        case WM_ERASEBKGND:
            return 1;
        case WM_KEYDOWN:
            return onKeyDown(wParam, lParam) ? 1 : 0;
        case WM_KEYUP:
            return onKeyUp(wParam, lParam) ? 1 : 0;
        case WM_CHAR:
            return onChar(wParam, lParam) ? 1 : 0;
        default:
            return BaseWindow::windowProc(window, message, wParam, lParam);
    }
}

void Component::setFocused(bool on) {
    if (!handle_) return;
    if (on) {
        if (GetFocus() != handle_) SetFocus(handle_);
    } else if (GetFocus() == handle_) {
        SetFocus(GetParent(handle_));
    }
}

void Component::addEventListener(EventListener* listener) { listeners_.addListener("EventListener", listener); }

void Component::paint(Graphics& g) {
    RECT client{};
    if (handle_) GetClientRect(handle_, &client);
    g.setBrushColor(background_);
    g.fillRect(0, 0, client.right, client.bottom);
    g.setTextColor(foreground_);
    SetBkMode(g.dc(), TRANSPARENT);
}

void Component::paintFieldFrame(Graphics& g, int x, int y, int width, int height, int radius) {
    if (hasFocus()) {
        g.drawRoundRect(x, y, width, height, 2, kFocusOuter, radius);
        g.drawRoundRect(x + 1, y + 1, width - 2, height - 2, 1, kFocusInner, radius - 2);
    } else if (radius == 0) {
        g.setPen(PS_SOLID, 1, kFrame);
        g.drawRect(x, y, width, height);
    } else {
        g.drawRoundRect(x, y, width, height, 1, kFrame, radius);
    }
    g.fillRectAlpha(x + 3, y, width - 6, 3, 0, 4);
    g.fillRectAlpha(x + 2, y + 3, width - 4, 5, 0, 8);
    g.fillRectAlpha(x + 2, y + 5, width - 4, 8, 0, 12);
    g.fillRectAlpha(x + 1, y + 9, width - 2, 3, 0, 8);
    g.fillRectAlpha(x + 2, y + 9, width - 4, height - 9, 0, 12);
}

void Component::onFocusLost() {
    repaint();
    fireEvent(EventCode::FocusChanged, 0);
}

void Component::fireEvent(int code, int value) {
    if (code != EventCode::MouseMoved) {
        if (listeners_.fire("EventListener", EventObject(this, code, value))) return;
    }
    notifyParent(code);
}

bool Component::onChar(WPARAM, LPARAM) { return false; }

bool Component::onKeyDown(WPARAM key, LPARAM) {
    if (key != static_cast<WPARAM>(VK_TAB)) return false;
    moveFocus(GetKeyState(VK_SHIFT) < 0 ? FocusDirection::Backward : FocusDirection::Forward);
    return true;
}

bool Component::onKeyUp(WPARAM, LPARAM) { return false; }
bool Component::onMouseReleased() { return false; }
void Component::onRightMouseReleased() {}
bool Component::onMousePressed(int, int) { return false; }
bool Component::onRightMousePressed(int, int) { return false; }
bool Component::onMouseDoubleClicked(int, int) { return false; }
bool Component::onMouseMoved(int, int) { return false; }
bool Component::onMouseWheel(int, int, int, int) { return false; }

void Component::onMouseEntered() {
    if (!handle_) return;
    TRACKMOUSEEVENT track{sizeof(TRACKMOUSEEVENT), TME_LEAVE, handle_, HOVER_DEFAULT};
    TrackMouseEvent(&track);
    hover_ = true;
    repaint();
}

void Component::onMouseExited() {
    hover_ = false;
    SetCursor(LoadCursorW(nullptr, IDC_ARROW));
    repaint();
}

bool Component::handleMouse(UINT message, int x, int y, WPARAM wParam) {
    if (!isEnabled()) return false;
    listeners_.fire("MouseListener", MouseEvent(this, message, x, y));
    switch (message) {
        case WM_MOUSEMOVE:
            onMouseMoved(x, y);
            fireEvent(EventCode::MouseMoved, 0);
            break;
        case WM_LBUTTONDOWN:
            if (onMousePressed(x, y)) {
                requestFocus();
                repaint();
                fireEvent(EventCode::Pressed, 0);
                if (handle_) SetCapture(handle_);
            }
            break;
        case WM_LBUTTONUP:
            if (handle_ && GetCapture() == handle_) ReleaseCapture();
            return onMouseReleased();
        case WM_LBUTTONDBLCLK:
            onMouseDoubleClicked(x, y);
            break;
        case WM_RBUTTONDOWN:
            onRightMousePressed(x, y);
            break;
        case WM_RBUTTONUP:
            onRightMouseReleased();
            fireEvent(EventCode::RightClicked, 0);
            break;
        case WM_MOUSEWHEEL:
            return onMouseWheel(x, y, LOWORD(wParam), static_cast<short>(HIWORD(wParam)) / WHEEL_DELTA);
        case WM_MOUSELEAVE:
            onMouseExited();
            break;
        default:
            break;
    }
    return false;
}

void Component::paintNow() {
    if (!handle_) return;
    {
        const PaintDC painting(handle_);
        RECT bounds{};
        GetWindowRect(handle_, &bounds);
        int width = bounds.right - bounds.left, height = bounds.bottom - bounds.top;
        if (painting.get() && width > 0 && height > 0) {
            Graphics g(width, height);
            paint(g);
            BitBlt(painting.get(), 0, 0, width, height, g.dc(), 0, 0, SRCCOPY);
        }
    }
    fireEvent(EventCode::Painted, 0);
}

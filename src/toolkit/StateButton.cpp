#include "toolkit/StateButton.h"

#include <algorithm>

namespace {

constexpr DWORD kButtonStyle = WS_CHILD | WS_VISIBLE | WS_TABSTOP;

}  // namespace

StateButton::StateButton() = default;

void StateButton::click(ClickSource source) {
    if (source == ClickSource::Keyboard) {
        pressedByKey_ = false;
    } else {
        pressedByMouse_ = false;
    }
    advanceState();
}

void StateButton::advanceState() {
    state_ = (state_ + 1) % stateCount_;
    repaint();
    if (handle_) {
        HWND self = handle_;
        SendMessageW(GetParent(self), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(self), 0), reinterpret_cast<LPARAM>(self));
    }
    actionListener_.forEach([&](ActionListener& listener) { listener.actionPerformed(ActionEvent(this)); });
    listeners_.fire("ChangeListener", ChangeEvent(this, 0));
}

bool StateButton::createWindow(HWND parent, int controlId, const std::u16string& text, DWORD style, int x, int y,
                               int width, int height) {
    destroyWindow();
    registerWindowClass(buttonClassName(), u"", 0);
    HWND window = CreateWindowExW(0, className_.c_str(), text.c_str(), style, x, y, width, height, parent,
                                  reinterpret_cast<HMENU>(static_cast<UINT_PTR>(controlId)), nullptr, this);
    if (!window) {
        handle_ = nullptr;
        return false;
    }
    GetObjectW(GetStockObject(DEFAULT_GUI_FONT), sizeof(font_), &font_);
    SendMessageW(window, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)), 0);
    SetWindowTextW(window, text.c_str());
    repaint();
    return true;
}

bool StateButton::createButton(HWND parent, int controlId, const std::u16string& text, int x, int y, int width,
                               int height) {
    return createWindow(parent, controlId, text, kButtonStyle, x, y, width, height);
}

bool StateButton::createWithText(HWND parent, const std::u16string& text, int x, int y, int width, int height) {
    return createButton(parent, 0, text, x, y, width, height);
}

void StateButton::setState(int state) {
    state_ = std::clamp(state, 0, stateCount_ - 1);
    repaint();
}

void StateButton::setStateCount(int count) {
    stateCount_ = std::max(count, 1);
    state_ = std::min(state_, stateCount_ - 1);
    repaint();
}

bool StateButton::containsPoint(int x, int y) const {
    if (!handle_) return false;
    RECT client{};
    GetClientRect(handle_, &client);
    return x >= client.left && x < client.right && y >= client.top && y < client.bottom;
}

bool StateButton::onMousePressed(int x, int y) {
    SetCursor(LoadCursorW(nullptr, IDC_HAND));
    pressedByMouse_ = true;
    pressedByKey_ = false;
    pointerInside_ = containsPoint(x, y);
    repaint();
    return true;
}

bool StateButton::onMouseMoved(int x, int y) {
    if (pressedByMouse_) {
        bool inside = containsPoint(x, y);
        SetCursor(LoadCursorW(nullptr, inside ? IDC_HAND : IDC_NO));
        if (inside != pointerInside_) {
            pointerInside_ = inside;
            repaint();
        }
        return true;
    }
    if (!hover_) onMouseEntered();
    SetCursor(LoadCursorW(nullptr, IDC_HAND));
    return true;
}

bool StateButton::onMouseReleased() {
    if (pressedByMouse_ && containsPoint(lastPointer_.x, lastPointer_.y)) {
        SetCursor(LoadCursorW(nullptr, IDC_HAND));
        click(ClickSource::Mouse);
    }
    pressedByMouse_ = false;
    pointerInside_ = false;
    repaint();
    return true;
}

bool StateButton::onKeyDown(WPARAM key, LPARAM flags) {
    if (key == static_cast<WPARAM>(VK_TAB)) return Component::onKeyDown(key, flags);
    if (pressedByMouse_ || pressedByKey_) return true;
    if (key == static_cast<WPARAM>(VK_RETURN)) {
        click(ClickSource::Keyboard);
        return true;
    }
    if (key == static_cast<WPARAM>(VK_SPACE)) {
        pressedByKey_ = true;
        repaint();
        if (handle_) SetCapture(handle_);
        return true;
    }
    return false;
}

bool StateButton::onKeyUp(WPARAM key, LPARAM) {
    if (key != static_cast<WPARAM>(VK_SPACE) || !pressedByKey_) return false;
    click(ClickSource::Keyboard);
    if (handle_ && GetCapture() == handle_) ReleaseCapture();
    return true;
}

bool StateButton::handleMouse(UINT message, int x, int y, WPARAM wParam) {
    lastPointer_ = {x, y};
    // A quick second click arrives as a double click (the class asks for
    // them); a button takes it as another press so that no click is lost.
    if (message == WM_LBUTTONDBLCLK) message = WM_LBUTTONDOWN;
    return Component::handleMouse(message, x, y, wParam);
}

LRESULT StateButton::windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_GETDLGCODE:
            return kDialogCode;
        case WM_KILLFOCUS:
            // Focus taken away in the middle of a Space press: nothing stays armed.
            if (pressedByKey_) {
                pressedByKey_ = false;
                if (GetCapture() == window) ReleaseCapture();
            }
            break;
        case WM_SETTEXT: {
            LRESULT result = Component::windowProc(window, message, wParam, lParam);
            repaint();
            return result;
        }
        default:
            break;
    }
    return Component::windowProc(window, message, wParam, lParam);
}

#include "toolkit/GroupBox.h"

#include "toolkit/Graphics.h"
#include "toolkit/WidgetPainter.h"

GroupBox::GroupBox() { registerWindowClass(u"GroupBox", u"", 0); }

bool GroupBox::create(HWND parent) { return createGroup(parent, u"", 0, 0, 0, 0); }

bool GroupBox::createGroup(HWND parent, const std::u16string& title, int x, int y, int width, int height) {
    destroyWindow();
    // The creation parameter must point at the BaseWindow part: the toolkit
    // procedure reads it as one, and GroupComponent comes first in this object.
    HWND window = CreateWindowExW(0, className_.c_str(), title.c_str(), kStyle, x, y, width, height, parent, nullptr,
                                  nullptr, static_cast<BaseWindow*>(this));
    if (!window) {
        handle_ = nullptr;
        return false;
    }
    repaint();
    return true;
}

void GroupBox::add(BaseWindow& child, int x, int y) {
    if (!handle_ || !child.handle()) return;
    SetParent(child.handle(), handle_);
    child.setLocation(x, y);
}

void GroupBox::onCommand(WPARAM wParam, LPARAM lParam) {
    if (handle_) SendMessageW(GetParent(handle_), WM_COMMAND, wParam, lParam);
}

bool GroupBox::onFocusGained(HWND previous) {
    if (!handle_) return false;
    const bool backward = GetKeyState(VK_SHIFT) < 0;
    const FocusDirection direction = backward ? FocusDirection::Backward : FocusDirection::Forward;
    if (previous && IsChild(handle_, previous)) {
        moveFocus(direction);
        return false;
    }
    HWND first = GetWindow(handle_, GW_CHILD);
    if (!first) return Component::onFocusGained(previous);
    HWND child = backward ? GetWindow(first, GW_HWNDLAST) : first;
    // The walk ends at the first tab stop; a group without one keeps the focus.
    for (; child; child = GetWindow(child, backward ? GW_HWNDPREV : GW_HWNDNEXT)) {
        const DWORD style = static_cast<DWORD>(GetWindowLongW(child, GWL_STYLE));
        if ((style & WS_TABSTOP) && IsWindowVisible(child) && IsWindowEnabled(child)) {
            SetFocus(child);
            return false;
        }
    }
    return Component::onFocusGained(previous);
}

LRESULT GroupBox::windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_HSCROLL || message == WM_VSCROLL) return SendMessageW(GetParent(window), message, wParam, lParam);
    LRESULT result = Component::windowProc(window, message, wParam, lParam);
    if (message == WM_SETTEXT) repaint();
    return result;
}

void GroupBox::paint(Graphics& g) {
    Component::paint(g);
    RECT client{};
    if (handle_) GetClientRect(handle_, &client);
    g.setFont(font_);
    const std::u16string title = getText();
    SIZE extent{0, 14};
    GetTextExtentPoint32W(g.dc(), u"Ag", 2, &extent);
    const int top = extent.cy / 2;
    g.drawRoundRect(0, top, client.right, client.bottom - top, 1, widget_paint::kFaceBorder, 8);
    if (title.empty()) return;
    const int titleWidth = g.getTextWidth(title);
    g.setBrushColor(background_);
    g.fillRect(8, 0, titleWidth + 8, extent.cy);
    g.setTextColor(foreground_);
    SetBkMode(g.dc(), TRANSPARENT);
    g.drawText(title, 12, 0);
}

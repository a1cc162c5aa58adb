#include "toolkit/WinApiWindow.h"

WinApiWindow::WinApiWindow() : background_(GetSysColor(COLOR_BTNFACE)) {
    GetObjectW(GetStockObject(DEFAULT_GUI_FONT), sizeof(font_), &font_);
}

void WinApiWindow::setId(int id) {
    if (handle_) SetWindowLongPtrW(handle_, GWLP_ID, id);
}

void WinApiWindow::requestFocus() {
    if (handle_) SetFocus(handle_);
}

void WinApiWindow::setExtendedStyle(DWORD bits) {
    if (handle_) SetWindowLongW(handle_, GWL_EXSTYLE, static_cast<LONG>(bits));
}

void WinApiWindow::setEnabled(bool on) {
    if (handle_) EnableWindow(handle_, on ? TRUE : FALSE);
}

void WinApiWindow::setBackground(COLORREF colour) {
    background_ = colour;
    repaint();
}

void WinApiWindow::setForeground(COLORREF colour) {
    foreground_ = colour;
    repaint();
}

void WinApiWindow::setLocation(int x, int y) {
    if (handle_) SetWindowPos(handle_, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
}

HWND WinApiWindow::getHandle(int itemId) const {
    if (itemId == 0) return handle_;
    return handle_ ? GetDlgItem(handle_, itemId) : nullptr;
}

DWORD WinApiWindow::getStyle() const { return handle_ ? static_cast<DWORD>(GetWindowLongW(handle_, GWL_STYLE)) : 0; }

DWORD WinApiWindow::getExtendedStyle() const {
    return handle_ ? static_cast<DWORD>(GetWindowLongW(handle_, GWL_EXSTYLE)) : 0;
}

std::u16string WinApiWindow::getText() const {
    if (!handle_) return {};
    WCHAR buffer[kMaxText + 1] = {};
    int n = GetWindowTextW(handle_, buffer, kMaxText + 1);
    return std::u16string(buffer, static_cast<std::size_t>(n > 0 ? n : 0));
}

bool WinApiWindow::hasFocus() const { return handle_ && GetFocus() == handle_; }

bool WinApiWindow::isVisible() const { return handle_ && IsWindowVisible(handle_); }

bool WinApiWindow::isEnabled() const { return handle_ && IsWindowEnabled(handle_); }

void WinApiWindow::update() {
    if (handle_) UpdateWindow(handle_);
}

void WinApiWindow::repaint(const RECT* rect, bool erase) {
    if (handle_) InvalidateRect(handle_, rect, erase ? TRUE : FALSE);
}

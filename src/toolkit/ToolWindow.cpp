#include "toolkit/ToolWindow.h"

ToolWindow::ToolWindow() { registerWindowClass(u"ToolWindow", u"", 0); }

void ToolWindow::addToolBar(ToolBar* bar) {
    if (!bar) return;
    if (!bar->handle()) {
        MessageBoxW(handle_, u"addToolBar() HWND of the Window is null!", u"Veltrix", MB_OK | MB_TOPMOST);
        return;
    }
    bars_.push_back(bar);
    if (!handle_) return;
    // The bar keeps its offset inside its parent (the native layer's SetParent
    // keeps the screen position instead), then takes its place in the row.
    const int x = bar->getX(), y = bar->getY();
    SetParent(bar->handle(), handle_);
    SetWindowPos(bar->handle(), nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    layoutToolBars();
}

void ToolWindow::layoutToolBars() {
    if (bars_.empty()) return;
    if (orientation_ == Orientation::Horizontal) {
        int x = bars_.front()->getX();
        for (std::size_t i = 0; i < bars_.size(); ++i) {
            ToolBar* bar = bars_[i];
            if (i > 0)
                SetWindowPos(bar->handle(), nullptr, x, bar->getY(), 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
            x += bar->getWidth();
        }
    } else {
        int y = bars_.front()->getY();
        for (std::size_t i = 0; i < bars_.size(); ++i) {
            ToolBar* bar = bars_[i];
            if (i > 0) SetWindowPos(bar->handle(), nullptr, 0, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
            y += bar->getHeight();
        }
    }
}

void ToolWindow::destroyWindow() {
    bars_.clear();
    BaseWindow::destroyWindow();
}

void ToolWindow::onCommand(WPARAM wParam, LPARAM lParam) {
    if (handle_) PostMessageW(GetParent(handle_), WM_COMMAND, wParam, lParam);
}

LRESULT ToolWindow::onNotify(WPARAM wParam, LPARAM lParam) {
    // Sent, not posted: the record lives on the sender's stack.
    HWND parent = handle_ ? GetParent(handle_) : nullptr;
    return parent ? SendMessageW(parent, WM_NOTIFY, wParam, lParam) : 0;
}

LRESULT ToolWindow::onSize(WPARAM, LPARAM) {
    layoutToolBars();
    return 0;
}

LRESULT ToolWindow::windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_HSCROLL) {
        PostMessageW(GetParent(window), message, wParam, lParam);
        return 0;
    }
    return BaseWindow::windowProc(window, message, wParam, lParam);
}

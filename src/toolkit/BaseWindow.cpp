#include "toolkit/BaseWindow.h"

#include <algorithm>
#include <string>

#include "platform/api/Tooltip.h"

namespace {

constexpr std::size_t kMaxClassName = 256;
constexpr std::size_t kMaxDiagnostic = 1023;  // a buffer of 1024 with its terminator
constexpr UINT kTipWidth = 320;
constexpr LPARAM kTipReshowMs = 10;
constexpr LPARAM kTipInitialMs = 360;

std::u16string number(long long value) {
    std::string narrow = std::to_string(value);
    return std::u16string(narrow.begin(), narrow.end());
}

std::u16string classNameOf(HWND window) {
    WCHAR buffer[kMaxClassName + 1] = {};
    int n = GetClassNameW(window, buffer, static_cast<int>(kMaxClassName + 1));
    return std::u16string(buffer, static_cast<std::size_t>(std::max(n, 0)));
}

bool isTabStop(HWND window) {
    return IsWindowEnabled(window) && IsWindowVisible(window) &&
           (static_cast<DWORD>(GetWindowLongW(window, GWL_STYLE)) & WS_TABSTOP);
}

bool isDialog(HWND window) { return window && classNameOf(window) == u"#32770"; }

// The parent of a child window; null for top-level windows (their GetParent
// is the owner, which takes no part in geometry or tab order).
HWND childParent(HWND window) {
    if (!(static_cast<DWORD>(GetWindowLongW(window, GWL_STYLE)) & WS_CHILD)) return nullptr;
    return GetParent(window);
}

}  // namespace

BaseWindow::~BaseWindow() { BaseWindow::destroyWindow(); }

void BaseWindow::destroyWindow() {
    if (toolTip_) {
        DestroyWindow(toolTip_);
        toolTip_ = nullptr;
    }
    if (handle_) {
        HWND window = handle_;
        DestroyWindow(window);
        // A wrapped control destroyed while detached would leave the handle.
        handle_ = nullptr;
    }
}

bool BaseWindow::createAt(HWND parent, int x, int y, int width, int height) {
    destroyWindow();
    if (className_.empty()) registerWindowClass(u"BaseWindowPane", u"", 0);
    HWND window = CreateWindowExW(0, className_.c_str(), u"", WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN,
                                  x, y, width, height, parent, nullptr, nullptr, this);
    if (!window) handle_ = nullptr;
    return window != nullptr;
}

bool BaseWindow::create(HWND parent) {
    return createAt(parent, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT);
}

bool BaseWindow::createFrame() {
    destroyWindow();
    if (className_.empty()) registerWindowClass(u"BaseWindowPane", u"", 0);
    HWND window = CreateWindowExW(0, className_.c_str(), u"", WS_OVERLAPPEDWINDOW, CW_USEDEFAULT, CW_USEDEFAULT,
                                  CW_USEDEFAULT, CW_USEDEFAULT, nullptr, nullptr, nullptr, this);
    if (!window) handle_ = nullptr;
    return window != nullptr;
}

std::u16string BaseWindow::getTextCopy() const { return getText(); }

int BaseWindow::getX() const {
    if (!handle_) return 0;
    RECT own{}, parent{};
    GetWindowRect(handle_, &own);
    if (HWND p = childParent(handle_)) GetWindowRect(p, &parent);
    return own.left - parent.left;
}

int BaseWindow::getY() const {
    if (!handle_) return 0;
    RECT own{}, parent{};
    GetWindowRect(handle_, &own);
    if (HWND p = childParent(handle_)) GetWindowRect(p, &parent);
    return own.top - parent.top;
}

int BaseWindow::getWidth() const {
    RECT r{};
    if (handle_) GetWindowRect(handle_, &r);
    return r.right - r.left;
}

int BaseWindow::getHeight() const {
    RECT r{};
    if (handle_) GetWindowRect(handle_, &r);
    return r.bottom - r.top;
}

void BaseWindow::setText(const std::u16string& text) {
    if (handle_) SetWindowTextW(handle_, text.c_str());
}

void BaseWindow::setTextString(const std::u16string& text) { setText(text); }

void BaseWindow::setFontHeight(int height) {
    font_.lfHeight = height;
    repaint();
}

void BaseWindow::setBounds(int x, int y, int width, int height) {
    if (!handle_) return;
    MoveWindow(handle_, x, y, width, height, TRUE);
    updateToolTipRect();
}

void BaseWindow::setSize(int width, int height) {
    if (!handle_) return;
    SetWindowPos(handle_, nullptr, 0, 0, width, height, SWP_NOMOVE | SWP_NOZORDER);
    updateToolTipRect();
}

void BaseWindow::setToolTipText(const std::u16string& text) {
    if (text.empty() || !handle_) return;
    if (toolTip_) {
        DestroyWindow(toolTip_);
        toolTip_ = nullptr;
    }
    // A tool window, so that the desktop never lists the tip or gives it focus.
    toolTip_ = CreateWindowExW(WS_EX_TOPMOST | WS_EX_TOOLWINDOW, TOOLTIPS_CLASSW, nullptr,
                               WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX | TTS_NOANIMATE | TTS_BALLOON, CW_USEDEFAULT,
                               CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, handle_, nullptr, nullptr, nullptr);
    if (!toolTip_) return;
    toolTipText_ = text;
    TOOLINFOW tool{};
    tool.cbSize = sizeof(tool);
    tool.uFlags = TTF_SUBCLASS;
    tool.hwnd = handle_;
    GetClientRect(handle_, &tool.rect);
    tool.lpszText = toolTipText_.data();
    SendMessageW(toolTip_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
    SendMessageW(toolTip_, TTM_SETMAXTIPWIDTH, 0, kTipWidth);
    SendMessageW(toolTip_, TTM_SETDELAYTIME, TTDT_RESHOW, kTipReshowMs);
    SendMessageW(toolTip_, TTM_SETDELAYTIME, TTDT_INITIAL, kTipInitialMs);
}

void BaseWindow::updateToolTipRect() {
    if (!toolTip_ || !handle_) return;
    TOOLINFOW tool{};
    tool.cbSize = sizeof(tool);
    tool.hwnd = handle_;
    GetClientRect(handle_, &tool.rect);
    SendMessageW(toolTip_, TTM_NEWTOOLRECTW, 0, reinterpret_cast<LPARAM>(&tool));
}

void BaseWindow::onCommand(WPARAM wParam, LPARAM lParam) {
    if (handle_) windowProc(handle_, WM_COMMAND, wParam, lParam);
}

void BaseWindow::centerOnParent() {
    if (!handle_) return;
    int width = getWidth(), height = getHeight();
    int x, y;
    if (HWND parent = childParent(handle_)) {
        RECT client{};
        GetClientRect(parent, &client);
        x = (client.right - width) / 2;
        y = (client.bottom - height) / 2;
    } else if (HWND owner = GetWindow(handle_, GW_OWNER)) {
        RECT area{};
        GetWindowRect(owner, &area);
        x = area.left + (area.right - area.left - width) / 2;
        y = area.top + (area.bottom - area.top - height) / 2;
    } else {
        x = (GetSystemMetrics(SM_CXSCREEN) - width) / 2;
        y = (GetSystemMetrics(SM_CYSCREEN) - height) / 2;
    }
    SetWindowPos(handle_, nullptr, std::max(x, 0), std::max(y, 0), 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_SHOWWINDOW);
}

std::u16string BaseWindow::toDebugString() const {
    std::u16string text = effectiveClassName() + u", " + number(static_cast<LONG>(getStyle())) + u", " +
                          number(getX()) + u", " + number(getY()) + u", " + number(getWidth()) + u", " +
                          number(getHeight()) + u", " + number(static_cast<LONG>(foreground_)) + u", " +
                          number(static_cast<LONG>(background_)) + u", " + getText();
    if (text.size() > kMaxDiagnostic) text.resize(kMaxDiagnostic);
    return text;
}

std::u16string BaseWindow::toXmlString() const {
    std::u16string text = u"<Component Class=\"" + effectiveClassName() + u"\" X=\"" + number(getX()) + u"\" Y=\"" +
                          number(getY()) + u"\" Width=\"" + number(getWidth()) + u"\" Height=\"" + number(getHeight()) +
                          u"\" TextColor=\"" + number(static_cast<LONG>(foreground_)) + u"\" BackColor=\"" +
                          number(static_cast<LONG>(background_)) + u"\" Text=\"" + getText() + u"\" />";
    if (text.size() > kMaxDiagnostic) text.resize(kMaxDiagnostic);
    return text;
}

void BaseWindow::notifyParent(int code) {
    if (!handle_) return;
    NMHDR header{handle_, static_cast<UINT_PTR>(GetDlgCtrlID(handle_)), static_cast<UINT>(code)};
    SendMessageW(GetParent(handle_), WM_NOTIFY, header.idFrom, reinterpret_cast<LPARAM>(&header));
}

bool BaseWindow::onClose() {
    destroyWindow();
    return true;
}

LRESULT BaseWindow::onCreateDefault(CREATESTRUCTW* createData) {
    return windowProc(handle_, WM_CREATE, 0, reinterpret_cast<LPARAM>(createData));
}

bool BaseWindow::onCreate() { return false; }

LRESULT BaseWindow::onNotify(WPARAM wParam, LPARAM lParam) { return windowProc(handle_, WM_NOTIFY, wParam, lParam); }

LRESULT BaseWindow::onSize(WPARAM type, LPARAM size) { return windowProc(handle_, WM_SIZE, type, size); }

bool BaseWindow::onTimer(UINT_PTR, LPARAM) { return false; }

bool BaseWindow::onFocusGained(HWND) { return false; }

bool BaseWindow::onDropFiles(HDROP drop) {
    std::vector<std::u16string> paths;
    UINT count = DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0);
    for (UINT i = 0; i < count; ++i) {
        // Read each path whole: a long path cut short would name another file.
        UINT length = DragQueryFileW(drop, i, nullptr, 0);
        std::u16string path(length + 1, u'\0');
        UINT copied = DragQueryFileW(drop, i, path.data(), length + 1);
        path.resize(copied);
        paths.push_back(std::move(path));
    }
    DragFinish(drop);
    return onFilesDropped(paths);
}

bool BaseWindow::onFilesDropped(const std::vector<std::u16string>&) { return false; }

void BaseWindow::registerWindowClass(const std::u16string& name, const std::u16string& menuName, UINT classStyle) {
    if (!className_.empty()) return;
    std::u16string className = name.substr(0, kMaxClassName);
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof(windowClass);
    windowClass.style = classStyle;
    windowClass.lpfnWndProc = &BaseWindow::toolkitWindowProc;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
    windowClass.lpszMenuName = menuName.empty() ? nullptr : menuName.c_str();
    windowClass.lpszClassName = className.c_str();
    // A class already registered by another object of the same kind is reused.
    RegisterClassExW(&windowClass);
    className_ = className;
}

LRESULT BaseWindow::windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (previousProc_) return CallWindowProcW(previousProc_, window, message, wParam, lParam);
    return DefWindowProcW(window, message, wParam, lParam);
}

bool BaseWindow::subclassWindow(HWND control) {
    if (!control || !IsWindow(control)) return false;
    handle_ = control;
    SetWindowLongPtrW(control, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    LONG_PTR previous =
        SetWindowLongPtrW(control, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&BaseWindow::toolkitWindowProc));
    previousProc_ = reinterpret_cast<WNDPROC>(previous);
    if (previousProc_ == &BaseWindow::toolkitWindowProc) previousProc_ = nullptr;
    return true;
}

bool BaseWindow::moveFocus(FocusDirection direction, HWND from) {
    const bool forward = direction == FocusDirection::Forward;
    const HWND start = from ? from : handle_;
    if (!start) return false;
    HWND current = start;
    // The walk visits each window a bounded number of times; the guard only
    // protects against a tree changed by a focus handler during the walk.
    for (int guard = 0; guard < 100000; ++guard) {
        HWND next = GetWindow(current, forward ? GW_HWNDNEXT : GW_HWNDPREV);
        if (!next) {
            HWND parent = childParent(current);
            if (!parent) {
                // Top-level siblings do not take part; wrap inside the own level.
                next = GetWindow(current, forward ? GW_HWNDFIRST : GW_HWNDLAST);
            } else {
                // A top-level parent's 0x10000 bit is its maximise box, not a
                // tab stop: only child parents can take the focus here.
                if (childParent(parent) && isTabStop(parent)) {
                    if (!isDialog(parent)) {
                        SetFocus(parent);
                        return true;
                    }
                    if (isDialog(childParent(parent))) {
                        current = parent;
                        continue;
                    }
                }
                HWND first = GetWindow(parent, GW_CHILD);
                next = forward ? first : GetWindow(first, GW_HWNDLAST);
            }
        }
        if (!next || next == start) return false;
        if (isTabStop(next)) {
            SetFocus(next);
            return true;
        }
        current = next;
    }
    return false;
}

std::u16string BaseWindow::effectiveClassName() const {
    if (!className_.empty()) return className_;
    return handle_ ? classNameOf(handle_) : std::u16string();
}

BaseWindow* BaseWindow::fromHandle(HWND window) {
    if (!window) return nullptr;
    return reinterpret_cast<BaseWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
}

LRESULT BaseWindow::toolkitWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    BaseWindow* self = fromHandle(window);
    if (!self) {
        if ((message == WM_NCCREATE || message == WM_CREATE) && lParam) {
            self = static_cast<BaseWindow*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
            if (self) {
                self->handle_ = window;
                SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
            }
        }
        if (!self) return DefWindowProcW(window, message, wParam, lParam);
    }
    switch (message) {
        case WM_CREATE:
            if (self->onCreate()) return 0;
            return self->onCreateDefault(reinterpret_cast<CREATESTRUCTW*>(lParam));
        case WM_SIZE:
            self->onSize(wParam, lParam);
            return 0;
        case WM_CLOSE:
            if (!self->onClose()) return 0;
            if (self->handle_ == window && IsWindow(window)) self->destroyWindow();
            break;
        case WM_COMMAND:
            self->onCommand(wParam, lParam);
            return 0;
        case WM_NOTIFY:
            return self->onNotify(wParam, lParam);
        case WM_TIMER:
            if (self->onTimer(wParam, lParam)) return 0;
            break;
        case WM_DROPFILES:
            if (self->onDropFiles(reinterpret_cast<HDROP>(wParam))) return 0;
            break;
        default:
            break;
    }
    LRESULT result = self->windowProc(window, message, wParam, lParam);
    if (message == WM_DESTROY) {
        if (self->previousProc_) {
            SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(self->previousProc_));
            self->previousProc_ = nullptr;
        }
        // Detach so that the messages still to come (WM_NCDESTROY) never reach
        // an object that may be gone by then.
        SetWindowLongPtrW(window, GWLP_USERDATA, 0);
        if (self->handle_ == window) self->handle_ = nullptr;
    }
    return result;
}

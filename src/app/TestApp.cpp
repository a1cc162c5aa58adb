#include "app/TestApp.h"

#include <string>

#include "platform/api/Monitors.h"

namespace {

HWND recordedMainWindow = nullptr;

constexpr int kDefaultWidth = 640;
constexpr int kDefaultHeight = 480;
constexpr int kWheelRedirectDepth = 5;

int readInt(const std::u16string& path, const char16_t* key, int defaultValue) {
    return static_cast<int>(GetPrivateProfileIntW(u"Window", key, defaultValue, path.c_str()));
}

bool writeInt(const std::u16string& path, const char16_t* key, int value) {
    std::string narrow = std::to_string(value);
    std::u16string text(narrow.begin(), narrow.end());
    return WritePrivateProfileStringW(u"Window", key, text.c_str(), path.c_str()) != FALSE;
}

}  // namespace

HWND mainWindow() { return recordedMainWindow; }

void redirectMouseWheel(MSG& msg) {
    if (msg.message != WM_MOUSEWHEEL) return;
    POINT pointer{};
    GetCursorPos(&pointer);
    HWND under = WindowFromPoint(pointer);
    if (!under) return;
    HWND reached = under;
    for (int step = 0; step < kWheelRedirectDepth; ++step) {
        HWND parent = GetParent(reached);
        if (!parent) break;
        reached = parent;
    }
    if (reached == recordedMainWindow) msg.hwnd = under;
}

TestApp::TestApp(std::u16string settingsPath) : settingsPath_(std::move(settingsPath)) {}

TestApp::~TestApp() {
    content_.destroyWindow();
    destroyWindow();
}

bool TestApp::createMainWindow() {
    destroyWindow();
    registerWindowClass(u"MainFrame", u"", 0);
    HWND window = CreateWindowExW(0, className_.c_str(), u"", WS_OVERLAPPEDWINDOW, CW_USEDEFAULT, CW_USEDEFAULT,
                                  CW_USEDEFAULT, CW_USEDEFAULT, nullptr, nullptr, nullptr, this);
    if (!window) handle_ = nullptr;
    return window != nullptr;
}

bool TestApp::onCreate() {
    recordedMainWindow = handle_;
    content_.create(handle_);
    loadPlacement(settingsPath_);
    ShowWindow(handle_, SW_SHOWNORMAL);
    RECT client{};
    GetClientRect(handle_, &client);
    SendMessageW(handle_, WM_SIZE, SIZE_RESTORED, MAKELPARAM(client.right, client.bottom));
    return true;
}

void TestApp::onCommand(WPARAM wParam, LPARAM lParam) {
    if (content_.handle()) SendMessageW(content_.handle(), WM_COMMAND, wParam, lParam);
}

bool TestApp::onClose() {
    if (HWND component = content_.handle()) {
        SendMessageW(component, WM_CLOSE, 0, 0);
        // The content refused (the user cancelled, for instance).
        if (IsWindow(component)) return false;
    }
    savePlacement(settingsPath_);
    destroyWindow();
    return true;
}

LRESULT TestApp::onSize(WPARAM, LPARAM size) {
    content_.setBounds(0, 0, LOWORD(size), HIWORD(size));
    return 0;
}

LRESULT TestApp::onNotify(WPARAM wParam, LPARAM lParam) {
    const auto* header = reinterpret_cast<const NMHDR*>(lParam);
    if (firstPaint_ && header && header->hwndFrom == content_.handle() &&
        static_cast<int>(header->code) == EventCode::Painted) {
        auto handler = std::move(firstPaint_);
        firstPaint_ = nullptr;
        handler();
    }
    return BaseWindow::onNotify(wParam, lParam);
}

LRESULT TestApp::windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    // The session's end reaches the content as closing does: it may ask (or,
    // with nobody to answer, keep what is unsaved) and then it closes without
    // asking again.
    if (message == WM_QUERYENDSESSION) {
        HWND component = content_.handle();
        return component ? SendMessageW(component, WM_QUERYENDSESSION, wParam, lParam) : TRUE;
    }
    if (message == WM_ENDSESSION) {
        if (HWND component = content_.handle()) SendMessageW(component, WM_ENDSESSION, wParam, lParam);
        if (wParam) SendMessageW(window, WM_CLOSE, 0, 0);
        return 0;
    }
    if (message == WM_DESTROY) {
        if (recordedMainWindow == window) recordedMainWindow = nullptr;
        PostQuitMessage(0);
    }
    if (message == WM_ERASEBKGND) return 1;
    return BaseWindow::windowProc(window, message, wParam, lParam);
}

bool TestApp::loadPlacement(const std::u16string& settingsPath) {
    if (!handle_) return false;
    int height = readInt(settingsPath, u"MainHeight", kDefaultHeight);
    int width = readInt(settingsPath, u"MainWidth", kDefaultWidth);
    int top = readInt(settingsPath, u"MainTop", (GetSystemMetrics(SM_CYSCREEN) - kDefaultHeight) / 2);
    int left = readInt(settingsPath, u"MainLeft", (GetSystemMetrics(SM_CXSCREEN) - kDefaultWidth) / 2);
    // A damaged file must not give a window that cannot be seen or grabbed.
    if (width <= 0) width = kDefaultWidth;
    if (height <= 0) height = kDefaultHeight;
    RECT r{left, top, left + width, top + height};
    MONITORINFO monitor{};
    monitor.cbSize = sizeof(monitor);
    if (GetMonitorInfoW(MonitorFromRect(&r, MONITOR_DEFAULTTONEAREST), &monitor)) {
        const RECT& m = monitor.rcMonitor;
        if (r.right > m.right) OffsetRect(&r, m.right - r.right, 0);
        if (r.left < m.left) OffsetRect(&r, m.left - r.left, 0);
        if (r.bottom > m.bottom) OffsetRect(&r, 0, m.bottom - r.bottom);
        if (r.top < m.top) OffsetRect(&r, 0, m.top - r.top);
    }
    SetWindowPos(handle_, nullptr, r.left, r.top, width, height, SWP_NOZORDER | SWP_HIDEWINDOW);
    return true;
}

bool TestApp::savePlacement(const std::u16string& settingsPath) {
    if (!handle_ || !IsWindow(handle_)) return false;
    WINDOWPLACEMENT placement{};
    placement.length = sizeof(placement);
    if (!GetWindowPlacement(handle_, &placement)) return false;
    const RECT& r = placement.rcNormalPosition;
    bool ok = writeInt(settingsPath, u"MainLeft", r.left);
    ok = writeInt(settingsPath, u"MainTop", r.top) && ok;
    ok = writeInt(settingsPath, u"MainWidth", r.right - r.left) && ok;
    ok = writeInt(settingsPath, u"MainHeight", r.bottom - r.top) && ok;
    ok = WritePrivateProfileStringW(u"Window", u"Zoomed", IsZoomed(handle_) ? u"1" : u"0", settingsPath.c_str()) && ok;
    return ok;
}

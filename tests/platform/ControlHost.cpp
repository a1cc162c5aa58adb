#include "ControlHost.h"

namespace veltrix::test {

namespace headless = platform::headless;

ControlHost::ControlHost() {
    WNDCLASSEXW wc{};
    if (!GetClassInfoExW(nullptr, u"ControlHost", &wc)) {
        wc = WNDCLASSEXW{};
        wc.cbSize = sizeof wc;
        wc.lpfnWndProc = proc;
        wc.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<std::intptr_t>(COLOR_BTNFACE + 1));
        wc.lpszClassName = u"ControlHost";
        RegisterClassExW(&wc);
    }
    headless::pumpMessages();
    frame_ = CreateWindowExW(0, u"ControlHost", u"Controls", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 100, 80, 420, 300,
                             nullptr, nullptr, nullptr, nullptr);
    SetWindowLongPtrW(frame_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    headless::pumpMessages();
}

ControlHost::~ControlHost() {
    if (GetCapture()) ReleaseCapture();
    for (int vk : {VK_SHIFT, VK_CONTROL, VK_MENU})
        if (GetKeyState(vk) < 0) headless::key(vk, false);
    SetWindowLongPtrW(frame_, GWLP_USERDATA, 0);
    DestroyWindow(frame_);
    editBrush_.reset();
    headless::pumpMessages();
}

HWND ControlHost::create(LPCWSTR className, LPCWSTR text, DWORD style, int x, int y, int width, int height, int id,
                         DWORD exStyle) {
    HWND w = CreateWindowExW(exStyle, className, text, style, x, y, width, height, frame_,
                             reinterpret_cast<HMENU>(static_cast<std::intptr_t>(id)), nullptr, nullptr);
    headless::pumpMessages();
    notifications_.clear();
    return w;
}

std::vector<int> ControlHost::takeCodes() {
    std::vector<int> codes;
    for (const Notification& n : notifications_) codes.push_back(n.code);
    notifications_.clear();
    return codes;
}

void ControlHost::setEditColour(COLORREF colour) {
    editBrush_.reset(colour == CLR_INVALID ? nullptr : CreateSolidBrush(colour));
}

POINT ControlHost::screen(HWND window, int x, int y) {
    POINT p{x, y};
    ClientToScreen(window, &p);
    return p;
}

void ControlHost::chord(std::initializer_list<int> modifiers, int key) {
    for (int m : modifiers) headless::key(m, true);
    headless::pressKey(key);
    for (int m : modifiers) headless::key(m, false);
    headless::pumpMessages();
}

std::u16string ControlHost::text(HWND window) {
    int n = GetWindowTextLengthW(window);
    std::u16string t(static_cast<std::size_t>(n) + 1, u'\0');
    GetWindowTextW(window, t.data(), n + 1);
    t.resize(static_cast<std::size_t>(n));
    return t;
}

LRESULT ControlHost::proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* host = reinterpret_cast<ControlHost*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (host && message == WM_COMMAND) {
        host->notifications_.push_back({message, reinterpret_cast<HWND>(lParam), HIWORD(wParam), {}});
        return 0;
    }
    if (host && message == WM_NOTIFY && lParam) {
        auto* header = reinterpret_cast<const NMHDR*>(lParam);
        Notification n{message, header->hwndFrom, static_cast<int>(header->code), {}};
        if (header->code == DTN_DATETIMECHANGE) n.date = reinterpret_cast<const NMDATETIMECHANGE*>(lParam)->st;
        host->notifications_.push_back(n);
        return 0;
    }
    if (host && host->editBrush_ && message == WM_CTLCOLOREDIT) {
        SetTextColor(reinterpret_cast<HDC>(wParam), RGB(0x20, 0x20, 0x60));
        return reinterpret_cast<LRESULT>(host->editBrush_.get());
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace veltrix::test

#include "MessageLog.h"

#include <map>
#include <sstream>

namespace veltrix::test {

namespace {

// Messages a sequence test leaves out: queries that come and go with any
// drawing or pointer movement.
bool ignored(UINT m) {
    switch (m) {
        case WM_GETTEXT:
        case WM_GETTEXTLENGTH:
        case WM_NCHITTEST:
        case WM_SETCURSOR:
        case WM_GETFONT:
        case WM_GETMINMAXINFO:
        case WM_NCPAINT:
        case WM_ERASEBKGND:
        case WM_PAINT:
            return true;
        default:
            return false;
    }
}

}  // namespace

MessageLog& MessageLog::instance() {
    static MessageLog log;
    return log;
}

void MessageLog::name(HWND window, std::string name) { names_.emplace_back(window, std::move(name)); }

std::string MessageLog::nameOf(HWND window) const {
    for (auto it = names_.rbegin(); it != names_.rend(); ++it)
        if (it->first == window) return it->second;
    return "?";
}

void MessageLog::add(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    log_.push_back({window, message, wParam, lParam});
}

std::vector<LoggedMessage> MessageLog::of(UINT message) const {
    std::vector<LoggedMessage> out;
    for (const auto& e : log_)
        if (e.message == message) out.push_back(e);
    return out;
}

std::string MessageLog::describe() const {
    std::ostringstream out;
    for (const auto& e : log_)
        if (!ignored(e.message)) out << nameOf(e.window) << ":" << messageName(e.message) << "\n";
    return out.str();
}

::testing::AssertionResult MessageLog::matches(const std::vector<Expected>& expected) const {
    std::ostringstream want;
    for (const auto& e : expected) want << e.window << ":" << messageName(e.message) << "\n";
    std::string got = describe();
    if (got == want.str()) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "expected:\n" << want.str() << "got:\n" << got;
}

LRESULT loggingProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    MessageLog::instance().add(window, message, wParam, lParam);
    return DefWindowProcW(window, message, wParam, lParam);
}

namespace {
LPCWSTR registerOnce(LPCWSTR name, UINT style) {
    WNDCLASSEXW wc{};
    if (!GetClassInfoExW(nullptr, name, &wc)) {
        wc.cbSize = sizeof wc;
        wc.style = style;
        wc.lpfnWndProc = loggingProc;
        wc.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<std::uintptr_t>(COLOR_WINDOW + 1));
        wc.lpszClassName = name;
        RegisterClassExW(&wc);
    }
    return name;
}
}  // namespace

LPCWSTR loggedClass() { return registerOnce(u"Logged", 0); }
LPCWSTR loggedDoubleClickClass() { return registerOnce(u"LoggedDbl", CS_DBLCLKS); }

std::string messageName(UINT m) {
    static const std::map<UINT, const char*> names = {
        {WM_CREATE, "WM_CREATE"},
        {WM_DESTROY, "WM_DESTROY"},
        {WM_MOVE, "WM_MOVE"},
        {WM_SIZE, "WM_SIZE"},
        {WM_ACTIVATE, "WM_ACTIVATE"},
        {WM_SETFOCUS, "WM_SETFOCUS"},
        {WM_KILLFOCUS, "WM_KILLFOCUS"},
        {WM_ENABLE, "WM_ENABLE"},
        {WM_SETTEXT, "WM_SETTEXT"},
        {WM_PAINT, "WM_PAINT"},
        {WM_CLOSE, "WM_CLOSE"},
        {WM_SHOWWINDOW, "WM_SHOWWINDOW"},
        {WM_ACTIVATEAPP, "WM_ACTIVATEAPP"},
        {WM_WINDOWPOSCHANGING, "WM_WINDOWPOSCHANGING"},
        {WM_WINDOWPOSCHANGED, "WM_WINDOWPOSCHANGED"},
        {WM_STYLECHANGING, "WM_STYLECHANGING"},
        {WM_STYLECHANGED, "WM_STYLECHANGED"},
        {WM_NCCREATE, "WM_NCCREATE"},
        {WM_NCDESTROY, "WM_NCDESTROY"},
        {WM_NCCALCSIZE, "WM_NCCALCSIZE"},
        {WM_NCACTIVATE, "WM_NCACTIVATE"},
        {WM_KEYDOWN, "WM_KEYDOWN"},
        {WM_KEYUP, "WM_KEYUP"},
        {WM_CHAR, "WM_CHAR"},
        {WM_SYSCOMMAND, "WM_SYSCOMMAND"},
        {WM_TIMER, "WM_TIMER"},
        {WM_MOUSEMOVE, "WM_MOUSEMOVE"},
        {WM_LBUTTONDOWN, "WM_LBUTTONDOWN"},
        {WM_LBUTTONUP, "WM_LBUTTONUP"},
        {WM_LBUTTONDBLCLK, "WM_LBUTTONDBLCLK"},
        {WM_RBUTTONDOWN, "WM_RBUTTONDOWN"},
        {WM_RBUTTONUP, "WM_RBUTTONUP"},
        {WM_MOUSEWHEEL, "WM_MOUSEWHEEL"},
        {WM_PARENTNOTIFY, "WM_PARENTNOTIFY"},
        {WM_CAPTURECHANGED, "WM_CAPTURECHANGED"},
        {WM_MOUSELEAVE, "WM_MOUSELEAVE"},
        {WM_USER, "WM_USER"},
        {WM_COMMAND, "WM_COMMAND"},
    };
    auto it = names.find(m);
    if (it != names.end()) return it->second;
    std::ostringstream out;
    out << "0x" << std::hex << m;
    return out.str();
}

}  // namespace veltrix::test

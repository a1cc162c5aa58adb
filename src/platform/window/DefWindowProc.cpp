// The default answers of every window procedure.
#include <algorithm>

#include "platform/api/GdiHandles.h"
#include "platform/display/Display.h"
#include "platform/window/InputMethod.h"
#include "platform/window/WindowManager.h"

using namespace veltrix::platform;

namespace {

constexpr UINT SWP_NOCLIENTSIZE = 0x0800;
constexpr UINT SWP_NOCLIENTMOVE = 0x1000;
constexpr WPARAM SC_CLOSE = 0xF060;

void setText(HWND window, LPCWSTR text) {
    bool topLevel = false;
    std::u16string value = text ? std::u16string(text) : std::u16string();
    {
        auto lock = WindowManager::lock();
        WindowState& m = *lock;
        Window* w = m.find(window);
        if (!w) return;
        w->text = value;
        topLevel = w->isTopLevel();
    }
    if (topLevel) display().setTitle(window, value);
}

HBRUSH backgroundBrush(HWND window) {
    HBRUSH b = nullptr;
    {
        auto lock = WindowManager::lock();
        WindowState& m = *lock;
        Window* w = m.find(window);
        if (!w) return nullptr;
        b = w->windowClass->info.hbrBackground;
    }
    // Outside the window lock: the system brushes are GDI's.
    auto value = reinterpret_cast<std::uintptr_t>(b);
    // COLOR_x + 1 stands for the system colour's brush, as on Windows.
    if (value > 0 && value <= 31) return GetSysColorBrush(static_cast<int>(value - 1));
    return b;
}

void paintFrame(HWND window) {
    DWORD style = static_cast<DWORD>(GetWindowLongW(window, GWL_STYLE));
    DWORD exStyle = static_cast<DWORD>(GetWindowLongW(window, GWL_EXSTYLE));
    if (!(style & WS_BORDER) && !(exStyle & WS_EX_CLIENTEDGE)) return;
    const WindowDC windowDc(window);
    HDC dc = windowDc.get();
    if (!dc) return;
    RECT r;
    GetWindowRect(window, &r);
    OffsetRect(&r, -r.left, -r.top);
    if (exStyle & WS_EX_CLIENTEDGE) {
        DrawEdge(dc, &r, EDGE_SUNKEN, BF_RECT);
        InflateRect(&r, -2, -2);
    }
    if (style & WS_BORDER) FrameRect(dc, &r, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
}

}  // namespace

LRESULT DefWindowProcW(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_NCCREATE: {
            auto* cs = reinterpret_cast<const CREATESTRUCTW*>(lParam);
            if (cs && cs->lpszName) setText(window, cs->lpszName);
            return TRUE;
        }
        case WM_SETTEXT:
            setText(window, reinterpret_cast<LPCWSTR>(lParam));
            return TRUE;
        case WM_GETTEXT: {
            auto* buffer = reinterpret_cast<LPWSTR>(lParam);
            if (!buffer || wParam == 0) return 0;
            auto lock = WindowManager::lock();
            WindowState& m = *lock;
            Window* w = m.find(window);
            if (!w) return 0;
            std::size_t n = std::min<std::size_t>(wParam - 1, w->text.size());
            std::copy_n(w->text.data(), n, buffer);
            buffer[n] = 0;
            return static_cast<LRESULT>(n);
        }
        case WM_GETTEXTLENGTH: {
            auto lock = WindowManager::lock();
            WindowState& m = *lock;
            Window* w = m.find(window);
            return w ? static_cast<LRESULT>(w->text.size()) : 0;
        }
        case WM_PAINT: {
            const PaintDC validate(window);
            return 0;
        }
        case WM_ERASEBKGND: {
            HBRUSH brush = backgroundBrush(window);
            if (!brush) return 0;
            RECT r;
            GetClientRect(window, &r);
            FillRect(reinterpret_cast<HDC>(wParam), &r, brush);
            return 1;
        }
        case WM_NCPAINT:
            paintFrame(window);
            return 0;
        case WM_CLOSE:
            DestroyWindow(window);
            return 0;
        case WM_QUERYENDSESSION:
            return TRUE;
        case kOleFileDropMessage:
            deliverOleFileDrop(window, reinterpret_cast<HDROP>(wParam),
                               POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)});
            return 0;
        case WM_SYSCOMMAND:
            if ((wParam & 0xFFF0) == SC_CLOSE) sendTo(window, WM_CLOSE, 0, 0);
            return 0;
        case WM_WINDOWPOSCHANGED: {
            auto* pos = reinterpret_cast<const WINDOWPOS*>(lParam);
            if (!pos) return 0;
            RECT client{}, rect{};
            {
                auto lock = WindowManager::lock();
                WindowState& m = *lock;
                Window* w = m.find(window);
                if (!w) return 0;
                client = w->client;
                rect = w->rect;
            }
            if (!(pos->flags & SWP_NOCLIENTSIZE))
                sendTo(window, WM_SIZE, SIZE_RESTORED,
                       MAKELPARAM(client.right - client.left, client.bottom - client.top));
            if (!(pos->flags & SWP_NOCLIENTMOVE))
                sendTo(window, WM_MOVE, 0, MAKELPARAM(rect.left + client.left, rect.top + client.top));
            return 0;
        }
        case WM_NCHITTEST: {
            POINT p{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
            RECT r;
            if (!GetWindowRect(window, &r) || !PtInRect(&r, p)) return HTNOWHERE;
            RECT c;
            GetClientRect(window, &c);
            ScreenToClient(window, &p);
            return PtInRect(&c, p) ? HTCLIENT : HTBORDER;
        }
        case WM_SETCURSOR: {
            HWND parent = nullptr;
            HCURSOR cursor = nullptr;
            {
                auto lock = WindowManager::lock();
                WindowState& m = *lock;
                Window* w = m.find(window);
                if (!w) return FALSE;
                parent = w->parent;
                // The cursor is that of the window under the pointer (wParam),
                // which a parent asked first on a child's behalf must not replace
                // with its own.
                Window* under = m.find(reinterpret_cast<HWND>(wParam));
                cursor = (under ? under : w)->windowClass->info.hCursor;
            }
            if (parent && sendTo(parent, WM_SETCURSOR, wParam, lParam)) return TRUE;
            if (LOWORD(static_cast<DWORD_PTR>(lParam)) == HTCLIENT) {
                SetCursor(cursor ? cursor : LoadCursorW(nullptr, IDC_ARROW));
                return TRUE;
            }
            SetCursor(LoadCursorW(nullptr, IDC_ARROW));
            return FALSE;
        }
        case WM_ACTIVATE:
            if (LOWORD(wParam) != WA_INACTIVE) {
                HWND restore = nullptr;
                {
                    auto lock = WindowManager::lock();
                    WindowState& m = *lock;
                    Window* w = m.find(window);
                    if (!w) return 0;
                    if (w->lastFocus && m.find(w->lastFocus) && m.isDescendant(window, w->lastFocus))
                        restore = w->lastFocus;
                }
                SetFocus(restore ? restore : window);
            }
            return 0;
        case WM_NCACTIVATE:
            return TRUE;
        case WM_IME_COMPOSITION:
        case WM_IME_CHAR:
            return defaultImeProc(window, message, wParam, lParam);
        case WM_MOUSEACTIVATE:
            return 1;  // MA_ACTIVATE
        case WM_SETFONT: {
            auto lock = WindowManager::lock();
            WindowState& m = *lock;
            if (Window* w = m.find(window)) w->font = reinterpret_cast<HFONT>(wParam);
            return 0;
        }
        case WM_GETFONT: {
            auto lock = WindowManager::lock();
            WindowState& m = *lock;
            Window* w = m.find(window);
            return w ? reinterpret_cast<LRESULT>(w->font) : 0;
        }
        case WM_MOUSEWHEEL:
        case WM_CONTEXTMENU: {
            // Unhandled wheel turns and context menus travel up to the parent.
            HWND parent = GetAncestor(window, GA_PARENT);
            return parent ? sendTo(parent, message, wParam, lParam) : 0;
        }
        default:
            return 0;
    }
}

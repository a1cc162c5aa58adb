// The push button and static text of the layer's dialogs.
#include <mutex>
#include <string>

#include "platform/api/GdiHandles.h"
#include "platform/controls/Controls.h"
#include "platform/controls/DialogClasses.h"
#include "platform/controls/Painter.h"
#include "platform/controls/Theme.h"
#include "platform/win32.h"

namespace veltrix::platform::controls {

namespace {

// The button's state lives in its window extra bytes as bit flags.
enum ButtonFlag : LONG_PTR { Pressed = 1, Hot = 2, Tracking = 4, SpaceDown = 8 };

constexpr COLORREF kAccent = RGB(0x00, 0x67, 0xC0);
constexpr COLORREF kAccentPressed = RGB(0x00, 0x50, 0x9A);
constexpr COLORREF kFocusRing = RGB(0x1A, 0x1A, 0x1A);

LONG_PTR flagsOf(HWND w) { return GetWindowLongPtrW(w, 0); }
void setFlag(HWND w, LONG_PTR flag, bool on) {
    LONG_PTR f = flagsOf(w);
    LONG_PTR g = on ? (f | flag) : (f & ~flag);
    if (f != g) {
        SetWindowLongPtrW(w, 0, g);
        InvalidateRect(w, nullptr, FALSE);
    }
}

bool isDefault(HWND w) { return (GetWindowLongW(w, GWL_STYLE) & BS_TYPEMASK) == BS_DEFPUSHBUTTON; }

std::u16string textOf(HWND w) {
    int n = GetWindowTextLengthW(w);
    std::u16string s(static_cast<std::size_t>(n) + 1, u'\0');
    n = GetWindowTextW(w, s.data(), n + 1);
    s.resize(static_cast<std::size_t>(n > 0 ? n : 0));
    return s;
}

HFONT fontOf(HWND w) { return fontOrDefault(reinterpret_cast<HFONT>(SendMessageW(w, WM_GETFONT, 0, 0))); }

// The parent's background through WM_CTLCOLORSTATIC, else the button face.
COLORREF parentBackground(HWND w, HDC dc) {
    HWND parent = GetAncestor(w, GA_PARENT);
    auto brush = parent ? reinterpret_cast<HBRUSH>(SendMessageW(parent, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
                                                                reinterpret_cast<LPARAM>(w)))
                        : nullptr;
    if (brush) {
        LOGBRUSH lb{};
        if (GetObjectW(brush, sizeof lb, &lb)) return lb.lbColor;
    }
    return GetSysColor(COLOR_BTNFACE);
}

void click(HWND w) {
    if (!IsWindowEnabled(w)) return;
    notifyParent(w, BN_CLICKED);
}

bool inside(HWND w, LPARAM lParam) {
    RECT r;
    GetClientRect(w, &r);
    POINT p{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    return PtInRect(&r, p) != FALSE;
}

void paintButton(HWND w) {
    const PaintDC painting(w);
    HDC dc = painting.get();
    RECT r;
    GetClientRect(w, &r);
    theme::fill(dc, r, parentBackground(w, dc));
    LONG_PTR f = flagsOf(w);
    bool enabled = IsWindowEnabled(w) != FALSE;
    bool focused = GetFocus() == w;
    bool def = isDefault(w);
    bool down = (f & Pressed) && (f & Hot);
    RECT face = r;
    InflateRect(&face, -2, -2);
    COLORREF fill = def ? (down ? kAccentPressed : kAccent)
                        : (down        ? RGB(0xCC, 0xE4, 0xF7)
                           : (f & Hot) ? theme::kHover
                                       : RGB(0xFD, 0xFD, 0xFD));
    COLORREF border = def ? kAccentPressed : RGB(0xB8, 0xB8, 0xB8);
    if (!enabled) {
        fill = theme::kDisabledBackground;
        border = RGB(0xD0, 0xD0, 0xD0);
    }
    if (focused) painter::roundRect(dc, r, 6, parentBackground(w, dc), kFocusRing, 2);
    painter::roundRect(dc, face, 4, fill, border, 1);
    SelectedObject selection(dc, fontOf(w));
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, !enabled ? theme::kDisabledText : def ? RGB(0xFF, 0xFF, 0xFF) : theme::kFieldText);
    std::u16string text = textOf(w);
    DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &face,
              DT_SINGLELINE | DT_CENTER | DT_VCENTER | DT_NOPREFIX);
}

void paintStatic(HWND w) {
    const PaintDC painting(w);
    HDC dc = painting.get();
    RECT r;
    GetClientRect(w, &r);
    theme::fill(dc, r, parentBackground(w, dc));
    SelectedObject selection(dc, fontOf(w));
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, IsWindowEnabled(w) ? theme::kFieldText : theme::kDisabledText);
    const DWORD style = static_cast<DWORD>(GetWindowLongW(w, GWL_STYLE));
    const DWORD alignment = style & 0x3;
    UINT format = alignment == SS_CENTER ? DT_CENTER : alignment == SS_RIGHT ? DT_RIGHT : DT_LEFT;
    // Labels name their field's access key with "&", as on Windows.
    if (style & SS_NOPREFIX) format |= DT_NOPREFIX;
    std::u16string text = textOf(w);
    DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &r, format | DT_WORDBREAK);
}

}  // namespace

LRESULT buttonProc(HWND w, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_PAINT:
            paintButton(w);
            return 0;
        case WM_ERASEBKGND:
            return 1;
        case WM_GETDLGCODE:
            return DLGC_BUTTON | (isDefault(w) ? DLGC_DEFPUSHBUTTON : DLGC_UNDEFPUSHBUTTON);
        case WM_SETFOCUS:
        case WM_KILLFOCUS:
            if (message == WM_KILLFOCUS) setFlag(w, Pressed | SpaceDown, false);
            InvalidateRect(w, nullptr, FALSE);
            return 0;
        case WM_ENABLE:
            InvalidateRect(w, nullptr, FALSE);
            return 0;
        case WM_SETTEXT: {
            LRESULT r = DefWindowProcW(w, message, wParam, lParam);
            InvalidateRect(w, nullptr, FALSE);
            return r;
        }
        case WM_MOUSEMOVE: {
            if (!(flagsOf(w) & Tracking)) {
                TRACKMOUSEEVENT t{sizeof t, TME_LEAVE, w, HOVER_DEFAULT};
                TrackMouseEvent(&t);
                setFlag(w, Tracking, true);
            }
            setFlag(w, Hot, inside(w, lParam));
            return 0;
        }
        case WM_MOUSELEAVE:
            setFlag(w, Tracking | Hot, false);
            return 0;
        case WM_LBUTTONDOWN:
        case WM_LBUTTONDBLCLK:
            SetFocus(w);
            SetCapture(w);
            setFlag(w, Pressed | Hot, true);
            return 0;
        case WM_LBUTTONUP: {
            bool wasPressed = flagsOf(w) & Pressed;
            setFlag(w, Pressed, false);
            if (GetCapture() == w) ReleaseCapture();
            if (wasPressed && inside(w, lParam)) click(w);
            return 0;
        }
        case WM_KEYDOWN:
            if (wParam == VK_SPACE) setFlag(w, Pressed | Hot | SpaceDown, true);
            return 0;
        case WM_KEYUP:
            if (wParam == VK_SPACE && (flagsOf(w) & SpaceDown)) {
                setFlag(w, Pressed | Hot | SpaceDown, false);
                click(w);
            }
            return 0;
        case BM_CLICK:
            click(w);
            return 0;
        case BM_SETSTYLE: {
            DWORD style = static_cast<DWORD>(GetWindowLongW(w, GWL_STYLE));
            SetWindowLongW(w, GWL_STYLE, static_cast<LONG>((style & ~BS_TYPEMASK) | (wParam & BS_TYPEMASK)));
            if (lParam) InvalidateRect(w, nullptr, FALSE);
            return 0;
        }
        default:
            return DefWindowProcW(w, message, wParam, lParam);
    }
}

LRESULT staticProc(HWND w, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_PAINT:
            paintStatic(w);
            return 0;
        case WM_ERASEBKGND:
            return 1;
        case WM_GETDLGCODE:
            return DLGC_STATIC;
        case WM_NCHITTEST:
            return HTTRANSPARENT;
        case WM_ENABLE:
            InvalidateRect(w, nullptr, FALSE);
            return 0;
        case WM_SETTEXT: {
            LRESULT r = DefWindowProcW(w, message, wParam, lParam);
            InvalidateRect(w, nullptr, FALSE);
            return r;
        }
        default:
            return DefWindowProcW(w, message, wParam, lParam);
    }
}

void registerDialogClasses() {
    static std::once_flag once;
    std::call_once(once, [] {
        const LayerClass classes[] = {
            {kDialogClassName, DefDlgProcW, CS_DBLCLKS | CS_GLOBALCLASS, DLGWINDOWEXTRA},
            {u"BUTTON", buttonProc, CS_DBLCLKS | CS_GLOBALCLASS, static_cast<int>(sizeof(LONG_PTR))},
            {u"STATIC", staticProc, CS_GLOBALCLASS},
        };
        for (const LayerClass& layerClass : classes) registerLayerClass(layerClass);
    });
}

}  // namespace veltrix::platform::controls

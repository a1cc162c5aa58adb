#include "toolkit/RadioButton.h"

#include "toolkit/Graphics.h"
#include "toolkit/WidgetPainter.h"

using namespace widget_paint;

namespace {

constexpr DWORD kRadioStyleBits = 0x1 | 0x8;

DWORD styleOf(HWND window) { return static_cast<DWORD>(GetWindowLongW(window, GWL_STYLE)); }

}  // namespace

RadioButton::RadioButton() = default;

bool RadioButton::createButton(HWND parent, int controlId, const std::u16string& text, int x, int y, int width,
                               int height) {
    return createWindow(parent, controlId, text, kStyle, x, y, width, height);
}

void RadioButton::click(ClickSource source) {
    if (state_ == 1) {
        state_ = 0;
        repaint();
    }
    StateButton::click(source);
    if (state_ == 1) uncheckSiblings();
}

void RadioButton::uncheckSiblings() {
    if (!handle_) return;
    const HWND self = handle_;
    // The walk is bounded by the number of siblings: each step moves on.
    if (!(styleOf(self) & WS_GROUP)) {
        for (HWND w = GetWindow(self, GW_HWNDPREV); w; w = GetWindow(w, GW_HWNDPREV)) {
            if (styleOf(w) & kRadioStyleBits) SendMessageW(w, BM_SETCHECK, BST_UNCHECKED, 0);
            if (styleOf(w) & WS_GROUP) break;  // the first button of this group
        }
    }
    for (HWND w = GetWindow(self, GW_HWNDNEXT); w; w = GetWindow(w, GW_HWNDNEXT)) {
        if (styleOf(w) & WS_GROUP) break;
        if (styleOf(w) & kRadioStyleBits) SendMessageW(w, BM_SETCHECK, BST_UNCHECKED, 0);
    }
}

LRESULT RadioButton::windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case BM_GETCHECK:
            return state_ == 1 ? BST_CHECKED : BST_UNCHECKED;
        case BM_SETCHECK:
            setState(wParam == BST_CHECKED ? 1 : 0);
            return 0;
        default:
            return CheckBox::windowProc(window, message, wParam, lParam);
    }
}

void RadioButton::paintIndicator(Graphics& g, int x, int y, int size) {
    const bool enabled = !handle_ || isEnabled();
    const bool armed = pressedByKey_ || (pressedByMouse_ && pointerInside());
    COLORREF border = !enabled ? kDisabledBorder : (hover_ || armed || state_ == 1) ? kAccent : kFaceBorder;
    fillEllipse(g, x, y, size, size, !enabled ? kDisabledFace : armed ? kPressedFace : kFace, border);
    if (state_ == 1) {
        COLORREF dot = enabled ? kAccent : kDisabledText;
        fillEllipse(g, x + 4, y + 4, size - 8, size - 8, dot, dot);
    }
}

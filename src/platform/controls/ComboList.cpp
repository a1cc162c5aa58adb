// The pop-up list of a combo box: a top-level window that never takes the
// activation, holds the mouse capture while it shows, and closes on a click
// outside it.
#include <algorithm>

#include "platform/api/GdiHandles.h"
#include "platform/controls/ComboState.h"
#include "platform/controls/Controls.h"
#include "platform/controls/Theme.h"

namespace veltrix::platform::controls {

namespace {

HWND comboOf(HWND list) { return reinterpret_cast<HWND>(GetWindowLongPtrW(list, GWLP_USERDATA)); }

// The row under a client point, or -1 outside the rows.
int rowAt(HWND list, const ComboState& s, POINT p) {
    RECT c;
    GetClientRect(list, &c);
    if (!PtInRect(&c, p)) return -1;
    int row = s.top + (p.y - 1) / std::max(1, s.itemHeight);
    return row >= 0 && row < static_cast<int>(s.items.size()) ? row : -1;
}

void paint(HWND list, ComboState& s) {
    const PaintDC painting(list);
    HDC dc = painting.get();
    if (!dc) return;
    RECT c;
    GetClientRect(list, &c);
    theme::fill(dc, c, theme::kFieldBackground);
    SelectedObject selection(dc, s.font);
    SetBkMode(dc, TRANSPARENT);
    int rows = comboVisibleRows(s);
    bool scrolls = static_cast<int>(s.items.size()) > rows;
    int right = c.right - 1 - (scrolls ? 8 : 0);
    for (int i = 0; i < rows && s.top + i < static_cast<int>(s.items.size()); ++i) {
        int index = s.top + i;
        RECT row{c.left + 1, c.top + 1 + i * s.itemHeight, right, c.top + 1 + (i + 1) * s.itemHeight};
        bool hot = index == s.hot;
        if (hot) theme::fill(dc, row, theme::kSelection);
        SetTextColor(dc, hot ? theme::kSelectionText : theme::kFieldText);
        RECT text = row;
        text.left += 6;
        text.right -= 4;
        const std::u16string& t = s.items[static_cast<std::size_t>(index)].text;
        DrawTextW(dc, t.c_str(), static_cast<int>(t.size()), &text,
                  DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS);
    }
    if (scrolls) {
        // A slim scroll indicator: where the shown rows lie in the whole list.
        int track = c.bottom - 4;
        int count = static_cast<int>(s.items.size());
        int thumb = std::max(12, track * rows / count);
        int y = 2 + (track - thumb) * s.top / std::max(1, count - rows);
        theme::fill(dc, RECT{c.right - 7, 2, c.right - 3, c.bottom - 2}, theme::kDisabledBackground);
        theme::fill(dc, RECT{c.right - 7, y, c.right - 3, y + thumb}, theme::kFrame);
    }
    selection.restore();
    theme::frame(dc, c, theme::kFrame);
}

}  // namespace

LRESULT comboListProc(HWND list, UINT message, WPARAM wParam, LPARAM lParam) {
    HWND combo = comboOf(list);
    auto keep = combo ? ComboStates::find(combo) : nullptr;
    if (!keep) return DefWindowProcW(list, message, wParam, lParam);
    ComboState& s = *keep;
    POINT p{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    switch (message) {
        case WM_MOUSEACTIVATE:
            return 3;  // MA_NOACTIVATE
        case WM_MOUSEMOVE: {
            int row = rowAt(list, s, p);
            if (row >= 0 && row != s.hot) {
                s.hot = row;
                InvalidateRect(list, nullptr, FALSE);
            }
            return 0;
        }
        case WM_LBUTTONDOWN:
        case WM_RBUTTONDOWN: {
            RECT c;
            GetClientRect(list, &c);
            if (PtInRect(&c, p)) return 0;
            // A press outside ends the list. On the box's own button the press
            // goes no further, so it does not open the list again.
            comboClose(combo, CloseReason::UserCancelled);
            return 0;
        }
        case WM_LBUTTONUP: {
            int row = rowAt(list, s, p);
            if (row >= 0) comboChoose(combo, row);
            return 0;
        }
        case WM_MOUSEWHEEL:
            return SendMessageW(combo, message, wParam, lParam);
        case WM_CAPTURECHANGED:
            // Another window took the mouse (a menu, a dialog): the list goes away.
            if (s.dropped && !s.closing && reinterpret_cast<HWND>(lParam) != list)
                comboClose(combo, CloseReason::Cancelled);
            return 0;
        case WM_ERASEBKGND:
            return 1;
        case WM_PAINT:
            paint(list, s);
            return 0;
        default:
            return DefWindowProcW(list, message, wParam, lParam);
    }
}

}  // namespace veltrix::platform::controls

// The tool bar: a row of flat buttons drawn from borrowed image lists, with
// hot tracking, pressed and checked looks, drop-down arrows and tips.
#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "platform/api/GdiHandles.h"
#include "platform/api/Toolbar.h"
#include "platform/api/Tooltip.h"
#include "platform/controls/ControlState.h"
#include "platform/controls/Controls.h"
#include "platform/controls/ImageLists.h"
#include "platform/controls/Theme.h"

namespace veltrix::platform::controls {

namespace {

constexpr int kSeparatorWidth = 8;
constexpr int kArrowWidth = 13;
constexpr int kTextGap = 4;
constexpr SIZE kDefaultBitmap{16, 15};
constexpr SIZE kButtonPadding{8, 7};
constexpr WORD kClicked = 0;  // BN_CLICKED

constexpr COLORREF kHotFill = RGB(0xE5, 0xF3, 0xFF);
constexpr COLORREF kHotFrame = RGB(0xCC, 0xE8, 0xFF);
constexpr COLORREF kDownFill = RGB(0xCC, 0xE8, 0xFF);
constexpr COLORREF kDownFrame = RGB(0x99, 0xD1, 0xFF);
constexpr COLORREF kCheckedHotFill = RGB(0xBB, 0xDD, 0xFB);
constexpr COLORREF kSeparator = RGB(0xA8, 0xA8, 0xA8);

struct Button {
    int image = 0;
    int command = 0;
    BYTE state = 0;
    BYTE style = 0;
    DWORD_PTR data = 0;
    INT_PTR string = 0;
    std::u16string text;
    RECT rect{};
};

struct ToolbarState {
    std::vector<Button> buttons;
    HWND notify = nullptr;
    HWND tooltip = nullptr;
    bool ownsTooltip = false;
    std::vector<int> toolIds;  // tools registered with the tooltip
    HIMAGELIST images = nullptr;
    HIMAGELIST hotImages = nullptr;
    HIMAGELIST disabledImages = nullptr;
    SIZE bitmap = kDefaultBitmap;
    SIZE button{0, 0};  // 0: bitmap plus padding
    DWORD extendedStyle = 0;
    UINT structSize = sizeof(TBBUTTON);
    HFONT font = nullptr;
    int hot = -1;
    int pressed = -1;
    bool pressedInside = false;
    int dropping = -1;
    bool tracking = false;
    std::u16string tipText;  // kept alive while the tooltip reads it
};

using States = ControlStates<ToolbarState>;

SIZE buttonSize(const ToolbarState& s) {
    SIZE size{s.button.cx > 0 ? s.button.cx : s.bitmap.cx + kButtonPadding.cx,
              s.button.cy > 0 ? s.button.cy : s.bitmap.cy + kButtonPadding.cy};
    return size;
}

bool isSeparator(const Button& b) { return (b.style & BTNS_SEP) != 0; }
bool isHidden(const Button& b) { return (b.state & TBSTATE_HIDDEN) != 0; }
bool isEnabled(const Button& b) { return (b.state & TBSTATE_ENABLED) != 0; }
bool showsText(const Button& b) { return (b.style & BTNS_SHOWTEXT) && !b.text.empty(); }

// The part of the button that reacts as a drop-down arrow (empty when none).
bool hasSplitArrow(const ToolbarState& s, const Button& b) {
    return (b.style & BTNS_DROPDOWN) && (s.extendedStyle & TBSTYLE_EX_DRAWDDARROWS) && !(b.style & BTNS_WHOLEDROPDOWN);
}
bool wholeDropDown(const ToolbarState& s, const Button& b) {
    return (b.style & BTNS_WHOLEDROPDOWN) ||
           ((b.style & BTNS_DROPDOWN) && !(s.extendedStyle & TBSTYLE_EX_DRAWDDARROWS));
}
RECT arrowPart(const ToolbarState& s, const Button& b) {
    if (!hasSplitArrow(s, b) && !(b.style & BTNS_WHOLEDROPDOWN)) return RECT{};
    return RECT{b.rect.right - kArrowWidth, b.rect.top, b.rect.right, b.rect.bottom};
}

void layout(HWND window, ToolbarState& s) {
    const SIZE size = buttonSize(s);
    int x = 0;
    for (Button& b : s.buttons) {
        int width = 0;
        if (isHidden(b)) {
            width = 0;
        } else if (isSeparator(b)) {
            width = b.image > 0 ? b.image : kSeparatorWidth;
        } else {
            width = size.cx;
            if (showsText(b)) width += textWidth(s.font, b.text) + kTextGap;
            if (hasSplitArrow(s, b) || (b.style & BTNS_WHOLEDROPDOWN)) width += kArrowWidth;
        }
        b.rect = RECT{x, 0, x + width, width ? size.cy : 0};
        x += width;
    }
    if (!s.tooltip || !IsWindow(s.tooltip)) return;
    // One tool per visible button, whose text the owner gives when asked.
    for (int id : s.toolIds) {
        TOOLINFOW info{};
        info.cbSize = sizeof info;
        info.hwnd = window;
        info.uId = static_cast<UINT_PTR>(id);
        SendMessageW(s.tooltip, TTM_DELTOOLW, 0, reinterpret_cast<LPARAM>(&info));
    }
    s.toolIds.clear();
    for (const Button& b : s.buttons) {
        if (isSeparator(b) || isHidden(b)) continue;
        TOOLINFOW info{};
        info.cbSize = sizeof info;
        info.hwnd = window;
        info.uId = static_cast<UINT_PTR>(b.command);
        info.rect = b.rect;
        info.lpszText = LPSTR_TEXTCALLBACKW;
        if (SendMessageW(s.tooltip, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&info))) s.toolIds.push_back(b.command);
    }
}

void relayout(HWND window, ToolbarState& s) {
    layout(window, s);
    InvalidateRect(window, nullptr, TRUE);
}

int indexOf(const ToolbarState& s, WPARAM command) {
    for (std::size_t i = 0; i < s.buttons.size(); ++i)
        if (s.buttons[i].command == static_cast<int>(command)) return static_cast<int>(i);
    return -1;
}

int buttonAt(const ToolbarState& s, POINT p) {
    for (std::size_t i = 0; i < s.buttons.size(); ++i) {
        const Button& b = s.buttons[i];
        if (!isHidden(b) && !isSeparator(b) && PtInRect(&b.rect, p)) return static_cast<int>(i);
    }
    return -1;
}

void invalidateButton(HWND window, const ToolbarState& s, int index) {
    if (index < 0 || index >= static_cast<int>(s.buttons.size())) return;
    InvalidateRect(window, &s.buttons[static_cast<std::size_t>(index)].rect, TRUE);
}

Button buttonFrom(const TBBUTTON& record) {
    Button b;
    b.image = record.iBitmap;
    b.command = record.idCommand;
    b.state = record.fsState;
    b.style = record.fsStyle;
    b.data = record.dwData;
    b.string = record.iString;
    // Values below 0x10000 index a string pool this layer does not keep.
    if (record.iString >= 0x10000) b.text = reinterpret_cast<const WCHAR*>(record.iString);
    return b;
}

TBBUTTON recordOf(const Button& b) {
    TBBUTTON record{};
    record.iBitmap = b.image;
    record.idCommand = b.command;
    record.fsState = b.state;
    record.fsStyle = b.style;
    record.dwData = b.data;
    record.iString = b.string;
    return record;
}

bool insertButtons(HWND window, ToolbarState& s, std::size_t at, const TBBUTTON* records, std::size_t count) {
    if (!records) return false;
    at = std::min(at, s.buttons.size());
    std::vector<Button> added;
    for (std::size_t i = 0; i < count; ++i) added.push_back(buttonFrom(records[i]));
    s.buttons.insert(s.buttons.begin() + static_cast<std::ptrdiff_t>(at), added.begin(), added.end());
    s.hot = s.pressed = s.dropping = -1;
    relayout(window, s);
    return true;
}

// Checking a group button unchecks the other buttons of its run of group buttons.
void setChecked(ToolbarState& s, int index, bool on) {
    Button& b = s.buttons[static_cast<std::size_t>(index)];
    if (!on) {
        b.state &= static_cast<BYTE>(~TBSTATE_CHECKED);
        return;
    }
    b.state |= TBSTATE_CHECKED;
    if (!(b.style & BTNS_GROUP)) return;
    for (int i = index - 1; i >= 0 && (s.buttons[static_cast<std::size_t>(i)].style & BTNS_GROUP); --i)
        s.buttons[static_cast<std::size_t>(i)].state &= static_cast<BYTE>(~TBSTATE_CHECKED);
    for (std::size_t i = static_cast<std::size_t>(index) + 1; i < s.buttons.size() && (s.buttons[i].style & BTNS_GROUP);
         ++i)
        s.buttons[i].state &= static_cast<BYTE>(~TBSTATE_CHECKED);
}

void smallArrow(HDC dc, const RECT& r, COLORREF colour) {
    const int cx = (r.left + r.right) / 2;
    const int cy = (r.top + r.bottom) / 2 - 1;
    for (int i = 0; i < 3; ++i) theme::fill(dc, RECT{cx - 2 + i, cy + i, cx + 3 - i, cy + i + 1}, colour);
}

void paintButton(HDC dc, const ToolbarState& s, int index) {
    const Button& b = s.buttons[static_cast<std::size_t>(index)];
    if (isHidden(b)) return;
    if (isSeparator(b)) {
        const int x = (b.rect.left + b.rect.right) / 2;
        theme::fill(dc, RECT{x, b.rect.top + 3, x + 1, b.rect.bottom - 3}, kSeparator);
        return;
    }
    const bool enabled = isEnabled(b);
    const bool hot = enabled && index == s.hot;
    const bool down = enabled && ((index == s.pressed && s.pressedInside) || (b.state & TBSTATE_PRESSED) ||
                                  (index == s.dropping && wholeDropDown(s, b)));
    const bool checked = (b.state & TBSTATE_CHECKED) != 0;
    const RECT arrow = arrowPart(s, b);
    RECT face = b.rect;
    if (hasSplitArrow(s, b)) face.right = arrow.left;

    if (down || checked || hot) {
        COLORREF fill = down ? kDownFill : checked ? (hot ? kCheckedHotFill : kDownFill) : kHotFill;
        COLORREF frame = down || checked ? kDownFrame : kHotFrame;
        theme::fill(dc, b.rect, fill);
        theme::frame(dc, b.rect, frame);
        if (hasSplitArrow(s, b)) {
            if (index == s.dropping)
                theme::fill(dc, RECT{arrow.left, arrow.top + 1, arrow.right - 1, arrow.bottom - 1}, kDownFill);
            theme::fill(dc, RECT{arrow.left, arrow.top + 1, arrow.left + 1, arrow.bottom - 1}, frame);
        }
    } else if (index == s.dropping && hasSplitArrow(s, b)) {
        theme::fill(dc, arrow, kDownFill);
        theme::frame(dc, arrow, kDownFrame);
    }

    const SIZE size = buttonSize(s);
    const int glyphX = face.left + (size.cx - s.bitmap.cx) / 2;
    const int glyphY = face.top + (face.bottom - face.top - s.bitmap.cy) / 2;
    if (b.image >= 0) {
        if (!enabled) {
            if (s.disabledImages)
                drawImage(s.disabledImages, b.image, dc, glyphX, glyphY, Look::Normal);
            else if (s.images)
                drawImage(s.images, b.image, dc, glyphX, glyphY, Look::Greyed);
        } else {
            HIMAGELIST list = hot && s.hotImages ? s.hotImages : s.images;
            if (list) drawImage(list, b.image, dc, glyphX, glyphY, Look::Normal);
        }
    }
    if (showsText(b)) {
        SelectedObject selection(dc, fontOrDefault(s.font));
        SetBkMode(dc, TRANSPARENT);
        SetTextColor(dc, enabled ? theme::kFieldText : theme::kDisabledText);
        RECT text{face.left + size.cx - kButtonPadding.cx / 2, face.top, face.right - kTextGap, face.bottom};
        DrawTextW(dc, b.text.c_str(), static_cast<int>(b.text.size()), &text,
                  DT_SINGLELINE | DT_VCENTER | DT_LEFT | ((b.style & BTNS_NOPREFIX) ? DT_NOPREFIX : 0));
    }
    if (arrow.right > arrow.left) smallArrow(dc, arrow, enabled ? theme::kGlyph : theme::kDisabledText);
}

void paint(HWND window, ToolbarState& s) {
    const PaintDC painting(window);
    HDC dc = painting.get();
    RECT client{};
    GetClientRect(window, &client);
    theme::fill(dc, client, GetSysColor(COLOR_BTNFACE));
    for (std::size_t i = 0; i < s.buttons.size(); ++i) paintButton(dc, s, static_cast<int>(i));
}

void relayToTip(HWND window, const ToolbarState& s, UINT message, WPARAM wParam, LPARAM lParam) {
    if (!s.tooltip || !IsWindow(s.tooltip)) return;
    MSG msg{window, message, wParam, lParam, GetTickCount(), {}};
    SendMessageW(s.tooltip, TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(&msg));
}

void dropDown(HWND window, const std::shared_ptr<ToolbarState>& s, int index) {
    s->dropping = index;
    invalidateButton(window, *s, index);
    UpdateWindow(window);
    const Button b = s->buttons[static_cast<std::size_t>(index)];
    NMTOOLBARW info{};
    info.hdr = NMHDR{window, static_cast<UINT_PTR>(GetDlgCtrlID(window)), TBN_DROPDOWN};
    info.iItem = b.command;
    info.tbButton = recordOf(b);
    info.rcButton = b.rect;
    if (s->notify && IsWindow(s->notify))
        SendMessageW(s->notify, WM_NOTIFY, info.hdr.idFrom, reinterpret_cast<LPARAM>(&info));
    // The owner may have changed or destroyed the bar meanwhile.
    if (!IsWindow(window)) return;
    s->dropping = -1;
    InvalidateRect(window, nullptr, TRUE);
}

void mouseMove(HWND window, ToolbarState& s, POINT p) {
    if (!s.tracking) {
        TRACKMOUSEEVENT track{sizeof track, TME_LEAVE, window, 0};
        s.tracking = TrackMouseEvent(&track) != FALSE;
    }
    int hit = buttonAt(s, p);
    if (hit >= 0 && !isEnabled(s.buttons[static_cast<std::size_t>(hit)])) hit = -1;
    // While a button is held, only it may look hot.
    if (s.pressed >= 0 && hit != s.pressed) hit = -1;
    if (hit != s.hot) {
        invalidateButton(window, s, s.hot);
        s.hot = hit;
        invalidateButton(window, s, s.hot);
    }
    if (s.pressed >= 0) {
        bool inside = buttonAt(s, p) == s.pressed;
        if (inside != s.pressedInside) {
            s.pressedInside = inside;
            invalidateButton(window, s, s.pressed);
        }
    }
}

void buttonDown(HWND window, const std::shared_ptr<ToolbarState>& s, POINT p) {
    const int index = buttonAt(*s, p);
    if (index < 0) return;
    const Button& b = s->buttons[static_cast<std::size_t>(index)];
    if (!isEnabled(b)) return;
    const RECT arrow = arrowPart(*s, b);
    if (wholeDropDown(*s, b) || (hasSplitArrow(*s, b) && PtInRect(&arrow, p))) {
        dropDown(window, s, index);
        return;
    }
    s->pressed = index;
    s->pressedInside = true;
    SetCapture(window);
    invalidateButton(window, *s, index);
}

void buttonUp(HWND window, const std::shared_ptr<ToolbarState>& s, POINT p) {
    const int index = s->pressed;
    if (index < 0) return;
    s->pressed = -1;
    if (GetCapture() == window) ReleaseCapture();
    const bool inside = buttonAt(*s, p) == index;
    invalidateButton(window, *s, index);
    if (!inside || index >= static_cast<int>(s->buttons.size())) return;
    Button& b = s->buttons[static_cast<std::size_t>(index)];
    if (!isEnabled(b)) return;
    if (b.style & BTNS_CHECK) {
        // A checked group button stays checked when clicked again, as radio buttons do.
        const bool checked = (b.state & TBSTATE_CHECKED) != 0;
        if (!checked || !(b.style & BTNS_GROUP)) setChecked(*s, index, !checked);
        InvalidateRect(window, nullptr, TRUE);
    }
    const int command = b.command;
    if (s->notify && IsWindow(s->notify))
        SendMessageW(s->notify, WM_COMMAND, MAKEWPARAM(command, kClicked), reinterpret_cast<LPARAM>(window));
}

LRESULT tipText(HWND window, ToolbarState& s, NMTTDISPINFOW* info) {
    info->lpszText = nullptr;
    info->szText[0] = 0;
    if (s.notify && IsWindow(s.notify))
        SendMessageW(s.notify, WM_NOTIFY, info->hdr.idFrom, reinterpret_cast<LPARAM>(info));
    if (!IsWindow(window)) return 0;
    const bool answered =
        (info->lpszText && info->lpszText != LPSTR_TEXTCALLBACKW && info->lpszText[0]) || info->szText[0];
    if (!answered) {
        int index = indexOf(s, info->hdr.idFrom);
        s.tipText = index >= 0 && !showsText(s.buttons[static_cast<std::size_t>(index)])
                        ? s.buttons[static_cast<std::size_t>(index)].text
                        : std::u16string();
        info->lpszText = s.tipText.data();
    }
    return 0;
}

void autoSize(HWND window, ToolbarState& s) {
    layout(window, s);
    const DWORD style = static_cast<DWORD>(GetWindowLongW(window, GWL_STYLE));
    if (style & CCS_NORESIZE) return;
    int width = s.buttons.empty() ? 0 : s.buttons.back().rect.right;
    const int height = buttonSize(s).cy + ((style & CCS_NODIVIDER) ? 0 : 2);
    HWND parent = GetParent(window);
    RECT area{};
    if (!(style & CCS_NOPARENTALIGN) && parent && GetClientRect(parent, &area)) {
        SetWindowPos(window, nullptr, 0, 0, area.right, height, SWP_NOZORDER | SWP_NOACTIVATE);
    } else {
        SetWindowPos(window, nullptr, 0, 0, width, height, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
}

template <typename F>
LRESULT withButton(ToolbarState& s, WPARAM command, F f) {
    int index = indexOf(s, command);
    if (index < 0) return FALSE;
    return f(s.buttons[static_cast<std::size_t>(index)], index);
}

// A button that can no longer be used is neither hot nor held.
void forgetDisabled(HWND window, ToolbarState& s, int index) {
    if (isEnabled(s.buttons[static_cast<std::size_t>(index)])) return;
    if (s.hot == index) s.hot = -1;
    if (s.pressed == index) {
        s.pressed = -1;
        if (GetCapture() == window) ReleaseCapture();
    }
}

LRESULT setStateBit(HWND window, ToolbarState& s, WPARAM command, BYTE bit, bool on) {
    return withButton(s, command, [&](Button& b, int index) -> LRESULT {
        const BYTE before = b.state;
        if (bit == TBSTATE_CHECKED) {
            setChecked(s, index, on);
        } else if (on) {
            b.state |= bit;
        } else {
            b.state &= static_cast<BYTE>(~bit);
        }
        forgetDisabled(window, s, index);
        if ((before ^ b.state) & TBSTATE_HIDDEN)
            relayout(window, s);
        else
            InvalidateRect(window, nullptr, TRUE);
        return TRUE;
    });
}

HIMAGELIST swapList(HWND window, HIMAGELIST& slot, LPARAM lParam) {
    HIMAGELIST previous = slot;
    slot = reinterpret_cast<HIMAGELIST>(lParam);
    InvalidateRect(window, nullptr, TRUE);
    return previous;
}

LRESULT handle(HWND window, const std::shared_ptr<ToolbarState>& state, UINT message, WPARAM wParam, LPARAM lParam) {
    ToolbarState& s = *state;
    const POINT p{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    switch (message) {
        case WM_CREATE: {
            auto* cs = reinterpret_cast<const CREATESTRUCTW*>(lParam);
            s.notify = cs ? cs->hwndParent : GetParent(window);
            if (cs && (cs->style & TBSTYLE_TOOLTIPS)) {
                s.tooltip = CreateWindowExW(WS_EX_TOPMOST | WS_EX_TOOLWINDOW, TOOLTIPS_CLASSW, nullptr,
                                            WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX, CW_USEDEFAULT, CW_USEDEFAULT,
                                            CW_USEDEFAULT, CW_USEDEFAULT, window, nullptr, nullptr, nullptr);
                s.ownsTooltip = s.tooltip != nullptr;
            }
            return 0;
        }
        case WM_DESTROY:
            if (s.ownsTooltip && s.tooltip && IsWindow(s.tooltip)) DestroyWindow(s.tooltip);
            s.tooltip = nullptr;
            break;
        case WM_ERASEBKGND:
            return 1;
        case WM_PAINT:
            paint(window, s);
            return 0;
        case WM_SETFONT:
            s.font = reinterpret_cast<HFONT>(wParam);
            relayout(window, s);
            return 0;
        case WM_GETFONT:
            return reinterpret_cast<LRESULT>(s.font);
        case WM_MOUSEMOVE:
            relayToTip(window, s, message, wParam, lParam);
            mouseMove(window, s, p);
            return 0;
        case WM_LBUTTONDOWN:
        case WM_LBUTTONDBLCLK:
            relayToTip(window, s, message, wParam, lParam);
            buttonDown(window, state, p);
            return 0;
        case WM_LBUTTONUP:
            relayToTip(window, s, message, wParam, lParam);
            buttonUp(window, state, p);
            return 0;
        case WM_RBUTTONDOWN:
        case WM_RBUTTONUP:
            relayToTip(window, s, message, wParam, lParam);
            return 0;
        case WM_CAPTURECHANGED:
            if (s.pressed >= 0 && reinterpret_cast<HWND>(lParam) != window) {
                invalidateButton(window, s, s.pressed);
                s.pressed = -1;
            }
            return 0;
        case WM_MOUSELEAVE:
            s.tracking = false;
            invalidateButton(window, s, s.hot);
            s.hot = -1;
            if (s.tooltip && IsWindow(s.tooltip)) SendMessageW(s.tooltip, TTM_POP, 0, 0);
            return 0;
        case WM_ENABLE:
            InvalidateRect(window, nullptr, TRUE);
            return 0;
        case WM_NOTIFY: {
            auto* header = reinterpret_cast<NMHDR*>(lParam);
            if (header && header->code == TTN_GETDISPINFOW && header->hwndFrom == s.tooltip)
                return tipText(window, s, reinterpret_cast<NMTTDISPINFOW*>(lParam));
            return 0;
        }

        case TB_BUTTONSTRUCTSIZE:
            s.structSize = static_cast<UINT>(wParam);
            return 0;
        case TB_ADDBUTTONSW:
            return insertButtons(window, s, s.buttons.size(), reinterpret_cast<const TBBUTTON*>(lParam), wParam);
        case TB_INSERTBUTTONW:
            return insertButtons(window, s, wParam, reinterpret_cast<const TBBUTTON*>(lParam), 1);
        case TB_DELETEBUTTON:
            if (wParam >= s.buttons.size()) return FALSE;
            if (s.pressed >= 0 && GetCapture() == window) ReleaseCapture();
            s.buttons.erase(s.buttons.begin() + static_cast<std::ptrdiff_t>(wParam));
            s.hot = s.pressed = s.dropping = -1;
            relayout(window, s);
            return TRUE;
        case TB_BUTTONCOUNT:
            return static_cast<LRESULT>(s.buttons.size());
        case TB_GETBUTTON:
            if (wParam >= s.buttons.size() || !lParam) return FALSE;
            *reinterpret_cast<TBBUTTON*>(lParam) = recordOf(s.buttons[wParam]);
            return TRUE;
        case TB_COMMANDTOINDEX:
            return indexOf(s, wParam);
        case TB_ENABLEBUTTON:
            return setStateBit(window, s, wParam, TBSTATE_ENABLED, LOWORD(lParam) != 0);
        case TB_CHECKBUTTON:
            return setStateBit(window, s, wParam, TBSTATE_CHECKED, LOWORD(lParam) != 0);
        case TB_PRESSBUTTON:
            return setStateBit(window, s, wParam, TBSTATE_PRESSED, LOWORD(lParam) != 0);
        case TB_HIDEBUTTON:
            return setStateBit(window, s, wParam, TBSTATE_HIDDEN, LOWORD(lParam) != 0);
        case TB_INDETERMINATE:
            return setStateBit(window, s, wParam, TBSTATE_INDETERMINATE, LOWORD(lParam) != 0);
        case TB_ISBUTTONENABLED:
            return withButton(s, wParam, [](Button& b, int) -> LRESULT { return (b.state & TBSTATE_ENABLED) != 0; });
        case TB_ISBUTTONCHECKED:
            return withButton(s, wParam, [](Button& b, int) -> LRESULT { return (b.state & TBSTATE_CHECKED) != 0; });
        case TB_ISBUTTONPRESSED:
            return withButton(s, wParam, [](Button& b, int) -> LRESULT { return (b.state & TBSTATE_PRESSED) != 0; });
        case TB_ISBUTTONHIDDEN:
            return withButton(s, wParam, [](Button& b, int) -> LRESULT { return (b.state & TBSTATE_HIDDEN) != 0; });
        case TB_SETSTATE: {
            int index = indexOf(s, wParam);
            if (index < 0) return FALSE;
            Button& b = s.buttons[static_cast<std::size_t>(index)];
            const bool relayoutNeeded = ((b.state ^ LOWORD(lParam)) & TBSTATE_HIDDEN) != 0;
            b.state = static_cast<BYTE>(LOWORD(lParam));
            forgetDisabled(window, s, index);
            if (relayoutNeeded)
                relayout(window, s);
            else
                InvalidateRect(window, nullptr, TRUE);
            return TRUE;
        }
        case TB_GETSTATE: {
            int index = indexOf(s, wParam);
            return index < 0 ? -1 : s.buttons[static_cast<std::size_t>(index)].state;
        }
        case TB_GETITEMRECT:
            if (wParam >= s.buttons.size() || !lParam) return FALSE;
            *reinterpret_cast<RECT*>(lParam) = s.buttons[wParam].rect;
            return TRUE;
        case TB_GETRECT: {
            int index = indexOf(s, wParam);
            if (index < 0 || !lParam) return FALSE;
            *reinterpret_cast<RECT*>(lParam) = s.buttons[static_cast<std::size_t>(index)].rect;
            return TRUE;
        }
        case TB_SETBUTTONSIZE:
            s.button = SIZE{std::max<LONG>(0, LOWORD(lParam)), std::max<LONG>(0, HIWORD(lParam))};
            relayout(window, s);
            return TRUE;
        case TB_GETBUTTONSIZE: {
            SIZE size = buttonSize(s);
            return MAKELRESULT(size.cx, size.cy);
        }
        case TB_SETBITMAPSIZE:
            s.bitmap = SIZE{LOWORD(lParam), HIWORD(lParam)};
            relayout(window, s);
            return TRUE;
        case TB_AUTOSIZE:
            autoSize(window, s);
            return 0;
        case TB_GETMAXSIZE: {
            auto* size = reinterpret_cast<SIZE*>(lParam);
            if (!size) return FALSE;
            layout(window, s);
            size->cx = s.buttons.empty() ? 0 : s.buttons.back().rect.right;
            size->cy = buttonSize(s).cy;
            return TRUE;
        }
        case TB_SETIMAGELIST: {
            HIMAGELIST previous = swapList(window, s.images, lParam);
            int cx = 0, cy = 0;
            if (s.images && ImageList_GetIconSize(s.images, &cx, &cy)) {
                s.bitmap = SIZE{cx, cy};
                relayout(window, s);
            }
            return reinterpret_cast<LRESULT>(previous);
        }
        case TB_GETIMAGELIST:
            return reinterpret_cast<LRESULT>(s.images);
        case TB_SETHOTIMAGELIST:
            return reinterpret_cast<LRESULT>(swapList(window, s.hotImages, lParam));
        case TB_GETHOTIMAGELIST:
            return reinterpret_cast<LRESULT>(s.hotImages);
        case TB_SETDISABLEDIMAGELIST:
            return reinterpret_cast<LRESULT>(swapList(window, s.disabledImages, lParam));
        case TB_GETDISABLEDIMAGELIST:
            return reinterpret_cast<LRESULT>(s.disabledImages);
        case TB_SETTOOLTIPS:
            if (s.ownsTooltip && s.tooltip && IsWindow(s.tooltip) && s.tooltip != reinterpret_cast<HWND>(wParam))
                DestroyWindow(s.tooltip);
            s.tooltip = reinterpret_cast<HWND>(wParam);
            s.ownsTooltip = false;
            s.toolIds.clear();
            layout(window, s);
            return 0;
        case TB_GETTOOLTIPS:
            return reinterpret_cast<LRESULT>(s.tooltip);
        case TB_SETPARENT: {
            HWND previous = s.notify;
            s.notify = reinterpret_cast<HWND>(wParam);
            return reinterpret_cast<LRESULT>(previous);
        }
        case TB_SETEXTENDEDSTYLE: {
            DWORD previous = s.extendedStyle;
            s.extendedStyle = static_cast<DWORD>(lParam);
            relayout(window, s);
            return previous;
        }
        case TB_GETEXTENDEDSTYLE:
            return s.extendedStyle;
        case TB_SETSTYLE:
            SetWindowLongW(window, GWL_STYLE, static_cast<LONG>(lParam));
            relayout(window, s);
            return 0;
        case TB_GETSTYLE:
            return static_cast<DWORD>(GetWindowLongW(window, GWL_STYLE));
        case TB_HITTEST: {
            auto* point = reinterpret_cast<const POINT*>(lParam);
            return point ? buttonAt(s, *point) : -1;
        }
        case TB_GETHOTITEM:
            return s.hot;
        case TB_SETHOTITEM: {
            int previous = s.hot;
            invalidateButton(window, s, s.hot);
            s.hot = static_cast<int>(wParam) < static_cast<int>(s.buttons.size()) ? static_cast<int>(wParam) : -1;
            invalidateButton(window, s, s.hot);
            return previous;
        }
        default:
            break;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace

LRESULT toolbarProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) States::create(window);
    std::shared_ptr<ToolbarState> state = States::find(window);
    if (!state) return DefWindowProcW(window, message, wParam, lParam);
    if (message == WM_NCDESTROY) {
        States::destroy(window);
        return DefWindowProcW(window, message, wParam, lParam);
    }
    return handle(window, state, message, wParam, lParam);
}

}  // namespace veltrix::platform::controls

// The "COMBOBOX" window class: a drop-down box (with an edit child) or a
// drop-down list, with its list in a pop-up window (ComboList.cpp).
#include <algorithm>
#include <cwctype>

#include "platform/api/GdiHandles.h"
#include "platform/common/AsciiCase.h"
#include "platform/controls/ComboState.h"
#include "platform/controls/Controls.h"
#include "platform/controls/Theme.h"

namespace veltrix::platform::controls {

namespace {

DWORD styleOf(HWND w) { return static_cast<DWORD>(GetWindowLongW(w, GWL_STYLE)); }
bool hasEdit(HWND w) { return (styleOf(w) & 3) == CBS_DROPDOWN || (styleOf(w) & 3) == CBS_SIMPLE; }

char16_t folded(char16_t c) {
    if (c >= 0xFF21 && c <= 0xFF3A) return static_cast<char16_t>(c + 32);  // full-width letters
    return ascii::toLower(c);
}

bool equalsIgnoringCase(const std::u16string& a, const std::u16string& b, std::size_t length) {
    if (a.size() < length || b.size() < length) return false;
    for (std::size_t i = 0; i < length; ++i)
        if (folded(a[i]) != folded(b[i])) return false;
    return true;
}

int closedHeight(const ComboState& s) { return s.fieldHeight + 6; }

bool validIndex(const ComboState& s, WPARAM index) { return index < s.items.size(); }

// Finds from the item after start, wrapping round, as Windows does.
LRESULT find(const ComboState& s, WPARAM start, const std::u16string& text, bool exact) {
    int count = static_cast<int>(s.items.size());
    if (count == 0) return CB_ERR;
    int first = static_cast<long>(start) < 0 || static_cast<int>(start) >= count ? 0 : static_cast<int>(start) + 1;
    for (int n = 0; n < count; ++n) {
        int i = (first + n) % count;
        const std::u16string& item = s.items[static_cast<std::size_t>(i)].text;
        bool match = exact ? item.size() == text.size() && equalsIgnoringCase(item, text, text.size())
                           : equalsIgnoringCase(item, text, text.size());
        if (match) return i;
    }
    return CB_ERR;
}

// The field shows the selected item: the edit child gets its text, wholly selected.
void showSelection(HWND w, ComboState& s) {
    if (s.edit) {
        std::u16string text = s.selected >= 0 ? s.items[static_cast<std::size_t>(s.selected)].text : u"";
        SetWindowTextW(s.edit, text.c_str());
        if (GetFocus() == s.edit) SendMessageW(s.edit, EM_SETSEL, 0, -1);
    }
    InvalidateRect(w, nullptr, FALSE);
    if (s.list) InvalidateRect(s.list, nullptr, FALSE);
}

void scrollListTo(ComboState& s, int row) {
    int rows = comboVisibleRows(s);
    if (row < s.top) s.top = row;
    if (row >= s.top + rows) s.top = row - rows + 1;
    int maxTop = std::max(0, static_cast<int>(s.items.size()) - rows);
    s.top = std::clamp(s.top, 0, maxTop);
}

void layout(HWND w, ComboState& s) {
    if (!s.edit) return;
    RECT c;
    GetClientRect(w, &c);
    int height = std::min<int>(s.fieldHeight + 2, c.bottom - 2);
    int y = std::max(1, (int(c.bottom) - height) / 2);
    MoveWindow(s.edit, 2, y, std::max(0, int(c.right) - kComboButtonWidth - 3), height, TRUE);
}

void setFont(HWND w, ComboState& s, HFONT font) {
    s.font = fontOrDefault(font);
    int h = lineHeightOf(s.font);
    s.fieldHeight = h;
    s.itemHeight = h + 6;
    if (s.edit) SendMessageW(s.edit, WM_SETFONT, reinterpret_cast<WPARAM>(s.font), FALSE);
    RECT r;
    GetWindowRect(w, &r);
    SetWindowPos(w, nullptr, 0, 0, r.right - r.left, closedHeight(s), SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    layout(w, s);
}

void open(HWND w, ComboState& s) {
    if (s.dropped || !s.list) return;
    notifyParent(w, CBN_DROPDOWN);
    auto alive = ComboStates::find(w);
    if (!alive || s.dropped) return;
    RECT box;
    GetWindowRect(w, &box);
    int width = std::max<int>(box.right - box.left, s.droppedWidth);
    int rows = std::max(1, std::min<int>(static_cast<int>(s.items.size()), std::max(1, s.listHeight / s.itemHeight)));
    int height = rows * s.itemHeight + 2;
    RECT screen{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    int x = box.left;
    if (x + width > screen.right) x = std::max<int>(screen.left, screen.right - width);
    int y = box.bottom;
    if (y + height > screen.bottom && box.top - height >= screen.top) y = box.top - height;
    s.beforeDrop = s.selected;
    s.hot = s.selected;
    s.top = 0;
    s.dropped = true;
    SetWindowPos(s.list, HWND_TOPMOST, x, y, width, height, SWP_SHOWWINDOW | SWP_NOACTIVATE);
    scrollListTo(s, std::max(0, s.selected));
    InvalidateRect(s.list, nullptr, TRUE);
    SetCapture(s.list);
    InvalidateRect(w, nullptr, FALSE);
}

void select(HWND w, ComboState& s, int index, bool notifyEnd) {
    if (index < 0 || index >= static_cast<int>(s.items.size()) || index == s.selected) return;
    s.selected = index;
    s.hot = index;
    scrollListTo(s, index);
    showSelection(w, s);
    if (notifyEnd) notifyParent(w, CBN_SELENDOK);
    if (ComboStates::find(w)) notifyParent(w, CBN_SELCHANGE);
}

// Keys of the box (and of its edit child, which passes these on).
bool onKey(HWND w, ComboState& s, int key) {
    bool alt = GetKeyState(VK_MENU) < 0;
    int count = static_cast<int>(s.items.size());
    int current = s.dropped ? s.hot : s.selected;
    switch (key) {
        case VK_F1 + 3:  // F4
            if (s.dropped)
                comboClose(w, CloseReason::Chosen);
            else
                open(w, s);
            return true;
        case VK_UP:
        case VK_DOWN:
            if (alt) {
                if (s.dropped)
                    comboClose(w, CloseReason::Chosen);
                else
                    open(w, s);
                return true;
            }
            if (count == 0) return true;
            select(w, s, std::clamp(current < 0 ? 0 : current + (key == VK_DOWN ? 1 : -1), 0, count - 1), !s.dropped);
            return true;
        case VK_PRIOR:
        case VK_NEXT: {
            if (count == 0) return true;
            int step = std::max(1, comboVisibleRows(s) - 1) * (key == VK_NEXT ? 1 : -1);
            select(w, s, std::clamp(current + step, 0, count - 1), !s.dropped);
            return true;
        }
        case VK_HOME:
        case VK_END:
            if (hasEdit(w) || count == 0) return false;
            select(w, s, key == VK_HOME ? 0 : count - 1, !s.dropped);
            return true;
        case VK_RETURN:
            if (!s.dropped) return false;
            comboChoose(w, s.hot);
            return true;
        case VK_ESCAPE:
            if (!s.dropped) return false;
            comboClose(w, CloseReason::UserCancelled);
            return true;
        default:
            return false;
    }
}

void paint(HWND w, ComboState& s) {
    const PaintDC painting(w);
    HDC dc = painting.get();
    if (!dc) return;
    RECT c;
    GetClientRect(w, &c);
    bool enabled = IsWindowEnabled(w);
    bool focus = s.focused || (s.edit && GetFocus() == s.edit);
    theme::fill(dc, c, enabled ? theme::kFieldBackground : theme::kDisabledBackground);
    COLORREF frame = (focus || s.dropped) && enabled ? theme::kFocus : s.hovered ? theme::kFrameHot : theme::kFrame;
    theme::frame(dc, c, frame);
    RECT button{c.right - kComboButtonWidth, c.top + 1, c.right - 1, c.bottom - 1};
    if (s.hovered || s.dropped) theme::fill(dc, button, theme::kHover);
    theme::chevron(dc, button, enabled ? theme::kGlyph : theme::kDisabledText);
    if (!s.edit) {
        RECT field{c.left + 3, c.top + 3, button.left - 1, c.bottom - 3};
        bool highlight = s.focused && !s.dropped && enabled;
        if (highlight) theme::fill(dc, field, theme::kSelection);
        if (s.selected >= 0) {
            SelectedObject selection(dc, s.font);
            SetBkMode(dc, TRANSPARENT);
            SetTextColor(dc, !enabled ? theme::kDisabledText : highlight ? theme::kSelectionText : theme::kFieldText);
            RECT text = field;
            text.left += 3;
            const std::u16string& t = s.items[static_cast<std::size_t>(s.selected)].text;
            DrawTextW(dc, t.c_str(), static_cast<int>(t.size()), &text,
                      DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS);
        }
    }
}

LRESULT onCreate(HWND w, LPARAM lParam) {
    auto s = ComboStates::create(w);
    auto* cs = reinterpret_cast<const CREATESTRUCTW*>(lParam);
    s->font = fontOrDefault(nullptr);
    int h = lineHeightOf(s->font);
    s->fieldHeight = h;
    s->itemHeight = h + 6;
    if (hasEdit(w)) {
        DWORD editStyle = WS_CHILD | WS_VISIBLE | ES_AUTOHSCROLL;
        s->edit = CreateWindowExW(0, u"EDIT", u"", editStyle, 0, 0, 0, 0, w,
                                  reinterpret_cast<HMENU>(static_cast<std::intptr_t>(kComboEditId)), nullptr, nullptr);
    }
    HWND owner = GetAncestor(w, GA_ROOT);
    s->list = CreateWindowExW(WS_EX_TOOLWINDOW | WS_EX_TOPMOST | WS_EX_NOACTIVATE, kComboListClass, u"",
                              WS_POPUP | WS_CLIPSIBLINGS, 0, 0, 0, 0, owner, nullptr, nullptr, nullptr);
    if (s->list) SetWindowLongPtrW(s->list, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(w));
    // The height asked for covers the box and its opened list.
    s->listHeight = std::max(s->itemHeight, cs ? cs->cy - closedHeight(*s) : 0);
    SetWindowPos(w, nullptr, 0, 0, cs ? cs->cx : 0, closedHeight(*s), SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    layout(w, *s);
    return 0;
}

LRESULT setText(HWND w, ComboState& s, LPCWSTR text) {
    std::u16string value = text ? text : u"";
    if (s.edit) {
        SetWindowTextW(s.edit, value.c_str());
        return TRUE;
    }
    LRESULT index = find(s, static_cast<WPARAM>(-1), value, true);
    if (index == CB_ERR) return CB_ERR;
    s.selected = static_cast<int>(index);
    InvalidateRect(w, nullptr, FALSE);
    return TRUE;
}

LRESULT comboMessage(HWND w, ComboState& s, UINT message, WPARAM wParam, LPARAM lParam) {
    auto text = [&] { return lParam ? std::u16string(reinterpret_cast<LPCWSTR>(lParam)) : std::u16string(); };
    switch (message) {
        case CB_ADDSTRING:
        case CB_INSERTSTRING: {
            if (!lParam) return CB_ERR;
            std::size_t at = s.items.size();
            if (message == CB_INSERTSTRING && static_cast<long>(wParam) != -1) {
                if (wParam > s.items.size()) return CB_ERR;
                at = wParam;
            } else if (message == CB_ADDSTRING && (styleOf(w) & CBS_SORT)) {
                std::u16string t = text();
                at = static_cast<std::size_t>(
                    std::find_if(s.items.begin(), s.items.end(),
                                 [&](const ComboItem& i) {
                                     return std::lexicographical_compare(
                                         t.begin(), t.end(), i.text.begin(), i.text.end(),
                                         [](char16_t a, char16_t b) { return folded(a) < folded(b); });
                                 }) -
                    s.items.begin());
            }
            s.items.insert(s.items.begin() + static_cast<std::ptrdiff_t>(at), ComboItem{text(), 0});
            if (s.selected >= static_cast<int>(at)) ++s.selected;
            if (s.list) InvalidateRect(s.list, nullptr, FALSE);
            return static_cast<LRESULT>(at);
        }
        case CB_DELETESTRING: {
            if (!validIndex(s, wParam)) return CB_ERR;
            int index = static_cast<int>(wParam);
            s.items.erase(s.items.begin() + index);
            if (s.selected == index)
                s.selected = -1;
            else if (s.selected > index)
                --s.selected;
            if (s.hot >= static_cast<int>(s.items.size())) s.hot = static_cast<int>(s.items.size()) - 1;
            InvalidateRect(w, nullptr, FALSE);
            if (s.list) InvalidateRect(s.list, nullptr, FALSE);
            return static_cast<LRESULT>(s.items.size());
        }
        case CB_RESETCONTENT:
            s.items.clear();
            s.selected = s.hot = -1;
            s.top = 0;
            if (s.edit) SetWindowTextW(s.edit, u"");
            InvalidateRect(w, nullptr, FALSE);
            if (s.list) InvalidateRect(s.list, nullptr, FALSE);
            return CB_OKAY;
        case CB_GETCOUNT:
            return static_cast<LRESULT>(s.items.size());
        case CB_GETCURSEL:
            return s.selected;
        case CB_SETCURSEL:
            // -1 or an index past the end clears the selection and answers CB_ERR, as on Windows.
            if (!validIndex(s, wParam)) {
                s.selected = -1;
                showSelection(w, s);
                return CB_ERR;
            }
            s.selected = s.hot = static_cast<int>(wParam);
            scrollListTo(s, s.selected);
            showSelection(w, s);
            return s.selected;
        case CB_GETLBTEXT: {
            if (!validIndex(s, wParam) || !lParam) return CB_ERR;
            const std::u16string& t = s.items[wParam].text;
            auto* out = reinterpret_cast<LPWSTR>(lParam);
            std::copy(t.begin(), t.end(), out);
            out[t.size()] = 0;
            return static_cast<LRESULT>(t.size());
        }
        case CB_GETLBTEXTLEN:
            return validIndex(s, wParam) ? static_cast<LRESULT>(s.items[wParam].text.size()) : CB_ERR;
        case CB_FINDSTRING:
            return find(s, wParam, text(), false);
        case CB_FINDSTRINGEXACT:
            return find(s, wParam, text(), true);
        case CB_SELECTSTRING: {
            LRESULT index = find(s, wParam, text(), false);
            if (index == CB_ERR) return CB_ERR;
            s.selected = s.hot = static_cast<int>(index);
            showSelection(w, s);
            return index;
        }
        case CB_SETITEMDATA:
            if (!validIndex(s, wParam)) return CB_ERR;
            s.items[wParam].data = lParam;
            return CB_OKAY;
        case CB_GETITEMDATA:
            return validIndex(s, wParam) ? s.items[wParam].data : CB_ERR;
        case CB_SHOWDROPDOWN:
            if (wParam)
                open(w, s);
            else
                comboClose(w, CloseReason::Cancelled);
            return TRUE;
        case CB_GETDROPPEDSTATE:
            return s.dropped ? TRUE : FALSE;
        case CB_SETDROPPEDWIDTH:
            if (static_cast<long>(wParam) < 0 || wParam > 0x7FFF) return CB_ERR;
            s.droppedWidth = static_cast<int>(wParam);
            return std::max<LRESULT>(s.droppedWidth, [&] {
                RECT r;
                GetWindowRect(w, &r);
                return static_cast<LRESULT>(r.right - r.left);
            }());
        case CB_GETDROPPEDWIDTH: {
            RECT r;
            GetWindowRect(w, &r);
            return std::max<LRESULT>(s.droppedWidth, r.right - r.left);
        }
        case CB_GETDROPPEDCONTROLRECT: {
            if (!lParam) return CB_ERR;
            auto* out = reinterpret_cast<RECT*>(lParam);
            GetWindowRect(w, out);
            out->bottom = out->top + closedHeight(s) + s.listHeight;
            return CB_OKAY;
        }
        case CB_SETITEMHEIGHT:
            if (LOWORD(lParam) == 0 || LOWORD(lParam) > 255) return CB_ERR;
            if (static_cast<long>(wParam) == -1)
                s.fieldHeight = LOWORD(lParam);
            else
                s.itemHeight = LOWORD(lParam);
            return CB_OKAY;
        case CB_GETITEMHEIGHT:
            return static_cast<long>(wParam) == -1 ? s.fieldHeight : s.itemHeight;
        case CB_LIMITTEXT:
            if (s.edit) SendMessageW(s.edit, EM_LIMITTEXT, wParam, 0);
            return TRUE;
        case CB_GETEDITSEL:
            if (!s.edit) return CB_ERR;
            return SendMessageW(s.edit, EM_GETSEL, wParam, lParam);
        case CB_SETEDITSEL:
            if (!s.edit) return CB_ERR;
            SendMessageW(s.edit, EM_SETSEL, static_cast<WPARAM>(GET_X_LPARAM(lParam)), GET_Y_LPARAM(lParam));
            return TRUE;
        case CB_GETCOMBOBOXINFO:
            return GetComboBoxInfo(w, reinterpret_cast<PCOMBOBOXINFO>(lParam));
        default:
            return CB_ERR;
    }
}

}  // namespace

int comboVisibleRows(const ComboState& s) {
    RECT r{};
    if (s.list) GetClientRect(s.list, &r);
    return std::max(1, (int(r.bottom) - 2) / std::max(1, s.itemHeight));
}

void comboClose(HWND w, CloseReason reason) {
    auto keep = ComboStates::find(w);
    if (!keep || !keep->dropped || keep->closing) return;
    ComboState& s = *keep;
    s.closing = true;
    if (reason == CloseReason::UserCancelled && s.selected != s.beforeDrop) {
        s.selected = s.beforeDrop;
        showSelection(w, s);
    }
    notifyParent(w, reason == CloseReason::Chosen ? CBN_SELENDOK : CBN_SELENDCANCEL);
    s.dropped = false;
    if (IsWindow(s.list)) {
        if (GetCapture() == s.list) ReleaseCapture();
        SetWindowPos(s.list, nullptr, 0, 0, 0, 0,
                     SWP_HIDEWINDOW | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    InvalidateRect(w, nullptr, FALSE);
    s.closing = false;
    if (IsWindow(w)) notifyParent(w, CBN_CLOSEUP);
}

void comboChoose(HWND w, int index) {
    auto keep = ComboStates::find(w);
    if (!keep) return;
    ComboState& s = *keep;
    bool valid = index >= 0 && index < static_cast<int>(s.items.size());
    if (valid) {
        s.selected = index;
        showSelection(w, s);
    }
    comboClose(w, CloseReason::Chosen);
    if (valid && IsWindow(w)) notifyParent(w, CBN_SELCHANGE);
}

LRESULT comboProc(HWND w, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_CREATE) return onCreate(w, lParam);
    auto keep = ComboStates::find(w);
    if (!keep) return DefWindowProcW(w, message, wParam, lParam);
    ComboState& s = *keep;
    if (message >= CB_GETEDITSEL && message <= CB_GETCOMBOBOXINFO) return comboMessage(w, s, message, wParam, lParam);
    switch (message) {
        case WM_NCDESTROY:
            if (IsWindow(s.list)) DestroyWindow(s.list);
            ComboStates::destroy(w);
            return DefWindowProcW(w, message, wParam, lParam);
        case WM_WINDOWPOSCHANGING: {
            // A taller box means a taller list: the box itself keeps one row.
            auto* pos = reinterpret_cast<WINDOWPOS*>(lParam);
            if (pos && !(pos->flags & SWP_NOSIZE) && pos->cy != closedHeight(s)) {
                s.listHeight = std::max(s.itemHeight, pos->cy - closedHeight(s));
                pos->cy = closedHeight(s);
            }
            return 0;
        }
        case WM_SIZE:
            layout(w, s);
            InvalidateRect(w, nullptr, FALSE);
            return 0;
        case WM_SETFONT:
            setFont(w, s, reinterpret_cast<HFONT>(wParam));
            if (lParam) InvalidateRect(w, nullptr, TRUE);
            return 0;
        case WM_GETFONT:
            return reinterpret_cast<LRESULT>(s.font);
        case WM_SETTEXT:
            return setText(w, s, reinterpret_cast<LPCWSTR>(lParam));
        case WM_GETTEXT: {
            if (s.edit) return SendMessageW(s.edit, WM_GETTEXT, wParam, lParam);
            auto* out = reinterpret_cast<LPWSTR>(lParam);
            if (!out || wParam == 0) return 0;
            std::u16string t = s.selected >= 0 ? s.items[static_cast<std::size_t>(s.selected)].text : u"";
            std::size_t n = std::min<std::size_t>(wParam - 1, t.size());
            std::copy_n(t.data(), n, out);
            out[n] = 0;
            return static_cast<LRESULT>(n);
        }
        case WM_GETTEXTLENGTH:
            if (s.edit) return SendMessageW(s.edit, WM_GETTEXTLENGTH, 0, 0);
            return s.selected >= 0 ? static_cast<LRESULT>(s.items[static_cast<std::size_t>(s.selected)].text.size())
                                   : 0;
        case WM_ENABLE:
            if (s.edit) EnableWindow(s.edit, wParam ? TRUE : FALSE);
            InvalidateRect(w, nullptr, FALSE);
            return 0;
        case WM_GETDLGCODE:
            return DLGC_WANTARROWS | DLGC_WANTCHARS | (s.dropped ? DLGC_WANTMESSAGE : 0);
        case WM_SETFOCUS:
            if (s.edit) {
                SetFocus(s.edit);
                return 0;
            }
            s.focused = true;
            startTextInput(w, RECT{0, 0, 1, 1});
            InvalidateRect(w, nullptr, FALSE);
            notifyParent(w, CBN_SETFOCUS);
            return 0;
        case WM_KILLFOCUS: {
            HWND to = reinterpret_cast<HWND>(wParam);
            if (s.edit && to == s.edit) return 0;
            if (!s.edit) stopTextInput();
            s.focused = false;
            if (s.dropped && to != s.list) comboClose(w, CloseReason::Cancelled);
            InvalidateRect(w, nullptr, FALSE);
            if (IsWindow(w)) notifyParent(w, CBN_KILLFOCUS);
            return 0;
        }
        case WM_COMMAND:
            if (s.edit && reinterpret_cast<HWND>(lParam) == s.edit) {
                switch (HIWORD(wParam)) {
                    case EN_CHANGE:
                        notifyParent(w, CBN_EDITCHANGE);
                        break;
                    case EN_UPDATE:
                        notifyParent(w, CBN_EDITUPDATE);
                        break;
                    case EN_SETFOCUS:
                        SendMessageW(s.edit, EM_SETSEL, 0, -1);
                        InvalidateRect(w, nullptr, FALSE);
                        notifyParent(w, CBN_SETFOCUS);
                        break;
                    case EN_KILLFOCUS:
                        if (s.dropped && GetFocus() != w) comboClose(w, CloseReason::Cancelled);
                        InvalidateRect(w, nullptr, FALSE);
                        if (IsWindow(w)) notifyParent(w, CBN_KILLFOCUS);
                        break;
                    default:
                        break;
                }
            }
            return 0;
        case WM_CTLCOLOREDIT:
        case WM_CTLCOLORSTATIC:
        case WM_CTLCOLORLISTBOX: {
            HWND parent = GetAncestor(w, GA_PARENT);
            return parent ? SendMessageW(parent, message, wParam, lParam) : 0;
        }
        case WM_KEYDOWN:
        case WM_SYSKEYDOWN:
            if (onKey(w, s, static_cast<int>(wParam))) return 0;
            return DefWindowProcW(w, message, wParam, lParam);
        case WM_CHAR:
            if (!s.edit && wParam >= 0x20) {
                // Typing a letter selects the next item that starts with it.
                LRESULT index =
                    find(s, static_cast<WPARAM>(s.selected), std::u16string(1, static_cast<char16_t>(wParam)), false);
                if (index != CB_ERR) select(w, s, static_cast<int>(index), !s.dropped);
            }
            return 0;
        case WM_MOUSEWHEEL: {
            int notches = static_cast<short>(HIWORD(wParam)) / WHEEL_DELTA;
            if (notches == 0) return 0;
            if (s.dropped) {
                s.top = std::clamp(s.top - notches * 3, 0,
                                   std::max(0, static_cast<int>(s.items.size()) - comboVisibleRows(s)));
                InvalidateRect(s.list, nullptr, FALSE);
            } else if (!s.items.empty()) {
                select(w, s, std::clamp(s.selected - notches, 0, static_cast<int>(s.items.size()) - 1), true);
            }
            return 0;
        }
        case WM_LBUTTONDOWN:
        case WM_LBUTTONDBLCLK: {
            HWND focusTarget = s.edit ? s.edit : w;
            if (GetFocus() != focusTarget) SetFocus(focusTarget);
            auto alive = ComboStates::find(w);
            if (!alive) return 0;
            RECT c;
            GetClientRect(w, &c);
            int x = GET_X_LPARAM(lParam);
            if (!s.edit || x >= c.right - kComboButtonWidth) {
                if (s.dropped)
                    comboClose(w, CloseReason::Chosen);
                else
                    open(w, s);
            }
            return 0;
        }
        case WM_MOUSEMOVE:
            trackHover(w, s.hovered);
            return 0;
        case WM_MOUSELEAVE:
            endHover(w, s.hovered);
            return 0;
        case WM_ERASEBKGND:
            return 1;
        case WM_PAINT:
            paint(w, s);
            return 0;
        default:
            return DefWindowProcW(w, message, wParam, lParam);
    }
}

}  // namespace veltrix::platform::controls

using namespace veltrix::platform::controls;

BOOL GetComboBoxInfo(HWND combo, PCOMBOBOXINFO info) {
    auto s = ComboStates::find(combo);
    if (!s || !info) return FALSE;
    RECT c;
    GetClientRect(combo, &c);
    info->rcItem = RECT{c.left + 2, c.top + 2, c.right - kComboButtonWidth, c.bottom - 2};
    info->rcButton = RECT{c.right - kComboButtonWidth, c.top + 1, c.right - 1, c.bottom - 1};
    info->stateButton = 0;
    info->hwndCombo = combo;
    info->hwndItem = s->edit ? s->edit : combo;
    info->hwndList = s->list;
    return TRUE;
}

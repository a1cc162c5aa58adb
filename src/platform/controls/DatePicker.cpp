// The "SysDateTimePick32" window class: a date shown in its display format,
// edited field by field, with a calendar drop-down (Calendar.cpp).
#include <algorithm>

#include "platform/api/GdiHandles.h"
#include "platform/controls/Controls.h"
#include "platform/controls/DateState.h"
#include "platform/controls/Theme.h"

namespace veltrix::platform::controls {

namespace {

// The formats a picker shows before it is given one, by its style.
std::u16string defaultFormat(HWND w) {
    bool longFormat = (GetWindowLongW(w, GWL_STYLE) & DTS_LONGDATEFORMAT) != 0;
    return longFormat ? u"dddd, MMMM d, yyyy" : u"yyyy/MM/dd";
}

bool editable(const DateSegment& s) {
    return s.field == DateField::Year || s.field == DateField::Month || s.field == DateField::Day;
}

void sendNotify(HWND w, NMHDR& header) {
    HWND parent = GetAncestor(w, GA_PARENT);
    if (!parent || parent == GetDesktopWindow()) return;
    header.hwndFrom = w;
    header.idFrom = static_cast<UINT_PTR>(GetDlgCtrlID(w));
    SendMessageW(parent, WM_NOTIFY, header.idFrom, reinterpret_cast<LPARAM>(&header));
}

void notifyCode(HWND w, UINT code) {
    NMHDR header{};
    header.code = code;
    sendNotify(w, header);
}

std::u16string text(const DateState& s) { return formatDate(s.segments, s.date); }

int firstField(const DateState& s) {
    for (std::size_t i = 0; i < s.segments.size(); ++i)
        if (editable(s.segments[i])) return static_cast<int>(i);
    return -1;
}

void moveField(DateState& s, int direction) {
    s.typed.clear();
    if (s.field < 0) {
        s.field = firstField(s);
        return;
    }
    for (int i = s.field + direction; i >= 0 && i < static_cast<int>(s.segments.size()); i += direction) {
        if (editable(s.segments[static_cast<std::size_t>(i)])) {
            s.field = i;
            return;
        }
    }
}

// The date with one field set, the day cut to its month's length.
SYSTEMTIME withField(SYSTEMTIME d, DateField field, int value) {
    switch (field) {
        case DateField::Year:
            d.wYear = static_cast<WORD>(std::clamp(value, 1601, 9999));
            break;
        case DateField::Month:
            d.wMonth = static_cast<WORD>(std::clamp(value, 1, 12));
            break;
        case DateField::Day:
            d.wDay = static_cast<WORD>(std::clamp(value, 1, daysInMonth(d.wYear, d.wMonth)));
            break;
        default:
            break;
    }
    d.wDay = static_cast<WORD>(std::min<int>(d.wDay, daysInMonth(d.wYear, d.wMonth)));
    d.wDayOfWeek = static_cast<WORD>(dayOfWeek(d.wYear, d.wMonth, d.wDay));
    return d;
}

// Up and Down: one step, wrapping within the field's range as Windows does.
SYSTEMTIME stepped(const SYSTEMTIME& d, DateField field, int delta) {
    switch (field) {
        case DateField::Year:
            return withField(d, field, d.wYear + delta);
        case DateField::Month:
            return withField(d, field, (d.wMonth - 1 + delta + 12) % 12 + 1);
        case DateField::Day: {
            int days = daysInMonth(d.wYear, d.wMonth);
            return withField(d, field, (d.wDay - 1 + delta + days) % days + 1);
        }
        default:
            return d;
    }
}

void typeDigit(HWND w, DateState& s, char16_t digit) {
    if (s.field < 0) return;
    const DateSegment& seg = s.segments[static_cast<std::size_t>(s.field)];
    s.typed += digit;
    int value = 0;
    for (char16_t c : s.typed) value = value * 10 + (c - u'0');
    std::size_t full = seg.field == DateField::Year && seg.width != 2 ? 4 : 2;
    int maximum = seg.field == DateField::Month ? 12
                  : seg.field == DateField::Day ? daysInMonth(s.date.wYear, s.date.wMonth)
                                                : 9999;
    bool complete = s.typed.size() >= full || value * 10 > maximum;
    if (seg.field == DateField::Year) {
        // A year takes effect once all its digits are there.
        if (!complete) {
            InvalidateRect(w, nullptr, FALSE);
            return;
        }
        if (seg.width == 2) value += 2000;  // a two-digit year field types this century's years
    }
    if (value >= 1 || seg.field == DateField::Year) datePickerChange(w, withField(s.date, seg.field, value));
    auto alive = DateStates::find(w);
    if (!alive) return;
    if (complete) moveField(s, 1);
    InvalidateRect(w, nullptr, FALSE);
}

// x ranges of the segments as drawn, for clicks on a field.
std::vector<int> segmentEdges(HWND w, const DateState& s) {
    FontDC dc(w, s.font);
    std::vector<int> edges{0};
    for (const DateSegment& seg : s.segments) {
        std::u16string t = formatSegment(seg, s.date);
        SIZE size{};
        GetTextExtentPoint32W(dc.get(), t.data(), static_cast<int>(t.size()), &size);
        edges.push_back(edges.back() + size.cx);
    }
    return edges;
}

constexpr int kTextLeft = 6;

void openCalendar(HWND w, DateState& s) {
    if (s.dropped || !s.calendar) return;
    notifyCode(w, DTN_DROPDOWN);
    auto alive = DateStates::find(w);
    if (!alive || s.dropped) return;
    RECT box;
    GetWindowRect(w, &box);
    SIZE size = calendarSize(s.font);
    int x = box.left;
    int right = GetSystemMetrics(SM_CXSCREEN);
    if (x + size.cx > right) x = std::max(0, right - static_cast<int>(size.cx));
    int y = box.bottom + 1;
    if (y + size.cy > GetSystemMetrics(SM_CYSCREEN) && box.top - size.cy >= 0) y = box.top - size.cy - 1;
    s.shown = s.date;
    s.dropped = true;
    SetWindowPos(s.calendar, HWND_TOPMOST, x, y, size.cx, size.cy, SWP_SHOWWINDOW | SWP_NOACTIVATE);
    InvalidateRect(s.calendar, nullptr, TRUE);
    SetCapture(s.calendar);
    InvalidateRect(w, nullptr, FALSE);
}

bool onKey(HWND w, DateState& s, int key) {
    bool alt = GetKeyState(VK_MENU) < 0;
    if (s.dropped) {
        // The calendar has no focus of its own: its keys come through the picker.
        switch (key) {
            case VK_LEFT:
                s.shown = addDays(s.shown, -1);
                break;
            case VK_RIGHT:
                s.shown = addDays(s.shown, 1);
                break;
            case VK_UP:
                if (alt) {
                    datePickerClose(w, &s.shown);
                    return true;
                }
                s.shown = addDays(s.shown, -7);
                break;
            case VK_DOWN:
                s.shown = addDays(s.shown, 7);
                break;
            case VK_PRIOR:
                s.shown = addMonths(s.shown, -1);
                break;
            case VK_NEXT:
                s.shown = addMonths(s.shown, 1);
                break;
            case VK_RETURN: {
                SYSTEMTIME chosen = s.shown;
                datePickerClose(w, &chosen);
                return true;
            }
            case VK_ESCAPE:
                datePickerClose(w, nullptr);
                return true;
            case VK_F1 + 3:
                datePickerClose(w, nullptr);
                return true;
            default:
                return false;
        }
        InvalidateRect(s.calendar, nullptr, FALSE);
        return true;
    }
    switch (key) {
        case VK_LEFT:
            moveField(s, -1);
            break;
        case VK_RIGHT:
            moveField(s, 1);
            break;
        case VK_HOME:
            s.typed.clear();
            s.field = firstField(s);
            break;
        case VK_UP:
        case VK_DOWN:
            if (alt && key == VK_DOWN) {
                openCalendar(w, s);
                return true;
            }
            if (s.field < 0) s.field = firstField(s);
            if (s.field < 0) return true;
            s.typed.clear();
            datePickerChange(
                w, stepped(s.date, s.segments[static_cast<std::size_t>(s.field)].field, key == VK_UP ? 1 : -1));
            break;
        case VK_F1 + 3:
            openCalendar(w, s);
            return true;
        default:
            return false;
    }
    InvalidateRect(w, nullptr, FALSE);
    return true;
}

void paint(HWND w, DateState& s) {
    const PaintDC painting(w);
    HDC dc = painting.get();
    if (!dc) return;
    RECT c;
    GetClientRect(w, &c);
    bool enabled = IsWindowEnabled(w);
    theme::fill(dc, c, enabled ? theme::kFieldBackground : theme::kDisabledBackground);
    COLORREF frame = (s.focused || s.dropped) && enabled ? theme::kFocus : s.hovered ? theme::kFrameHot : theme::kFrame;
    if (hasBorder(w)) {
        paintBorder(w, frame);
        InflateRect(&c, 1, 1);  // the border stands in for the client frame
    } else {
        theme::frame(dc, c, frame);
    }
    RECT button{c.right - kDateButtonWidth, c.top + 1, c.right - 1, c.bottom - 1};
    if (s.hovered || s.dropped) theme::fill(dc, button, theme::kHover);
    theme::chevron(dc, button, enabled ? theme::kGlyph : theme::kDisabledText);
    SelectedObject selection(dc, s.font);
    SetBkMode(dc, TRANSPARENT);
    TEXTMETRICW tm{};
    GetTextMetricsW(dc, &tm);
    int y = (int(c.bottom) - tm.tmHeight) / 2;
    int saved = SaveDC(dc);
    IntersectClipRect(dc, c.left + 1, c.top + 1, button.left, c.bottom - 1);
    int x = kTextLeft;
    for (std::size_t i = 0; i < s.segments.size(); ++i) {
        std::u16string t = formatSegment(s.segments[i], s.date);
        bool current = s.focused && !s.dropped && static_cast<int>(i) == s.field;
        if (current && !s.typed.empty() && s.segments[i].field == DateField::Year) t = s.typed;
        SIZE size{};
        GetTextExtentPoint32W(dc, t.data(), static_cast<int>(t.size()), &size);
        if (current) theme::fill(dc, RECT{x - 1, y, x + size.cx + 1, y + tm.tmHeight}, theme::kSelection);
        SetTextColor(dc, !enabled ? theme::kDisabledText : current ? theme::kSelectionText : theme::kFieldText);
        TextOutW(dc, x, y, t.data(), static_cast<int>(t.size()));
        x += size.cx;
    }
    RestoreDC(dc, saved);
}

LRESULT onCreate(HWND w) {
    auto s = DateStates::create(w);
    s->date = today();
    s->segments = parseDateFormat(defaultFormat(w));
    s->font = fontOrDefault(nullptr);
    HWND owner = GetAncestor(w, GA_ROOT);
    s->calendar = CreateWindowExW(WS_EX_TOOLWINDOW | WS_EX_TOPMOST | WS_EX_NOACTIVATE, kCalendarClass, u"",
                                  WS_POPUP | WS_CLIPSIBLINGS, 0, 0, 0, 0, owner, nullptr, nullptr, nullptr);
    if (s->calendar) SetWindowLongPtrW(s->calendar, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(w));
    return 0;
}

LRESULT pickerMessage(HWND w, DateState& s, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case DTM_GETSYSTEMTIME:
            if (!lParam) return static_cast<LRESULT>(GDT_ERROR);
            *reinterpret_cast<SYSTEMTIME*>(lParam) = s.date;
            return static_cast<LRESULT>(GDT_VALID);
        case DTM_SETSYSTEMTIME: {
            if (wParam != GDT_VALID || !lParam) return FALSE;
            SYSTEMTIME d = *reinterpret_cast<const SYSTEMTIME*>(lParam);
            if (!isValidDate(d)) return FALSE;
            d.wDayOfWeek = static_cast<WORD>(dayOfWeek(d.wYear, d.wMonth, d.wDay));
            s.date = d;
            s.typed.clear();
            InvalidateRect(w, nullptr, FALSE);
            return TRUE;
        }
        case DTM_SETFORMATW: {
            auto* format = reinterpret_cast<LPCWSTR>(lParam);
            s.segments = parseDateFormat(format && *format ? std::u16string(format) : defaultFormat(w));
            s.field = -1;
            s.typed.clear();
            InvalidateRect(w, nullptr, FALSE);
            return TRUE;
        }
        case DTM_GETMONTHCAL:
            return s.dropped ? reinterpret_cast<LRESULT>(s.calendar) : 0;
        default:
            return 0;
    }
}

}  // namespace

void datePickerChange(HWND w, const SYSTEMTIME& date) {
    auto keep = DateStates::find(w);
    if (!keep || !isValidDate(date)) return;
    DateState& s = *keep;
    SYSTEMTIME d = date;
    d.wDayOfWeek = static_cast<WORD>(dayOfWeek(d.wYear, d.wMonth, d.wDay));
    bool same = d.wYear == s.date.wYear && d.wMonth == s.date.wMonth && d.wDay == s.date.wDay;
    s.date = d;
    InvalidateRect(w, nullptr, FALSE);
    if (same) return;
    NMDATETIMECHANGE change{};
    change.nmhdr.code = DTN_DATETIMECHANGE;
    change.dwFlags = static_cast<DWORD>(GDT_VALID);
    change.st = d;
    sendNotify(w, change.nmhdr);
}

void datePickerClose(HWND w, const SYSTEMTIME* chosen) {
    auto keep = DateStates::find(w);
    if (!keep || !keep->dropped || keep->closing) return;
    DateState& s = *keep;
    s.closing = true;
    s.dropped = false;
    if (IsWindow(s.calendar)) {
        if (GetCapture() == s.calendar) ReleaseCapture();
        SetWindowPos(s.calendar, nullptr, 0, 0, 0, 0,
                     SWP_HIDEWINDOW | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    s.closing = false;
    InvalidateRect(w, nullptr, FALSE);
    notifyCode(w, DTN_CLOSEUP);
    if (chosen && IsWindow(w)) datePickerChange(w, *chosen);
}

LRESULT datePickerProc(HWND w, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_CREATE) return onCreate(w);
    auto keep = DateStates::find(w);
    if (!keep) return DefWindowProcW(w, message, wParam, lParam);
    DateState& s = *keep;
    if (message >= DTM_FIRST && message < DTM_FIRST + 0x100) return pickerMessage(w, s, message, wParam, lParam);
    switch (message) {
        case WM_NCDESTROY:
            if (IsWindow(s.calendar)) DestroyWindow(s.calendar);
            DateStates::destroy(w);
            return DefWindowProcW(w, message, wParam, lParam);
        case WM_GETTEXT: {
            auto* out = reinterpret_cast<LPWSTR>(lParam);
            if (!out || wParam == 0) return 0;
            std::u16string t = text(s);
            std::size_t n = std::min<std::size_t>(wParam - 1, t.size());
            std::copy_n(t.data(), n, out);
            out[n] = 0;
            return static_cast<LRESULT>(n);
        }
        case WM_GETTEXTLENGTH:
            return static_cast<LRESULT>(text(s).size());
        case WM_SETTEXT:
            return FALSE;
        case WM_SETFONT:
            s.font = fontOrDefault(reinterpret_cast<HFONT>(wParam));
            if (lParam) InvalidateRect(w, nullptr, TRUE);
            return 0;
        case WM_GETFONT:
            return reinterpret_cast<LRESULT>(s.font);
        case WM_GETDLGCODE:
            return DLGC_WANTARROWS | DLGC_WANTCHARS;
        case WM_SETFOCUS:
            s.focused = true;
            startTextInput(w, RECT{0, 0, 1, 1});
            if (s.field < 0) s.field = firstField(s);
            InvalidateRect(w, nullptr, FALSE);
            return 0;
        case WM_KILLFOCUS:
            stopTextInput();
            s.focused = false;
            s.typed.clear();
            if (s.dropped) datePickerClose(w, nullptr);
            InvalidateRect(w, nullptr, FALSE);
            return 0;
        case WM_KEYDOWN:
        case WM_SYSKEYDOWN:
            if (onKey(w, s, static_cast<int>(wParam))) return 0;
            return DefWindowProcW(w, message, wParam, lParam);
        case WM_CHAR: {
            auto c = static_cast<char16_t>(wParam);
            if (c >= u'0' && c <= u'9' && !s.dropped)
                typeDigit(w, s, c);
            else if (!s.dropped && (c == u'/' || c == u'-' || c == u'.')) {
                moveField(s, 1);
                InvalidateRect(w, nullptr, FALSE);
            }
            return 0;
        }
        case WM_MOUSEWHEEL: {
            if (s.dropped) return SendMessageW(s.calendar, message, wParam, lParam);
            int notches = static_cast<short>(HIWORD(wParam)) / WHEEL_DELTA;
            if (notches != 0 && s.field >= 0)
                datePickerChange(w, stepped(s.date, s.segments[static_cast<std::size_t>(s.field)].field, notches));
            return 0;
        }
        case WM_LBUTTONDOWN: {
            if (GetFocus() != w) SetFocus(w);
            auto alive = DateStates::find(w);
            if (!alive) return 0;
            RECT c;
            GetClientRect(w, &c);
            int x = GET_X_LPARAM(lParam);
            if (x >= c.right - kDateButtonWidth) {
                openCalendar(w, s);
                return 0;
            }
            std::vector<int> edges = segmentEdges(w, s);
            for (std::size_t i = 0; i < s.segments.size(); ++i) {
                if (x >= kTextLeft + edges[i] && x < kTextLeft + edges[i + 1] && editable(s.segments[i])) {
                    s.field = static_cast<int>(i);
                    s.typed.clear();
                }
            }
            InvalidateRect(w, nullptr, FALSE);
            return 0;
        }
        case WM_MOUSEMOVE:
            trackHover(w, s.hovered);
            return 0;
        case WM_MOUSELEAVE:
            endHover(w, s.hovered);
            return 0;
        case WM_ENABLE:
            InvalidateRect(w, nullptr, FALSE);
            return 0;
        case WM_ERASEBKGND:
            return 1;
        case WM_NCPAINT:
            return 0;  // painted with the client area, which knows the state
        case WM_PAINT:
            paint(w, s);
            return 0;
        default:
            return DefWindowProcW(w, message, wParam, lParam);
    }
}

}  // namespace veltrix::platform::controls

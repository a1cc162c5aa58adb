// The date picker's drop-down: a month grid in a pop-up window that never
// takes the activation. The picker keeps the focus and passes it the keys.
#include <algorithm>

#include "platform/api/GdiHandles.h"
#include "platform/controls/Controls.h"
#include "platform/controls/DateState.h"
#include "platform/controls/Theme.h"

namespace veltrix::platform::controls {

namespace {

const char16_t* const kMonthNames[] = {u"January", u"February", u"March",     u"April",   u"May",      u"June",
                                       u"July",    u"August",   u"September", u"October", u"November", u"December"};
const char16_t* const kDayNames[] = {u"Su", u"Mo", u"Tu", u"We", u"Th", u"Fr", u"Sa"};

constexpr int kPad = 8;
constexpr int kCellWidth = 32;

struct Geometry {
    int cellHeight;
    int headerHeight;
    int weekdayHeight;
    RECT previous;
    RECT next;
    int gridTop;
};

Geometry geometryOf(HFONT font) {
    int h = lineHeightOf(font);
    Geometry g{};
    g.cellHeight = h + 10;
    g.headerHeight = h + 16;
    g.weekdayHeight = h + 8;
    g.previous = RECT{kPad, kPad, kPad + kCellWidth, kPad + g.headerHeight};
    g.next = RECT{kPad + 6 * kCellWidth, kPad, kPad + 7 * kCellWidth, kPad + g.headerHeight};
    g.gridTop = kPad + g.headerHeight + g.weekdayHeight;
    return g;
}

HWND pickerOf(HWND calendar) { return reinterpret_cast<HWND>(GetWindowLongPtrW(calendar, GWLP_USERDATA)); }

// The date in a cell of the grid; the grid starts on the Sunday on or before the first.
SYSTEMTIME cellDate(const SYSTEMTIME& shown, int cell) {
    SYSTEMTIME first = shown;
    first.wDay = 1;
    int lead = dayOfWeek(first.wYear, first.wMonth, 1);
    return addDays(first, cell - lead);
}

RECT cellRect(const Geometry& g, int cell) {
    int column = cell % 7;
    int row = cell / 7;
    return RECT{kPad + column * kCellWidth, g.gridTop + row * g.cellHeight, kPad + (column + 1) * kCellWidth,
                g.gridTop + (row + 1) * g.cellHeight};
}

int cellAt(const Geometry& g, POINT p) {
    if (p.x < kPad || p.x >= kPad + 7 * kCellWidth || p.y < g.gridTop || p.y >= g.gridTop + 6 * g.cellHeight) return -1;
    return (p.y - g.gridTop) / g.cellHeight * 7 + (p.x - kPad) / kCellWidth;
}

bool sameDay(const SYSTEMTIME& a, const SYSTEMTIME& b) {
    return a.wYear == b.wYear && a.wMonth == b.wMonth && a.wDay == b.wDay;
}

void drawCentred(HDC dc, const std::u16string& text, RECT r) {
    DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &r,
              DT_SINGLELINE | DT_CENTER | DT_VCENTER | DT_NOPREFIX);
}

std::u16string number(int value) {
    std::u16string t;
    do {
        t.insert(t.begin(), static_cast<char16_t>(u'0' + value % 10));
        value /= 10;
    } while (value > 0);
    return t;
}

void paint(HWND calendar, DateState& s) {
    const PaintDC painting(calendar);
    HDC dc = painting.get();
    if (!dc) return;
    RECT c;
    GetClientRect(calendar, &c);
    Geometry g = geometryOf(s.font);
    theme::fill(dc, c, theme::kFieldBackground);
    SelectedObject selection(dc, s.font);
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, theme::kFieldText);
    RECT title{g.previous.right, g.previous.top, g.next.left, g.previous.bottom};
    drawCentred(dc, std::u16string(kMonthNames[s.shown.wMonth - 1]) + u" " + number(s.shown.wYear), title);
    SetTextColor(dc, theme::kGlyph);
    drawCentred(dc, u"\u2039", g.previous);
    drawCentred(dc, u"\u203A", g.next);
    SetTextColor(dc, theme::kMutedText);
    for (int d = 0; d < 7; ++d) {
        RECT r{kPad + d * kCellWidth, kPad + g.headerHeight, kPad + (d + 1) * kCellWidth, g.gridTop};
        drawCentred(dc, kDayNames[d], r);
    }
    theme::fill(dc, RECT{kPad, g.gridTop - 2, kPad + 7 * kCellWidth, g.gridTop - 1}, theme::kDisabledBackground);
    SYSTEMTIME now = today();
    for (int cell = 0; cell < 42; ++cell) {
        SYSTEMTIME d = cellDate(s.shown, cell);
        RECT r = cellRect(g, cell);
        RECT inner{r.left + 2, r.top + 1, r.right - 2, r.bottom - 1};
        bool highlighted = sameDay(d, s.shown);
        if (highlighted)
            theme::fill(dc, inner, theme::kSelection);
        else if (cell == s.hotCell)
            theme::fill(dc, inner, theme::kHover);
        if (!highlighted && sameDay(d, s.date))
            theme::frame(dc, inner, theme::kFocus);
        else if (!highlighted && sameDay(d, now))
            theme::frame(dc, inner, theme::kFrame);
        SetTextColor(dc, highlighted                  ? theme::kSelectionText
                         : d.wMonth == s.shown.wMonth ? theme::kFieldText
                                                      : theme::kMutedText);
        drawCentred(dc, number(d.wDay), r);
    }
    selection.restore();
    theme::frame(dc, c, theme::kFrame);
}

}  // namespace

SIZE calendarSize(HFONT font) {
    Geometry g = geometryOf(fontOrDefault(font));
    return SIZE{2 * kPad + 7 * kCellWidth, g.gridTop + 6 * g.cellHeight + kPad};
}

LRESULT calendarProc(HWND calendar, UINT message, WPARAM wParam, LPARAM lParam) {
    HWND picker = pickerOf(calendar);
    auto keep = picker ? DateStates::find(picker) : nullptr;
    if (!keep) return DefWindowProcW(calendar, message, wParam, lParam);
    DateState& s = *keep;
    POINT p{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    Geometry g = geometryOf(s.font);
    switch (message) {
        case WM_MOUSEACTIVATE:
            return 3;  // MA_NOACTIVATE
        case WM_MOUSEMOVE: {
            int cell = cellAt(g, p);
            if (cell != s.hotCell) {
                s.hotCell = cell;
                InvalidateRect(calendar, nullptr, FALSE);
            }
            return 0;
        }
        case WM_LBUTTONDOWN: {
            RECT c;
            GetClientRect(calendar, &c);
            if (!PtInRect(&c, p)) {
                datePickerClose(picker, nullptr);
                return 0;
            }
            if (PtInRect(&g.previous, p) || PtInRect(&g.next, p)) {
                s.shown = addMonths(s.shown, PtInRect(&g.previous, p) ? -1 : 1);
                InvalidateRect(calendar, nullptr, FALSE);
                return 0;
            }
            int cell = cellAt(g, p);
            if (cell >= 0) {
                SYSTEMTIME chosen = cellDate(s.shown, cell);
                datePickerClose(picker, &chosen);
            }
            return 0;
        }
        case WM_MOUSEWHEEL: {
            int notches = static_cast<short>(HIWORD(wParam)) / WHEEL_DELTA;
            s.shown = addMonths(s.shown, -notches);
            InvalidateRect(calendar, nullptr, FALSE);
            return 0;
        }
        case WM_CAPTURECHANGED:
            if (s.dropped && !s.closing && reinterpret_cast<HWND>(lParam) != calendar) datePickerClose(picker, nullptr);
            return 0;
        case WM_ERASEBKGND:
            return 1;
        case WM_PAINT:
            paint(calendar, s);
            return 0;
        default:
            return DefWindowProcW(calendar, message, wParam, lParam);
    }
}

}  // namespace veltrix::platform::controls

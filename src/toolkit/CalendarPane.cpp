#include "toolkit/CalendarPane.h"

#include <cstdlib>
#include <string>
#include <vector>

namespace {

constexpr DWORD kPickerStyle = 0x50800004;

bool toNumber(const std::u16string& s, int& out) {
    if (s.empty() || s.size() > 9) return false;
    int v = 0;
    for (char16_t c : s) {
        if (c < u'0' || c > u'9') return false;
        v = v * 10 + (c - u'0');
    }
    out = v;
    return true;
}

}  // namespace

bool CalendarPane::create(HWND parent, int x, int y, int width, int height) {
    if (handle_) return true;
    HWND picker = CreateWindowExW(0, u"SysDateTimePick32", u"", kPickerStyle, x, y, width, height, parent, nullptr,
                                  nullptr, nullptr);
    if (!picker) return false;
    SendMessageW(picker, DTM_SETFORMATW, 0, reinterpret_cast<LPARAM>(u"yyy'/'MM'/'dd'"));
    SendMessageW(picker, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)), TRUE);
    if (!subclassWindow(picker)) {
        DestroyWindow(picker);
        return false;
    }
    return true;
}

SYSTEMTIME CalendarPane::getDate(const SYSTEMTIME& date) const {
    std::u16string text = getText();
    std::vector<std::u16string> parts(1);
    for (char16_t c : text) {
        if (c == u'/')
            parts.emplace_back();
        else
            parts.back().push_back(c);
    }
    int year = 0, month = 0, day = 0;
    if (parts.size() != 3 || !toNumber(parts[0], year) || !toNumber(parts[1], month) || !toNumber(parts[2], day))
        return date;
    SYSTEMTIME wanted = date;
    wanted.wYear = static_cast<WORD>(year);
    wanted.wMonth = static_cast<WORD>(month);
    wanted.wDay = static_cast<WORD>(day);
    FILETIME time{};
    SYSTEMTIME normalised{};
    if (year > 0xFFFF || !SystemTimeToFileTime(&wanted, &time) || !FileTimeToSystemTime(&time, &normalised))
        return date;
    return normalised;
}

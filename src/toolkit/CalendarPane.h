// A date field: the system date picker showing year/month/day ("2012/05/14")
// with a calendar drop-down, wrapped as a toolkit window.
#pragma once

#include "toolkit/BaseWindow.h"

class CalendarPane : public BaseWindow {
public:
    // A child date picker (styles 0x50800004: child, visible, border, long
    // date format) with the display format "yyy'/'MM'/'dd'" and the default
    // GUI font, subclassed by the toolkit.
    bool create(HWND parent, int x, int y, int width, int height);
    // The date the picker shows, normalised through the file-time conversion
    // (which fills the weekday). When the text is not three "/"-separated
    // numbers, or names no real day, the date passed in comes back unchanged.
    SYSTEMTIME getDate(const SYSTEMTIME& date) const;
};

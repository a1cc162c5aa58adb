// The system date picker ("SysDateTimePick32"), with Windows' numbers.
//
// It shows one date in its display format (DTM_SETFORMATW: "yyyy" or "yyy" the
// year, "MM" the two-digit month, "dd" the two-digit day, text between single
// quotes literally), so "yyy'/'MM'/'dd'" shows 2012/05/14 and that is also its
// window text. One field (year, month or day) is current: Left and Right move
// between fields, Up and Down step the field, digits type it. Alt+Down, F4 or a
// click on the arrow opens a month calendar as a pop-up window. Every change
// made by the user is reported to the parent as WM_NOTIFY DTN_DATETIMECHANGE
// with an NMDATETIMECHANGE record; DTM_SETSYSTEMTIME reports nothing.
#pragma once

#include "platform/api/CommonControls.h"
#include "platform/api/FileTimes.h"

inline constexpr DWORD DTS_UPDOWN = 0x0001;
inline constexpr DWORD DTS_SHOWNONE = 0x0002;
inline constexpr DWORD DTS_SHORTDATEFORMAT = 0x0000;
inline constexpr DWORD DTS_LONGDATEFORMAT = 0x0004;

inline constexpr UINT DTM_FIRST = 0x1000;
inline constexpr UINT DTM_GETSYSTEMTIME = DTM_FIRST + 1;
inline constexpr UINT DTM_SETSYSTEMTIME = DTM_FIRST + 2;
inline constexpr UINT DTM_GETRANGE = DTM_FIRST + 3;
inline constexpr UINT DTM_SETRANGE = DTM_FIRST + 4;
inline constexpr UINT DTM_GETMONTHCAL = DTM_FIRST + 8;
inline constexpr UINT DTM_SETFORMATW = DTM_FIRST + 50;

inline constexpr WPARAM GDT_ERROR = static_cast<WPARAM>(-1);
inline constexpr WPARAM GDT_VALID = 0;
inline constexpr WPARAM GDT_NONE = 1;

inline constexpr UINT DTN_FIRST2 = static_cast<UINT>(-753);
inline constexpr UINT DTN_CLOSEUP = DTN_FIRST2;
inline constexpr UINT DTN_DROPDOWN = DTN_FIRST2 - 1;
inline constexpr UINT DTN_DATETIMECHANGE = DTN_FIRST2 - 6;

struct NMDATETIMECHANGE {
    NMHDR nmhdr;
    DWORD dwFlags;  // GDT_VALID
    SYSTEMTIME st;
};

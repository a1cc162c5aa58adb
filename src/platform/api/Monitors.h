// Monitors and window placement. The display reports one monitor (the
// primary screen); every look-up answers it.
#pragma once

#include "platform/api/Types.h"

VELTRIX_DECLARE_HANDLE(HMONITOR);
inline constexpr DWORD MONITOR_DEFAULTTONULL = 0;
inline constexpr DWORD MONITOR_DEFAULTTOPRIMARY = 1;
inline constexpr DWORD MONITOR_DEFAULTTONEAREST = 2;
inline constexpr DWORD MONITORINFOF_PRIMARY = 1;
struct MONITORINFO {
    DWORD cbSize;
    RECT rcMonitor;
    RECT rcWork;
    DWORD dwFlags;
};
// With MONITOR_DEFAULTTONULL a rectangle or point off every monitor gives null.
HMONITOR MonitorFromRect(LPCRECT rect, DWORD flags);
HMONITOR MonitorFromPoint(POINT point, DWORD flags);
HMONITOR MonitorFromWindow(HWND window, DWORD flags);
BOOL GetMonitorInfoW(HMONITOR monitor, MONITORINFO* info);

struct WINDOWPLACEMENT {
    UINT length;
    UINT flags;
    UINT showCmd;
    POINT ptMinPosition;
    POINT ptMaxPosition;
    RECT rcNormalPosition;
};
// The normal position is the window rectangle: the native layer keeps no
// separate restored rectangle (a top-level window is never maximised by it).
BOOL GetWindowPlacement(HWND window, WINDOWPLACEMENT* placement);

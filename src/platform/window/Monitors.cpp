#include "platform/api/Monitors.h"

#include "platform/display/Display.h"
#include "platform/win32.h"

using namespace veltrix::platform;

namespace {

// The one monitor's handle: a fixed value that is never a table handle.
const HMONITOR kPrimary = reinterpret_cast<HMONITOR>(static_cast<std::uintptr_t>(0x20020));

bool overlaps(const RECT& a, const RECT& b) {
    return a.left < b.right && b.left < a.right && a.top < b.bottom && b.top < a.bottom;
}

}  // namespace

HMONITOR MonitorFromRect(LPCRECT rect, DWORD flags) {
    if (!rect) return nullptr;
    if (flags == MONITOR_DEFAULTTONULL && !overlaps(*rect, display().monitorRect())) return nullptr;
    return kPrimary;
}

HMONITOR MonitorFromPoint(POINT point, DWORD flags) {
    RECT r{point.x, point.y, point.x + 1, point.y + 1};
    return MonitorFromRect(&r, flags);
}

HMONITOR MonitorFromWindow(HWND window, DWORD flags) {
    RECT r{};
    if (!GetWindowRect(window, &r)) return flags == MONITOR_DEFAULTTONULL ? nullptr : kPrimary;
    return MonitorFromRect(&r, flags);
}

BOOL GetMonitorInfoW(HMONITOR monitor, MONITORINFO* info) {
    if (monitor != kPrimary || !info || info->cbSize < sizeof(MONITORINFO)) return FALSE;
    info->rcMonitor = display().monitorRect();
    info->rcWork = info->rcMonitor;
    info->dwFlags = MONITORINFOF_PRIMARY;
    return TRUE;
}

BOOL GetWindowPlacement(HWND window, WINDOWPLACEMENT* placement) {
    if (!placement || !IsWindow(window)) return FALSE;
    RECT r{};
    GetWindowRect(window, &r);
    placement->flags = 0;
    placement->showCmd = IsZoomed(window) ? SW_SHOWMAXIMIZED : IsIconic(window) ? SW_SHOWMINIMIZED : SW_SHOWNORMAL;
    placement->ptMinPosition = {-1, -1};
    placement->ptMaxPosition = {-1, -1};
    placement->rcNormalPosition = r;
    return TRUE;
}

// The common-controls basics: the notification record every control sends
// with WM_NOTIFY, and the library's initialisation (a no-op that succeeds: the
// controls are part of the native layer and always registered).
#pragma once

#include "platform/api/Types.h"

struct NMHDR {
    HWND hwndFrom;
    UINT_PTR idFrom;
    UINT code;
};
using LPNMHDR = NMHDR*;

inline constexpr DWORD ICC_BAR_CLASSES = 0x00000004;
inline constexpr DWORD ICC_COOL_CLASSES = 0x00000400;
struct INITCOMMONCONTROLSEX {
    DWORD dwSize;
    DWORD dwICC;
};
BOOL InitCommonControlsEx(const INITCOMMONCONTROLSEX* init);

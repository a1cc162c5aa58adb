// The input method with Win32 names and numbers: composition messages and the
// input context of a window.
//
// Contract: while the user composes (the display reports text being edited),
// the focus window receives WM_IME_STARTCOMPOSITION once, then
// WM_IME_COMPOSITION with GCS_COMPSTR | GCS_CURSORPOS for every change; a
// committed result arrives as WM_IME_COMPOSITION with GCS_RESULTSTR followed
// by WM_IME_ENDCOMPOSITION. DefWindowProcW turns a result into one
// WM_IME_CHAR per UTF-16 unit, and WM_IME_CHAR into WM_CHAR, so a window that
// ignores the input method still receives the characters. Text typed without
// a composition arrives as WM_CHAR only. ImmGetCompositionStringW reads the
// strings of the composition message being handled; a window of a worker
// thread that takes composition input reads the latest state.
#pragma once

#include "platform/api/Types.h"

VELTRIX_DECLARE_HANDLE(HIMC);

inline constexpr UINT WM_IME_SETCONTEXT = 0x0281;
inline constexpr UINT WM_IME_NOTIFY = 0x0282;
inline constexpr UINT WM_IME_CHAR = 0x0286;
inline constexpr UINT WM_IME_REQUEST = 0x0288;

inline constexpr DWORD GCS_COMPSTR = 0x0008;
inline constexpr DWORD GCS_CURSORPOS = 0x0080;
inline constexpr DWORD GCS_RESULTSTR = 0x0800;

inline constexpr WPARAM IMR_RECONVERTSTRING = 0x0004;
inline constexpr WPARAM IMR_CONFIRMRECONVERTSTRING = 0x0005;
struct RECONVERTSTRING {
    DWORD dwSize;
    DWORD dwVersion;
    DWORD dwStrLen;
    DWORD dwStrOffset;
    DWORD dwCompStrLen;
    DWORD dwCompStrOffset;
    DWORD dwTargetStrLen;
    DWORD dwTargetStrOffset;
};

inline constexpr DWORD CFS_DEFAULT = 0x0000;
inline constexpr DWORD CFS_RECT = 0x0001;
inline constexpr DWORD CFS_POINT = 0x0002;
inline constexpr DWORD CFS_FORCE_POSITION = 0x0020;
struct COMPOSITIONFORM {
    DWORD dwStyle;
    POINT ptCurrentPos;  // client coordinates of the context's window
    RECT rcArea;
};

// The context of a window (null for a stale window); release it with
// ImmReleaseContext.
HIMC ImmGetContext(HWND window);
BOOL ImmReleaseContext(HWND window, HIMC context);
// index GCS_COMPSTR or GCS_RESULTSTR: copies at most bufferBytes bytes of the
// string (no terminator) and returns the bytes copied; a null buffer or a
// size of 0 returns the bytes needed. GCS_CURSORPOS: the caret's position in
// the composition string. A negative result for an unknown index.
LONG ImmGetCompositionStringW(HIMC context, DWORD index, LPVOID buffer, DWORD bufferBytes);
// Where the candidate window opens: the display's text input area follows the
// point (converted from the window's client coordinates to the screen).
BOOL ImmSetCompositionWindow(HIMC context, const COMPOSITIONFORM* form);
BOOL ImmGetCompositionWindow(HIMC context, COMPOSITIONFORM* form);

// Movable memory blocks and the clipboard (text formats only), as the editor
// and the toolkit use them. The clipboard's text lives in the display: the
// desktop clipboard with SDL2, a process-wide text with the headless display.
#pragma once

#include "platform/api/Types.h"

using HGLOBAL = HANDLE;
inline constexpr UINT GMEM_FIXED = 0x0000;
inline constexpr UINT GMEM_MOVEABLE = 0x0002;
inline constexpr UINT GMEM_ZEROINIT = 0x0040;
inline constexpr UINT GHND = GMEM_MOVEABLE | GMEM_ZEROINIT;
// Blocks are always zero-filled; a block is a handle whether movable or not.
HGLOBAL GlobalAlloc(UINT flags, std::size_t bytes);
LPVOID GlobalLock(HGLOBAL memory);
BOOL GlobalUnlock(HGLOBAL memory);
std::size_t GlobalSize(HGLOBAL memory);
// Null on success, the block on failure, as on Windows.
HGLOBAL GlobalFree(HGLOBAL memory);

inline constexpr UINT CF_TEXT = 1;
inline constexpr UINT CF_UNICODETEXT = 13;
// One thread at a time has the clipboard open.
BOOL OpenClipboard(HWND owner);
BOOL CloseClipboard();
BOOL EmptyClipboard();
// CF_UNICODETEXT only: the clipboard takes the block (its text up to the
// first zero) and frees it; returns the block, or null for other formats.
HANDLE SetClipboardData(UINT format, HANDLE memory);
// CF_UNICODETEXT only: a block the clipboard owns until it is closed.
HANDLE GetClipboardData(UINT format);
BOOL IsClipboardFormatAvailable(UINT format);

// The clipboard-viewer chain: SetClipboardViewer makes the window the head
// and answers the previous head (the window's next viewer);
// ChangeClipboardChain takes a window out, sending WM_CHANGECBCHAIN down the
// chain when the window is not the head. Changes of the clipboard's text are
// not announced with WM_DRAWCLIPBOARD here: nothing in the program joins the
// chain.
inline constexpr UINT WM_DRAWCLIPBOARD = 0x0308;
inline constexpr UINT WM_CHANGECBCHAIN = 0x030D;
HWND SetClipboardViewer(HWND viewer);
BOOL ChangeClipboardChain(HWND remove, HWND next);

// Image lists with Win32 names and numbers: a row of equal cells (glyphs) that
// controls draw by index.
//
// Contract: an HIMAGELIST is owned by whoever created it and ends with
// ImageList_Destroy; a control given a list only borrows it. A stale handle is
// detected: functions given one fail and touch nothing. Cells keep the colours
// they were given; with ILC_MASK a cell also has a mask, and ILD_TRANSPARENT
// (or ILD_NORMAL on a list without a background colour) draws only the pixels
// the mask keeps. 32-bit bitmaps added to an ILC_COLOR32 list without a mask
// bring their own alpha (the fourth byte), unless every alpha is 0.
#pragma once

#include "platform/api/Gdi.h"
#include "platform/api/Types.h"

VELTRIX_DECLARE_HANDLE(HIMAGELIST);

inline constexpr UINT ILC_MASK = 0x0001;
inline constexpr UINT ILC_COLOR = 0x0000;
inline constexpr UINT ILC_COLORDDB = 0x00FE;
inline constexpr UINT ILC_COLOR4 = 0x0004;
inline constexpr UINT ILC_COLOR8 = 0x0008;
inline constexpr UINT ILC_COLOR16 = 0x0010;
inline constexpr UINT ILC_COLOR24 = 0x0018;
inline constexpr UINT ILC_COLOR32 = 0x0020;

inline constexpr UINT ILD_NORMAL = 0x0000;
inline constexpr UINT ILD_TRANSPARENT = 0x0001;
inline constexpr UINT ILD_BLEND25 = 0x0002;
inline constexpr UINT ILD_FOCUS = ILD_BLEND25;
inline constexpr UINT ILD_BLEND50 = 0x0004;
inline constexpr UINT ILD_SELECTED = ILD_BLEND50;
inline constexpr UINT ILD_MASK = 0x0010;

inline constexpr COLORREF CLR_NONE = 0xFFFFFFFF;
inline constexpr COLORREF CLR_DEFAULT = 0xFF000000;

// Cells of cx x cy pixels (each side 1 to 4096); initial and grow are
// capacity hints.
HIMAGELIST ImageList_Create(int cx, int cy, UINT flags, int initial, int grow);
BOOL ImageList_Destroy(HIMAGELIST list);
// Cuts the bitmap (a DIB section) into width / cx cells from the left and
// appends them; rows beyond cy are ignored, missing rows stay transparent.
// mask: a bitmap of the same size whose non-black pixels are transparent.
// Returns the index of the first new cell, or -1.
int ImageList_Add(HIMAGELIST list, HBITMAP image, HBITMAP mask);
// As ImageList_Add, with every pixel of the colour `transparent` masked out.
int ImageList_AddMasked(HIMAGELIST list, HBITMAP image, COLORREF transparent);
// index -1 removes every cell.
BOOL ImageList_Remove(HIMAGELIST list, int index);
int ImageList_GetImageCount(HIMAGELIST list);
BOOL ImageList_GetIconSize(HIMAGELIST list, int* cx, int* cy);
COLORREF ImageList_SetBkColor(HIMAGELIST list, COLORREF colour);
COLORREF ImageList_GetBkColor(HIMAGELIST list);
// Draws cell index with its top-left corner at x, y (logical coordinates).
// ILD_BLEND50 / ILD_BLEND25 tint the cell with the highlight colour;
// ILD_MASK draws the mask (black where the cell shows, white elsewhere).
BOOL ImageList_Draw(HIMAGELIST list, int index, HDC dc, int x, int y, UINT style);
// As ImageList_Draw, clipped to dx x dy when they are not 0; background and
// foreground follow CLR_NONE / CLR_DEFAULT as on Windows.
BOOL ImageList_DrawEx(HIMAGELIST list, int index, HDC dc, int x, int y, int dx, int dy, COLORREF background,
                      COLORREF foreground, UINT style);

// Dragging a picture: one drag at a time per thread. BeginDrag copies the
// cell (the caller may destroy its list at once); the picture shows from
// DragEnter, with the hotspot (dx, dy inside the cell) at x, y relative to the
// lock window's top-left corner, follows DragMove and goes with DragLeave or
// EndDrag.
BOOL ImageList_BeginDrag(HIMAGELIST list, int index, int dxHotspot, int dyHotspot);
BOOL ImageList_DragEnter(HWND lock, int x, int y);
BOOL ImageList_DragMove(int x, int y);
BOOL ImageList_DragLeave(HWND lock);
void ImageList_EndDrag();
// The list holding the picture being dragged (null when no drag runs), the
// drag position last given (relative to the lock window) and the hotspot.
HIMAGELIST ImageList_GetDragImage(POINT* at, POINT* hotspot);

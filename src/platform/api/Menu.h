// Menus with Win32 names and numbers: menu handles holding items, and the
// pop-up menu that TrackPopupMenu shows.
//
// Contract: a menu handle owns its items and, through MF_POPUP items, its
// submenus, which DestroyMenu ends with it. A stale handle is detected:
// functions given one fail and touch nothing. TrackPopupMenu shows the menu as
// a top-level pop-up window of our own at the point (screen coordinates,
// aligned by the TPM_ flags and kept on the monitor) and runs a nested loop
// until the user chooses an item or closes the menu: Up and Down move the
// highlight, Right and Return open a submenu, Left and Escape close one,
// Return chooses, a letter after "&" in an item's text chooses that item, the
// pointer highlights and a click chooses, a click outside every open menu
// closes them all. With TPM_RETURNCMD the chosen id (0 for none) is returned;
// otherwise WM_COMMAND with the id is posted to the owner and the result is
// non-zero. Unless TPM_NONOTIFY, the owner receives WM_INITMENUPOPUP before a
// menu opens. Other windows keep receiving their messages meanwhile.
#pragma once

#include "platform/api/Types.h"

inline constexpr UINT MF_STRING = 0x0000;
inline constexpr UINT MF_ENABLED = 0x0000;
inline constexpr UINT MF_UNCHECKED = 0x0000;
inline constexpr UINT MF_BYCOMMAND = 0x0000;
inline constexpr UINT MF_GRAYED = 0x0001;
inline constexpr UINT MF_DISABLED = 0x0002;
inline constexpr UINT MF_CHECKED = 0x0008;
inline constexpr UINT MF_POPUP = 0x0010;
inline constexpr UINT MF_BYPOSITION = 0x0400;
inline constexpr UINT MF_SEPARATOR = 0x0800;

inline constexpr UINT TPM_LEFTBUTTON = 0x0000;
inline constexpr UINT TPM_RIGHTBUTTON = 0x0002;
inline constexpr UINT TPM_LEFTALIGN = 0x0000;
inline constexpr UINT TPM_CENTERALIGN = 0x0004;
inline constexpr UINT TPM_RIGHTALIGN = 0x0008;
inline constexpr UINT TPM_TOPALIGN = 0x0000;
inline constexpr UINT TPM_VCENTERALIGN = 0x0010;
inline constexpr UINT TPM_BOTTOMALIGN = 0x0020;
inline constexpr UINT TPM_NONOTIFY = 0x0080;
inline constexpr UINT TPM_RETURNCMD = 0x0100;

inline constexpr UINT WM_INITMENUPOPUP = 0x0117;

HMENU CreateMenu();
HMENU CreatePopupMenu();
// Ends the menu and its submenus.
BOOL DestroyMenu(HMENU menu);
BOOL IsMenu(HMENU menu);
// MF_STRING (text), MF_SEPARATOR, or MF_POPUP (item is the submenu's HMENU,
// which the menu then owns); with MF_CHECKED, MF_GRAYED, MF_DISABLED.
BOOL AppendMenuW(HMENU menu, UINT flags, UINT_PTR item, LPCWSTR text);
// Removes an item; DeleteMenu also ends its submenu, RemoveMenu gives it back.
BOOL DeleteMenu(HMENU menu, UINT position, UINT flags);
BOOL RemoveMenu(HMENU menu, UINT position, UINT flags);
// Items are found by command id (searching submenus) or by position
// (MF_BYPOSITION). Both return the previous state, or -1 (0xFFFFFFFF) when
// the item does not exist.
DWORD CheckMenuItem(HMENU menu, UINT item, UINT check);
BOOL EnableMenuItem(HMENU menu, UINT item, UINT enable);
int GetMenuItemCount(HMENU menu);              // -1 for a stale handle
UINT GetMenuItemID(HMENU menu, int position);  // 0xFFFFFFFF for a submenu or none
HMENU GetSubMenu(HMENU menu, int position);
UINT GetMenuState(HMENU menu, UINT item, UINT flags);
BOOL TrackPopupMenu(HMENU menu, UINT flags, int x, int y, int reserved, HWND owner, const RECT* reservedRect);

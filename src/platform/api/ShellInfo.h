// The shell's file information: the small icon a file of a given kind shows,
// as an index into the system's image list of small icons.
//
// Contract: SHGetFileInfoW with SHGFI_SYSICONINDEX answers the system image
// list (owned by the layer: never destroy it) and sets iIcon; the same kind of
// file always gets the same index. The kind comes from the file's extension,
// or from the attributes passed with SHGFI_USEFILEATTRIBUTES (the file need
// not exist then). Icons come from the desktop's icon theme (16 x 16 pictures
// in the XDG data folders) and, where it has none, are drawn by the layer.
#pragma once

#include "platform/api/ImageList.h"
#include "platform/api/Types.h"

struct SHFILEINFOW {
    HICON hIcon;
    int iIcon;
    DWORD dwAttributes;
    WCHAR szDisplayName[260];
    WCHAR szTypeName[80];
};

inline constexpr UINT SHGFI_SMALLICON = 0x000000001;
inline constexpr UINT SHGFI_USEFILEATTRIBUTES = 0x000000010;
inline constexpr UINT SHGFI_ICON = 0x000000100;
inline constexpr UINT SHGFI_DISPLAYNAME = 0x000000200;
inline constexpr UINT SHGFI_SYSICONINDEX = 0x000004000;

// 0 on failure (no SHGFI_SYSICONINDEX, or a path that does not exist without
// SHGFI_USEFILEATTRIBUTES); else the system image list with SHGFI_SYSICONINDEX
// or 1.
DWORD_PTR SHGetFileInfoW(LPCWSTR path, DWORD attributes, SHFILEINFOW* info, UINT size, UINT flags);

// The shell's verbs: "open" (or none) starts an executable file itself with
// the parameters as its arguments (split by the Windows rules), or hands any
// other file or folder to the desktop's opener (xdg-open, found on PATH); it
// returns at once and the child is reaped in the background. A value above
// 32 on success, as on Windows; SE_ERR_NOASSOC for another verb,
// ERROR_FILE_NOT_FOUND when nothing could be started.
inline constexpr LONG_PTR SE_ERR_NOASSOC = 31;
HINSTANCE ShellExecuteW(HWND window, LPCWSTR verb, LPCWSTR file, LPCWSTR parameters, LPCWSTR folder, int show);

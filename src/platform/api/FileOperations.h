// Moving files without replacing, and creating folder chains: the file
// operations the downloaders use to place what they fetch.
#pragma once

#include "platform/api/Services.h"

inline constexpr DWORD ERROR_FILE_EXISTS = 80;
inline constexpr DWORD ERROR_BAD_PATHNAME = 161;
inline constexpr DWORD ERROR_FILENAME_EXCED_RANGE = 206;
inline constexpr DWORD ERROR_CANCELLED = 1223;

// Renames or moves a file (across file systems too) and never replaces an
// existing one: that fails with ERROR_ALREADY_EXISTS, atomically.
BOOL MoveFileW(LPCWSTR from, LPCWSTR to);

// Creates the folder and every missing folder above it. ERROR_SUCCESS;
// ERROR_ALREADY_EXISTS when the folder was there; ERROR_FILE_EXISTS when a
// file stands in its place; ERROR_PATH_NOT_FOUND when a file stands in the
// place of a folder above it; ERROR_FILENAME_EXCED_RANGE for a name or path
// too long; ERROR_BAD_PATHNAME for an empty path.
int SHCreateDirectoryExW(HWND owner, LPCWSTR path, const void* securityAttributes);

// Run-time loading of modules by file name and of their functions by name
// (Win32 LoadLibraryW, GetProcAddress, FreeLibrary), on the system's dynamic
// loader. A module loaded twice is counted twice and freed when the count
// reaches zero, as on Windows.
#pragma once

#include "platform/api/Types.h"

using FARPROC = void (*)();

inline constexpr DWORD ERROR_MOD_NOT_FOUND = 126;
inline constexpr DWORD ERROR_PROC_NOT_FOUND = 127;

// The path may separate folders with "\" or "/"; a relative path is taken from
// the current folder. Null with ERROR_MOD_NOT_FOUND when the module cannot be
// loaded (missing, unreadable, or not a module of this system).
HMODULE LoadLibraryW(LPCWSTR fileName);
// Null with ERROR_PROC_NOT_FOUND when the module exports no such name.
FARPROC GetProcAddress(HMODULE module, LPCSTR procName);
BOOL FreeLibrary(HMODULE module);

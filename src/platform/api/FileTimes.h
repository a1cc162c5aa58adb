// File dates with Win32 names and semantics: FILETIME counts 100-nanosecond
// intervals since 1601-01-01 UTC.
#pragma once

#include "platform/api/Types.h"

struct FILETIME {
    DWORD dwLowDateTime;
    DWORD dwHighDateTime;
};

struct SYSTEMTIME {
    WORD wYear;
    WORD wMonth;
    WORD wDayOfWeek;
    WORD wDay;
    WORD wHour;
    WORD wMinute;
    WORD wSecond;
    WORD wMilliseconds;
};

enum GET_FILEEX_INFO_LEVELS { GetFileExInfoStandard = 0 };

struct WIN32_FILE_ATTRIBUTE_DATA {
    DWORD dwFileAttributes;
    FILETIME ftCreationTime;  // the birth time where the file system keeps one, else the last change
    FILETIME ftLastAccessTime;
    FILETIME ftLastWriteTime;
    DWORD nFileSizeHigh;
    DWORD nFileSizeLow;
};

BOOL GetFileAttributesExW(LPCWSTR path, GET_FILEEX_INFO_LEVELS level, LPVOID information);
// UTC to the local time zone, with the offset in force at that moment.
BOOL FileTimeToLocalFileTime(const FILETIME* fileTime, FILETIME* localFileTime);
BOOL FileTimeToSystemTime(const FILETIME* fileTime, SYSTEMTIME* systemTime);
// FALSE for a field out of range (month 13, February 30 ...); wDayOfWeek is ignored.
BOOL SystemTimeToFileTime(const SYSTEMTIME* systemTime, FILETIME* fileTime);
// Now, in the local time zone.
void GetLocalTime(SYSTEMTIME* systemTime);

// Folder listing ---------------------------------------------------------------
struct WIN32_FIND_DATAW {
    DWORD dwFileAttributes;
    FILETIME ftCreationTime;
    FILETIME ftLastAccessTime;
    FILETIME ftLastWriteTime;
    DWORD nFileSizeHigh;
    DWORD nFileSizeLow;
    DWORD dwReserved0;
    DWORD dwReserved1;
    WCHAR cFileName[MAX_PATH];
    WCHAR cAlternateFileName[14];
};

// Lists the entries of a folder whose names match the last component of
// pattern ("*" any run, "?" one character, ASCII letters without regard to
// case; "*.*" matches every name, with a dot or without), in the order the
// file system lists them, "." and ".."
// included. The folder is read when the listing starts. INVALID_HANDLE_VALUE
// (last error ERROR_FILE_NOT_FOUND) when nothing matches or the folder cannot
// be read; the handle is closed with FindClose.
HANDLE FindFirstFileW(LPCWSTR pattern, WIN32_FIND_DATAW* data);
// FALSE (ERROR_NO_MORE_FILES) after the last entry.
BOOL FindNextFileW(HANDLE find, WIN32_FIND_DATAW* data);
BOOL FindClose(HANDLE find);

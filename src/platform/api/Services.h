// Win32 services the program uses besides windows and drawing: errors, code
// pages, private-profile (INI) files, module and command line, shell paths, and
// the C run-time's wide file opening.
#pragma once

#include <cstdio>

#include "platform/api/Types.h"

// Errors ----------------------------------------------------------------------
inline constexpr DWORD ERROR_SUCCESS = 0;
inline constexpr DWORD ERROR_FILE_NOT_FOUND = 2;
inline constexpr DWORD ERROR_PATH_NOT_FOUND = 3;
inline constexpr DWORD ERROR_ACCESS_DENIED = 5;
inline constexpr DWORD ERROR_INVALID_HANDLE = 6;
inline constexpr DWORD ERROR_NOT_ENOUGH_MEMORY = 8;
inline constexpr DWORD ERROR_WRITE_FAULT = 29;
inline constexpr DWORD ERROR_READ_FAULT = 30;
inline constexpr DWORD ERROR_HANDLE_EOF = 38;
inline constexpr DWORD ERROR_INVALID_PARAMETER = 87;
inline constexpr DWORD ERROR_NO_MORE_FILES = 18;
inline constexpr DWORD ERROR_DISK_FULL = 112;
inline constexpr DWORD ERROR_INSUFFICIENT_BUFFER = 122;
inline constexpr DWORD ERROR_ALREADY_EXISTS = 183;
inline constexpr DWORD ERROR_INVALID_FLAGS = 1004;
inline constexpr DWORD ERROR_NO_UNICODE_TRANSLATION = 1113;

DWORD GetLastError();
void SetLastError(DWORD code);

// Code pages --------------------------------------------------------------------
inline constexpr UINT CP_ACP = 0;
inline constexpr UINT CP_OEMCP = 1;
inline constexpr UINT CP_UTF8 = 65001;
inline constexpr DWORD MB_ERR_INVALID_CHARS = 0x08;

// The system code page. On Linux desktops the locale's character set is UTF-8,
// so CP_ACP is UTF-8 here.
UINT GetACP();
// Code pages 932 (Shift_JIS as Windows extends it), 20932 (EUC-JP), 65001 and
// CP_ACP. A count of -1 means "up to and including the terminating zero". A
// destination size of 0 asks for the size needed. Characters a narrow code page
// cannot represent become the default character "?". Ill-formed UTF-8 becomes
// U+FFFD, or with MB_ERR_INVALID_CHARS (UTF-8 only) fails the whole call with
// ERROR_NO_UNICODE_TRANSLATION.
int MultiByteToWideChar(UINT codePage, DWORD flags, LPCSTR source, int sourceBytes, LPWSTR destination,
                        int destinationChars);
int WideCharToMultiByte(UINT codePage, DWORD flags, LPCWSTR source, int sourceChars, LPSTR destination,
                        int destinationBytes, LPCSTR defaultChar, LPBOOL usedDefaultChar);

// Locales ----------------------------------------------------------------------
// Windows locale identifiers, read from the environment as the C library reads
// the messages locale: the first of LC_ALL, LC_MESSAGES and LANG that is set
// and not empty. "ja_JP..." is 1041, "zh_TW..." 1028; anything else (other
// languages, "C", nothing set) is 1033. The thread and the system answer alike.
using LCID = DWORD;
LCID GetThreadLocale();
LCID GetSystemDefaultLCID();

// Private profiles (INI files) ---------------------------------------------------
// Sections and keys are matched without regard to case. The file keeps the
// encoding it has (UTF-16LE with byte-order mark, UTF-16BE, UTF-8 with mark, or
// the system code page); a file that does not exist yet is created as UTF-16LE
// with byte-order mark. Writes replace the file atomically.
DWORD GetPrivateProfileStringW(LPCWSTR section, LPCWSTR key, LPCWSTR defaultValue, LPWSTR buffer, DWORD size,
                               LPCWSTR fileName);
UINT GetPrivateProfileIntW(LPCWSTR section, LPCWSTR key, INT defaultValue, LPCWSTR fileName);
BOOL WritePrivateProfileStringW(LPCWSTR section, LPCWSTR key, LPCWSTR value, LPCWSTR fileName);

// Module and command line ---------------------------------------------------------
HMODULE GetModuleHandleW(LPCWSTR moduleName);
// The path of the running executable (/proc/self/exe on Linux).
DWORD GetModuleFileNameW(HMODULE module, LPWSTR buffer, DWORD size);
// The command line the process was started with, quoted as Windows quotes it.
LPCWSTR GetCommandLineW();
// Splits a command line with the Windows rules; the array is freed with LocalFree.
LPWSTR* CommandLineToArgvW(LPCWSTR commandLine, int* count);
HLOCAL LocalFree(HLOCAL memory);

// Shell path functions (both "\" and "/" separate folders) -------------------------
LPWSTR PathFindFileNameW(LPCWSTR path);
LPWSTR PathFindExtensionW(LPCWSTR path);
void PathStripPathW(LPWSTR path);
void PathRemoveExtensionW(LPWSTR path);

// Files ----------------------------------------------------------------------------
inline constexpr DWORD INVALID_FILE_ATTRIBUTES = 0xFFFFFFFF;
inline constexpr DWORD FILE_ATTRIBUTE_READONLY = 0x01;
inline constexpr DWORD FILE_ATTRIBUTE_DIRECTORY = 0x10;
inline constexpr DWORD FILE_ATTRIBUTE_NORMAL = 0x80;
inline constexpr DWORD MOVEFILE_REPLACE_EXISTING = 0x1;

// The C run-time's wide open: the path may use "\" or "/"; the mode is fopen's.
std::FILE* _wfopen(LPCWSTR path, LPCWSTR mode);
DWORD GetFileAttributesW(LPCWSTR path);
BOOL DeleteFileW(LPCWSTR path);
BOOL MoveFileExW(LPCWSTR from, LPCWSTR to, DWORD flags);
BOOL CreateDirectoryW(LPCWSTR path, LPVOID securityAttributes);
// The current folder into buffer (size characters with the zero); the length
// written, or the size needed (with the zero) when the buffer is too small,
// or 0 on failure.
DWORD GetCurrentDirectoryW(DWORD size, LPWSTR buffer);

// Process entry ----------------------------------------------------------------------
inline constexpr int SW_HIDE = 0;
inline constexpr int SW_SHOWNORMAL = 1;
inline constexpr int SW_SHOW = 5;
inline constexpr int SW_SHOWDEFAULT = 10;

// Written by the program; the native layer's main calls it.
int wWinMain(HINSTANCE instance, HINSTANCE previous, LPWSTR commandLine, int showCommand);

// Kernel objects: files and file mappings ----------------------------------------------
union LARGE_INTEGER {
    struct {
        DWORD LowPart;
        LONG HighPart;
    } u;
    long long QuadPart;
};
using SIZE_T = std::size_t;

inline const HANDLE INVALID_HANDLE_VALUE = reinterpret_cast<HANDLE>(static_cast<LONG_PTR>(-1));
inline constexpr DWORD GENERIC_READ = 0x80000000;
inline constexpr DWORD GENERIC_WRITE = 0x40000000;
inline constexpr DWORD FILE_SHARE_READ = 0x1;
inline constexpr DWORD FILE_SHARE_WRITE = 0x2;
inline constexpr DWORD FILE_SHARE_DELETE = 0x4;
inline constexpr DWORD CREATE_NEW = 1;
inline constexpr DWORD CREATE_ALWAYS = 2;
inline constexpr DWORD OPEN_EXISTING = 3;
inline constexpr DWORD OPEN_ALWAYS = 4;
inline constexpr DWORD TRUNCATE_EXISTING = 5;
inline constexpr DWORD PAGE_READONLY = 0x02;
inline constexpr DWORD FILE_MAP_READ = 0x0004;

// Files are opened without locks: Linux has no share modes, and the program
// only ever shares reading. Handles are closed with CloseHandle.
HANDLE CreateFileW(LPCWSTR path, DWORD access, DWORD shareMode, LPVOID securityAttributes, DWORD disposition,
                   DWORD flags, HANDLE templateFile);
BOOL GetFileSizeEx(HANDLE file, LARGE_INTEGER* size);
BOOL ReadFile(HANDLE file, LPVOID buffer, DWORD bytesToRead, DWORD* bytesRead, LPVOID overlapped);
BOOL WriteFile(HANDLE file, LPCVOID buffer, DWORD bytesToWrite, DWORD* bytesWritten, LPVOID overlapped);
// Read-only mappings of whole files. A view is the file's content as it was
// when the view was made, read at once: like a view on Windows it never changes
// under its reader, whatever another program does to the file. A file that
// shrinks while the view is made gives none (ERROR_HANDLE_EOF).
HANDLE CreateFileMappingW(HANDLE file, LPVOID securityAttributes, DWORD protect, DWORD maximumSizeHigh,
                          DWORD maximumSizeLow, LPCWSTR name);
LPVOID MapViewOfFile(HANDLE mapping, DWORD access, DWORD offsetHigh, DWORD offsetLow, SIZE_T bytes);
BOOL UnmapViewOfFile(LPCVOID view);
BOOL CloseHandle(HANDLE object);

// Memory ------------------------------------------------------------------------------
struct WIN32_MEMORY_RANGE_ENTRY {
    LPVOID VirtualAddress;
    SIZE_T NumberOfBytes;
};
HANDLE GetCurrentProcess();
// Brings the ranges into memory ahead of use. Here the kernel is also asked to
// back them with large pages, which makes filling a fresh buffer of many
// megabytes several times cheaper.
BOOL PrefetchVirtualMemory(HANDLE process, std::uintptr_t numberOfEntries, WIN32_MEMORY_RANGE_ENTRY* entries,
                           ULONG flags);

// System messages -----------------------------------------------------------------------
inline constexpr DWORD FORMAT_MESSAGE_IGNORE_INSERTS = 0x00000200;
inline constexpr DWORD FORMAT_MESSAGE_FROM_SYSTEM = 0x00001000;
// The system's text for an error code (FORMAT_MESSAGE_FROM_SYSTEM only), ending in
// CR LF as on Windows; 0 when the code has no text.
DWORD FormatMessageW(DWORD flags, LPCVOID source, DWORD messageId, DWORD languageId, LPWSTR buffer, DWORD size,
                     void* arguments);

// More shell path functions -------------------------------------------------------------
// Relative unless the path starts at a root ("/" or "\") or a drive ("C:").
BOOL PathIsRelativeW(LPCWSTR path);
// Joins folder and file (a file that is absolute replaces the folder) and resolves
// "." and ".." components; the result (at most MAX_PATH characters) uses the
// separator the folder uses. Returns destination, or null when it does not fit.
LPWSTR PathCombineW(LPWSTR destination, LPCWSTR folder, LPCWSTR file);
// The path from `from` to `to` ("./x" or "../x"), each taken as a folder when its
// attribute is FILE_ATTRIBUTE_DIRECTORY and as a file otherwise. FALSE when the
// two share no folder below the root (on Windows: lie on different drives).
BOOL PathRelativePathToW(LPWSTR destination, LPCWSTR from, DWORD fromAttributes, LPCWSTR to, DWORD toAttributes);

// Known folders ----------------------------------------------------------------------------
// The per-user folders a program keeps its own files in, as the desktop
// defines them: CSIDL_APPDATA is the settings folder, $XDG_CONFIG_HOME
// (default ~/.config); CSIDL_LOCAL_APPDATA is the folder for what the program
// keeps of its state on this machine, $XDG_STATE_HOME (default
// ~/.local/state). A variable that does not hold an absolute path is ignored,
// as the desktop's rules say. With CSIDL_FLAG_CREATE the folder is made when
// missing. S_OK and the path (at most MAX_PATH characters, no trailing
// separator), E_FAIL when there is no home folder or the path does not fit.
inline constexpr HRESULT E_FAIL = static_cast<HRESULT>(0x80004005);
inline constexpr int CSIDL_APPDATA = 0x001A;
inline constexpr int CSIDL_LOCAL_APPDATA = 0x001C;
inline constexpr int CSIDL_FLAG_CREATE = 0x8000;
inline constexpr DWORD SHGFP_TYPE_CURRENT = 0;
HRESULT SHGetFolderPathW(HWND owner, int folder, HANDLE token, DWORD flags, LPWSTR path);

// Win32 base types with their Windows sizes. WCHAR is char16_t so that the
// program's UTF-16 text (std::u16string) passes straight through.
#pragma once

#include <cstddef>
#include <cstdint>

using BYTE = std::uint8_t;
using WORD = std::uint16_t;
using DWORD = std::uint32_t;
using UINT = unsigned int;
using INT = int;
using LONG = std::int32_t;
using ULONG = std::uint32_t;
using BOOL = int;
using CHAR = char;
using WCHAR = char16_t;
using LPSTR = char*;
using LPCSTR = const char*;
using LPWSTR = WCHAR*;
using LPCWSTR = const WCHAR*;
using LPBOOL = BOOL*;
using UINT_PTR = std::uintptr_t;
using LONG_PTR = std::intptr_t;
using DWORD_PTR = std::uintptr_t;
using ULONG_PTR = std::uintptr_t;
using LPINT = int*;
using SHORT = std::int16_t;
using WPARAM = UINT_PTR;
using LPARAM = LONG_PTR;
using LRESULT = LONG_PTR;
using HRESULT = LONG;
using LPVOID = void*;
using LPCVOID = const void*;

inline constexpr BOOL TRUE = 1;
inline constexpr BOOL FALSE = 0;
inline constexpr DWORD MAX_PATH = 260;

// Opaque handles. The native layer maps them to objects in its own tables.
#define VELTRIX_DECLARE_HANDLE(name) \
    struct name##__;                 \
    using name = name##__*
using HANDLE = void*;
VELTRIX_DECLARE_HANDLE(HINSTANCE);
VELTRIX_DECLARE_HANDLE(HWND);
VELTRIX_DECLARE_HANDLE(HDC);
VELTRIX_DECLARE_HANDLE(HMENU);
VELTRIX_DECLARE_HANDLE(HICON);
VELTRIX_DECLARE_HANDLE(HBRUSH);
VELTRIX_DECLARE_HANDLE(HPEN);
VELTRIX_DECLARE_HANDLE(HFONT);
VELTRIX_DECLARE_HANDLE(HBITMAP);
VELTRIX_DECLARE_HANDLE(HRGN);
VELTRIX_DECLARE_HANDLE(HACCEL);
using HCURSOR = HICON;
using HGDIOBJ = void*;
using COLORREF = DWORD;
using ATOM = WORD;
using HMODULE = HINSTANCE;
using HLOCAL = HANDLE;

inline constexpr WORD LOWORD(DWORD_PTR v) { return static_cast<WORD>(v & 0xFFFF); }
inline constexpr WORD HIWORD(DWORD_PTR v) { return static_cast<WORD>((v >> 16) & 0xFFFF); }

inline constexpr short GET_X_LPARAM(LPARAM v) { return static_cast<short>(LOWORD(static_cast<DWORD_PTR>(v))); }
inline constexpr short GET_Y_LPARAM(LPARAM v) { return static_cast<short>(HIWORD(static_cast<DWORD_PTR>(v))); }
inline constexpr LPARAM MAKELPARAM(int low, int high) {
    return static_cast<LPARAM>(
        static_cast<DWORD>((static_cast<WORD>(low)) | (static_cast<DWORD>(static_cast<WORD>(high)) << 16)));
}
inline constexpr WPARAM MAKEWPARAM(int low, int high) {
    return static_cast<WPARAM>(static_cast<DWORD>(MAKELPARAM(low, high)));
}
inline constexpr LRESULT MAKELRESULT(int low, int high) { return MAKELPARAM(low, high); }

// Geometry shared by windows and drawing. A rectangle's right and bottom edges
// are exclusive, as in GDI.
struct POINT {
    LONG x;
    LONG y;
};
using LPPOINT = POINT*;
struct SIZE {
    LONG cx;
    LONG cy;
};
using LPSIZE = SIZE*;
struct RECT {
    LONG left;
    LONG top;
    LONG right;
    LONG bottom;
};
using LPRECT = RECT*;
using LPCRECT = const RECT*;

inline constexpr COLORREF RGB(int r, int g, int b) {
    return static_cast<COLORREF>(static_cast<BYTE>(r) | (static_cast<BYTE>(g) << 8) |
                                 (static_cast<DWORD>(static_cast<BYTE>(b)) << 16));
}
inline constexpr BYTE GetRValue(COLORREF c) { return static_cast<BYTE>(c & 0xFF); }
inline constexpr BYTE GetGValue(COLORREF c) { return static_cast<BYTE>((c >> 8) & 0xFF); }
inline constexpr BYTE GetBValue(COLORREF c) { return static_cast<BYTE>((c >> 16) & 0xFF); }

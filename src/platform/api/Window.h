// Windows: classes and procedures, creation and destruction, the window tree,
// geometry, visibility, text, focus, capture, mouse tracking and painting.
//
// Handles are generation-checked: a handle of a destroyed window is stale,
// IsWindow answers FALSE and every other call with it does nothing (0/FALSE).
// A child window has no non-client area of its own except its border
// (WS_BORDER one pixel, WS_EX_CLIENTEDGE two); a top-level window's frame and
// caption belong to the display, so its window and client rectangles have the
// same size.
#pragma once

#include "platform/api/Messages.h"
#include "platform/api/Types.h"

// Styles ------------------------------------------------------------------------------
inline constexpr DWORD WS_OVERLAPPED = 0x00000000;
inline constexpr DWORD WS_TABSTOP = 0x00010000;
inline constexpr DWORD WS_MAXIMIZEBOX = 0x00010000;
inline constexpr DWORD WS_GROUP = 0x00020000;
inline constexpr DWORD WS_MINIMIZEBOX = 0x00020000;
inline constexpr DWORD WS_THICKFRAME = 0x00040000;
inline constexpr DWORD WS_SYSMENU = 0x00080000;
inline constexpr DWORD WS_HSCROLL = 0x00100000;
inline constexpr DWORD WS_VSCROLL = 0x00200000;
inline constexpr DWORD WS_DLGFRAME = 0x00400000;
inline constexpr DWORD WS_BORDER = 0x00800000;
inline constexpr DWORD WS_CAPTION = 0x00C00000;
inline constexpr DWORD WS_MAXIMIZE = 0x01000000;
inline constexpr DWORD WS_CLIPCHILDREN = 0x02000000;
inline constexpr DWORD WS_CLIPSIBLINGS = 0x04000000;
inline constexpr DWORD WS_DISABLED = 0x08000000;
inline constexpr DWORD WS_VISIBLE = 0x10000000;
inline constexpr DWORD WS_MINIMIZE = 0x20000000;
inline constexpr DWORD WS_CHILD = 0x40000000;
inline constexpr DWORD WS_POPUP = 0x80000000;
inline constexpr DWORD WS_OVERLAPPEDWINDOW =
    WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX;
inline constexpr DWORD WS_POPUPWINDOW = WS_POPUP | WS_BORDER | WS_SYSMENU;

inline constexpr DWORD WS_EX_DLGMODALFRAME = 0x00000001;
inline constexpr DWORD WS_EX_NOPARENTNOTIFY = 0x00000004;
inline constexpr DWORD WS_EX_TOPMOST = 0x00000008;
inline constexpr DWORD WS_EX_ACCEPTFILES = 0x00000010;
inline constexpr DWORD WS_EX_TRANSPARENT = 0x00000020;
inline constexpr DWORD WS_EX_TOOLWINDOW = 0x00000080;
inline constexpr DWORD WS_EX_WINDOWEDGE = 0x00000100;
inline constexpr DWORD WS_EX_CLIENTEDGE = 0x00000200;
inline constexpr DWORD WS_EX_CONTROLPARENT = 0x00010000;
inline constexpr DWORD WS_EX_STATICEDGE = 0x00020000;
inline constexpr DWORD WS_EX_APPWINDOW = 0x00040000;
// A click in the window does not activate it (pop-up menus).
inline constexpr DWORD WS_EX_NOACTIVATE = 0x08000000;

inline constexpr UINT CS_VREDRAW = 0x0001;
inline constexpr UINT CS_HREDRAW = 0x0002;
inline constexpr UINT CS_DBLCLKS = 0x0008;
inline constexpr UINT CS_OWNDC = 0x0020;
inline constexpr UINT CS_PARENTDC = 0x0080;
inline constexpr UINT CS_GLOBALCLASS = 0x4000;

inline constexpr int CW_USEDEFAULT = static_cast<int>(0x80000000);

// Classes -------------------------------------------------------------------------------
struct WNDCLASSEXW {
    UINT cbSize;
    UINT style;
    WNDPROC lpfnWndProc;
    int cbClsExtra;
    int cbWndExtra;
    HINSTANCE hInstance;
    HICON hIcon;
    HCURSOR hCursor;
    HBRUSH hbrBackground;
    LPCWSTR lpszMenuName;
    LPCWSTR lpszClassName;
    HICON hIconSm;
};

// Class names are matched without regard to case. Registering a name twice
// fails with ERROR_CLASS_ALREADY_EXISTS.
inline constexpr DWORD ERROR_CLASS_ALREADY_EXISTS = 1410;
inline constexpr DWORD ERROR_CLASS_DOES_NOT_EXIST = 1411;
inline constexpr DWORD ERROR_INVALID_WINDOW_HANDLE = 1400;
ATOM RegisterClassExW(const WNDCLASSEXW* windowClass);
BOOL UnregisterClassW(LPCWSTR className, HINSTANCE instance);
BOOL GetClassInfoExW(HINSTANCE instance, LPCWSTR className, WNDCLASSEXW* out);
int GetClassNameW(HWND window, LPWSTR buffer, int size);

// Creation --------------------------------------------------------------------------------
struct CREATESTRUCTW {
    LPVOID lpCreateParams;
    HINSTANCE hInstance;
    HMENU hMenu;
    HWND hwndParent;
    int cy;
    int cx;
    int y;
    int x;
    LONG style;
    LPCWSTR lpszName;
    LPCWSTR lpszClass;
    DWORD dwExStyle;
};

struct WINDOWPOS {
    HWND hwnd;
    HWND hwndInsertAfter;
    int x;
    int y;
    int cx;
    int cy;
    UINT flags;
};

struct NCCALCSIZE_PARAMS {
    RECT rgrc[3];
    WINDOWPOS* lppos;
};

struct MINMAXINFO {
    POINT ptReserved;
    POINT ptMaxSize;
    POINT ptMaxPosition;
    POINT ptMinTrackSize;
    POINT ptMaxTrackSize;
};

// Sends WM_GETMINMAXINFO (top-level), WM_NCCREATE, WM_NCCALCSIZE, WM_CREATE,
// then WM_SIZE and WM_MOVE, then WM_SHOWWINDOW and WM_WINDOWPOSCHANGING/
// WM_WINDOWPOSCHANGED when WS_VISIBLE is given; a child's parent gets
// WM_PARENTNOTIFY unless WS_EX_NOPARENTNOTIFY. WM_NCCREATE answered FALSE or
// WM_CREATE answered -1 destroys the window and returns null. The hMenu
// argument of a child window is its control id.
HWND CreateWindowExW(DWORD exStyle, LPCWSTR className, LPCWSTR windowName, DWORD style, int x, int y, int width,
                     int height, HWND parent, HMENU menu, HINSTANCE instance, LPVOID param);
// WM_DESTROY goes to the window and then its children (parent first);
// WM_NCDESTROY children first. Owned top-level windows are destroyed first.
BOOL DestroyWindow(HWND window);
BOOL IsWindow(HWND window);
BOOL IsChild(HWND parent, HWND window);

LRESULT DefWindowProcW(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT CallWindowProcW(WNDPROC proc, HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// Window data -----------------------------------------------------------------------------
inline constexpr int GWLP_WNDPROC = -4;
inline constexpr int GWLP_HINSTANCE = -6;
inline constexpr int GWLP_HWNDPARENT = -8;
inline constexpr int GWLP_ID = -12;
inline constexpr int GWL_STYLE = -16;
inline constexpr int GWL_EXSTYLE = -20;
inline constexpr int GWLP_USERDATA = -21;
inline constexpr int GWL_WNDPROC = GWLP_WNDPROC;
inline constexpr int GWL_ID = GWLP_ID;
inline constexpr int GWL_USERDATA = GWLP_USERDATA;
// Non-negative indexes address the class's cbWndExtra bytes.
LONG_PTR GetWindowLongPtrW(HWND window, int index);
// Returns the previous value. Changing GWL_STYLE or GWL_EXSTYLE sends
// WM_STYLECHANGING and WM_STYLECHANGED.
LONG_PTR SetWindowLongPtrW(HWND window, int index, LONG_PTR value);
LONG GetWindowLongW(HWND window, int index);
LONG SetWindowLongW(HWND window, int index, LONG value);
DWORD GetClassLongPtrW(HWND window, int index);

// Tree ------------------------------------------------------------------------------------
inline constexpr UINT GW_HWNDFIRST = 0;
inline constexpr UINT GW_HWNDLAST = 1;
inline constexpr UINT GW_HWNDNEXT = 2;
inline constexpr UINT GW_HWNDPREV = 3;
inline constexpr UINT GW_OWNER = 4;
inline constexpr UINT GW_CHILD = 5;
inline constexpr UINT GA_PARENT = 1;
inline constexpr UINT GA_ROOT = 2;

// The parent of a child window; the owner of a pop-up window; otherwise null.
HWND GetParent(HWND window);
// The id of the thread whose queue receives the window's messages (0 for a
// stale window).
DWORD GetWindowThreadProcessId(HWND window, DWORD* processId);
// Moves a window under a new parent of the same thread, keeping its place on
// the screen; a null parent (or the desktop) makes it top-level with a display
// window of its own, and a top-level window given a parent loses its display
// window. Returns the old parent, the desktop for a top-level window, and null
// on failure (a stale window, or a parent inside the window itself).
HWND SetParent(HWND window, HWND newParent);
HWND GetAncestor(HWND window, UINT flags);
HWND GetWindow(HWND window, UINT command);
// The desktop: the root of every top-level window, sized to the primary monitor.
HWND GetDesktopWindow();
HWND GetDlgItem(HWND dialog, int id);
int GetDlgCtrlID(HWND window);
HWND GetTopWindow(HWND window);
using WNDENUMPROC = BOOL (*)(HWND, LPARAM);
BOOL EnumChildWindows(HWND parent, WNDENUMPROC proc, LPARAM param);
HWND FindWindowW(LPCWSTR className, LPCWSTR windowName);

// Geometry --------------------------------------------------------------------------------
inline constexpr UINT SWP_NOSIZE = 0x0001;
inline constexpr UINT SWP_NOMOVE = 0x0002;
inline constexpr UINT SWP_NOZORDER = 0x0004;
inline constexpr UINT SWP_NOREDRAW = 0x0008;
inline constexpr UINT SWP_NOACTIVATE = 0x0010;
inline constexpr UINT SWP_FRAMECHANGED = 0x0020;
inline constexpr UINT SWP_SHOWWINDOW = 0x0040;
inline constexpr UINT SWP_HIDEWINDOW = 0x0080;
inline constexpr UINT SWP_NOOWNERZORDER = 0x0200;
inline constexpr UINT SWP_NOSENDCHANGING = 0x0400;
inline const HWND HWND_TOP = nullptr;
inline const HWND HWND_BOTTOM = reinterpret_cast<HWND>(1);
inline const HWND HWND_TOPMOST = reinterpret_cast<HWND>(-1);
inline const HWND HWND_NOTOPMOST = reinterpret_cast<HWND>(-2);

inline constexpr WPARAM SIZE_RESTORED = 0;
inline constexpr WPARAM SIZE_MINIMIZED = 1;
inline constexpr WPARAM SIZE_MAXIMIZED = 2;

// Coordinates are in the parent's client area (screen for top-level windows).
// Sends WM_WINDOWPOSCHANGING, WM_WINDOWPOSCHANGED and from DefWindowProcW
// WM_MOVE/WM_SIZE for what changed; invalidates the uncovered parts.
BOOL SetWindowPos(HWND window, HWND insertAfter, int x, int y, int width, int height, UINT flags);
BOOL MoveWindow(HWND window, int x, int y, int width, int height, BOOL repaint);
BOOL GetWindowRect(HWND window, LPRECT rect);
BOOL GetClientRect(HWND window, LPRECT rect);
BOOL ScreenToClient(HWND window, LPPOINT point);
BOOL ClientToScreen(HWND window, LPPOINT point);
int MapWindowPoints(HWND from, HWND to, LPPOINT points, UINT count);
BOOL BringWindowToTop(HWND window);

// Rectangles
BOOL SetRect(LPRECT rect, int left, int top, int right, int bottom);
BOOL SetRectEmpty(LPRECT rect);
BOOL IsRectEmpty(const RECT* rect);
BOOL PtInRect(const RECT* rect, POINT point);
BOOL OffsetRect(LPRECT rect, int dx, int dy);
BOOL InflateRect(LPRECT rect, int dx, int dy);
BOOL IntersectRect(LPRECT out, const RECT* a, const RECT* b);
BOOL UnionRect(LPRECT out, const RECT* a, const RECT* b);
BOOL EqualRect(const RECT* a, const RECT* b);
BOOL CopyRect(LPRECT out, const RECT* in);

// Visibility and state ----------------------------------------------------------------------
inline constexpr int SW_SHOWMINIMIZED = 2;
inline constexpr int SW_SHOWMAXIMIZED = 3;
inline constexpr int SW_MAXIMIZE = 3;
inline constexpr int SW_SHOWNOACTIVATE = 4;
inline constexpr int SW_MINIMIZE = 6;
inline constexpr int SW_SHOWMINNOACTIVE = 7;
inline constexpr int SW_SHOWNA = 8;
inline constexpr int SW_RESTORE = 9;

// Returns whether the window was visible before.
BOOL ShowWindow(HWND window, int command);
// Visible when the window and all its ancestors have WS_VISIBLE.
BOOL IsWindowVisible(HWND window);
// Returns whether the window was disabled before; sends WM_ENABLE on change.
// Disabling the focus window or an ancestor of it moves the focus away.
BOOL EnableWindow(HWND window, BOOL enable);
BOOL IsWindowEnabled(HWND window);
BOOL IsIconic(HWND window);
BOOL IsZoomed(HWND window);

// Text ------------------------------------------------------------------------------------
BOOL SetWindowTextW(HWND window, LPCWSTR text);
int GetWindowTextW(HWND window, LPWSTR buffer, int size);
int GetWindowTextLengthW(HWND window);

// Focus and activation ---------------------------------------------------------------------
// Sends WM_KILLFOCUS to the old focus then WM_SETFOCUS to the new one. A window
// of another top-level window activates that top-level first. Focus per thread.
HWND SetFocus(HWND window);
HWND GetFocus();
HWND GetActiveWindow();
HWND SetActiveWindow(HWND window);
HWND GetForegroundWindow();
BOOL SetForegroundWindow(HWND window);

// Capture and the mouse ---------------------------------------------------------------------
// A new capture sends WM_CAPTURECHANGED to the previous capture window.
HWND SetCapture(HWND window);
BOOL ReleaseCapture();
HWND GetCapture();
BOOL GetCursorPos(LPPOINT point);
BOOL SetCursorPos(int x, int y);

inline constexpr DWORD TME_HOVER = 0x00000001;
inline constexpr DWORD TME_LEAVE = 0x00000002;
inline constexpr DWORD TME_CANCEL = 0x80000000;
inline constexpr DWORD HOVER_DEFAULT = 0xFFFFFFFF;
struct TRACKMOUSEEVENT {
    DWORD cbSize;
    DWORD dwFlags;
    HWND hwndTrack;
    DWORD dwHoverTime;
};
// WM_MOUSELEAVE is posted once when the pointer leaves the tracked window's
// client area (or another window takes the pointer); tracking then ends.
BOOL TrackMouseEvent(TRACKMOUSEEVENT* track);

// Hit testing -------------------------------------------------------------------------------
inline constexpr LRESULT HTERROR = -2;
inline constexpr LRESULT HTTRANSPARENT = -1;
inline constexpr LRESULT HTNOWHERE = 0;
inline constexpr LRESULT HTCLIENT = 1;
inline constexpr LRESULT HTCAPTION = 2;
inline constexpr LRESULT HTBORDER = 18;
// The deepest visible, enabled window under a screen point in z-order (a
// disabled child leaves the point to its parent); windows that answer
// WM_NCHITTEST with HTTRANSPARENT let the point through to those below.
HWND WindowFromPoint(POINT point);
inline constexpr UINT CWP_ALL = 0x0000;
inline constexpr UINT CWP_SKIPINVISIBLE = 0x0001;
inline constexpr UINT CWP_SKIPDISABLED = 0x0002;
inline constexpr UINT CWP_SKIPTRANSPARENT = 0x0004;
HWND ChildWindowFromPointEx(HWND parent, POINT point, UINT flags);

// Painting ----------------------------------------------------------------------------------
struct PAINTSTRUCT {
    HDC hdc;
    BOOL fErase;
    RECT rcPaint;
    BOOL fRestore;
    BOOL fIncUpdate;
    BYTE rgbReserved[32];
};
using LPPAINTSTRUCT = PAINTSTRUCT*;

// Adds the rectangle (null: the whole client area) to the window's update
// region. A window with a non-empty update region gets WM_PAINT when its
// thread's queue is otherwise empty.
BOOL InvalidateRect(HWND window, const RECT* rect, BOOL erase);
BOOL ValidateRect(HWND window, const RECT* rect);
BOOL GetUpdateRect(HWND window, LPRECT rect, BOOL erase);
// Sends WM_PAINT now when the window's update region is not empty.
BOOL UpdateWindow(HWND window);
inline constexpr UINT RDW_INVALIDATE = 0x0001;
inline constexpr UINT RDW_ERASE = 0x0004;
inline constexpr UINT RDW_VALIDATE = 0x0008;
inline constexpr UINT RDW_ALLCHILDREN = 0x0080;
inline constexpr UINT RDW_UPDATENOW = 0x0100;
inline constexpr UINT RDW_ERASENOW = 0x0200;
inline constexpr UINT RDW_FRAME = 0x0400;
BOOL RedrawWindow(HWND window, const RECT* rect, HRGN region, UINT flags);
// Clears the update region, sends WM_ERASEBKGND when it asked for erasing, and
// returns a DC clipped to the update region and the window's visible part.
HDC BeginPaint(HWND window, LPPAINTSTRUCT paint);
BOOL EndPaint(HWND window, const PAINTSTRUCT* paint);

// Cursors -----------------------------------------------------------------------------------
inline const LPCWSTR IDC_ARROW = reinterpret_cast<LPCWSTR>(32512);
inline const LPCWSTR IDC_IBEAM = reinterpret_cast<LPCWSTR>(32513);
inline const LPCWSTR IDC_WAIT = reinterpret_cast<LPCWSTR>(32514);
inline const LPCWSTR IDC_CROSS = reinterpret_cast<LPCWSTR>(32515);
inline const LPCWSTR IDC_SIZEWE = reinterpret_cast<LPCWSTR>(32644);
inline const LPCWSTR IDC_SIZENS = reinterpret_cast<LPCWSTR>(32645);
inline const LPCWSTR IDC_SIZEALL = reinterpret_cast<LPCWSTR>(32646);
inline const LPCWSTR IDC_NO = reinterpret_cast<LPCWSTR>(32648);
inline const LPCWSTR IDC_HAND = reinterpret_cast<LPCWSTR>(32649);
// System cursors only (instance null and an IDC_ value).
HCURSOR LoadCursorW(HINSTANCE instance, LPCWSTR name);
HCURSOR SetCursor(HCURSOR cursor);
HCURSOR GetCursor();

// Monitors and metrics ----------------------------------------------------------------------
inline constexpr int SM_CXSCREEN = 0;
inline constexpr int SM_CYSCREEN = 1;
inline constexpr int SM_CXVSCROLL = 2;
inline constexpr int SM_CYHSCROLL = 3;
inline constexpr int SM_CYCAPTION = 4;
inline constexpr int SM_CXBORDER = 5;
inline constexpr int SM_CYBORDER = 6;
inline constexpr int SM_CXDOUBLECLK = 36;
inline constexpr int SM_CYDOUBLECLK = 37;
inline constexpr int SM_CXEDGE = 45;
inline constexpr int SM_CYEDGE = 46;
// The number of screens the user sees: 0 on the headless display.
inline constexpr int SM_CMONITORS = 80;
int GetSystemMetrics(int index);
UINT GetDoubleClickTime();

// Dropped files -----------------------------------------------------------------------------
// WM_DROPFILES goes to the deepest window under the pointer that has
// WS_EX_ACCEPTFILES (or an ancestor of it that has); wParam is the HDROP, which
// the receiver releases with DragFinish.
VELTRIX_DECLARE_HANDLE(HDROP);
void DragAcceptFiles(HWND window, BOOL accept);
// index 0xFFFFFFFF: the number of files. A null buffer: the length of the
// path. Otherwise copies at most size - 1 characters and returns the count.
UINT DragQueryFileW(HDROP drop, UINT index, LPWSTR buffer, UINT size);
BOOL DragQueryPoint(HDROP drop, LPPOINT point);
void DragFinish(HDROP drop);

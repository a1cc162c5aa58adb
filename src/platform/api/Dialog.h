// The dialog manager: dialogs made from in-memory templates, the dialog
// procedure protocol, and the keyboard interface of dialogs.
//
// Templates are laid out as on Windows: a DLGTEMPLATE (or a DLGTEMPLATEEX,
// recognised by its 1, 0xFFFF start), then the menu, class and title as
// 0x0000 (none), 0xFFFF followed by an ordinal, or a zero-terminated UTF-16
// string, then with DS_SETFONT the point size (the EX form adds weight,
// italic and character set) and the face name; then each item aligned to four
// bytes: its DLGITEMTEMPLATE(EX), class (an ordinal 0x0080 button, 0x0081
// edit, 0x0082 static, 0x0085 combo box, or a class name), title, and a WORD
// byte count of creation data that follows. Coordinates are dialog units: a
// horizontal unit is a quarter of the font's average character width, a
// vertical unit an eighth of its height. Templates without DS_SETFONT use the
// system font's units (GetDialogBaseUnits). A dialog is placed relative to
// its owner's client area (the screen with DS_ABSALIGN or without an owner),
// centred with DS_CENTER.
//
// Procedure protocol: the dialog window's class procedure is DefDlgProcW,
// which calls the DLGPROC first. A DLGPROC that handles a message returns
// TRUE and puts its result in DWLP_MSGRESULT (WM_INITDIALOG, WM_CTLCOLOR* and
// a few others return their value directly); FALSE leaves the message to the
// dialog default: WM_CLOSE becomes WM_COMMAND IDCANCEL, WM_NEXTDLGCTL moves
// the focus, DM_GETDEFID/DM_SETDEFID keep the default button, the background
// is the button face. WM_INITDIALOG (wParam: the first tab stop, lParam: the
// creation parameter) comes after the controls exist and before the dialog
// is shown; answering TRUE gives the focus to wParam.
#pragma once

#include "platform/api/Buttons.h"
#include "platform/api/Messages.h"
#include "platform/api/Types.h"

using INT_PTR = std::intptr_t;
using DLGPROC = INT_PTR (*)(HWND, UINT, WPARAM, LPARAM);

#pragma pack(push, 2)
struct DLGTEMPLATE {
    DWORD style;
    DWORD dwExtendedStyle;
    WORD cdit;
    short x;
    short y;
    short cx;
    short cy;
};

struct DLGITEMTEMPLATE {
    DWORD style;
    DWORD dwExtendedStyle;
    short x;
    short y;
    short cx;
    short cy;
    WORD id;
};
#pragma pack(pop)
static_assert(sizeof(DLGTEMPLATE) == 18 && sizeof(DLGITEMTEMPLATE) == 18, "templates are packed as on Windows");
using LPCDLGTEMPLATEW = const DLGTEMPLATE*;

// Dialog styles (the low bits of a dialog's style).
inline constexpr DWORD DS_ABSALIGN = 0x0001;
inline constexpr DWORD DS_SYSMODAL = 0x0002;
inline constexpr DWORD DS_3DLOOK = 0x0004;
inline constexpr DWORD DS_FIXEDSYS = 0x0008;
inline constexpr DWORD DS_SETFONT = 0x0040;
inline constexpr DWORD DS_MODALFRAME = 0x0080;
inline constexpr DWORD DS_CONTROL = 0x0400;
inline constexpr DWORD DS_CENTER = 0x0800;
inline constexpr DWORD DS_SHELLFONT = DS_SETFONT | DS_FIXEDSYS;

// Window extra bytes of the dialog class.
inline constexpr int DWLP_MSGRESULT = 0;
inline constexpr int DWLP_DLGPROC = 8;
inline constexpr int DWLP_USER = 16;
inline constexpr int DLGWINDOWEXTRA = 30;

// Dialog messages.
inline constexpr UINT DM_GETDEFID = 0x0400;
inline constexpr UINT DM_SETDEFID = 0x0401;
inline constexpr WORD DC_HASDEFID = 0x534B;

// WM_GETDLGCODE answers besides those of api/Edit.h.
inline constexpr LRESULT DLGC_DEFPUSHBUTTON = 0x0010;
inline constexpr LRESULT DLGC_UNDEFPUSHBUTTON = 0x0020;
inline constexpr LRESULT DLGC_RADIOBUTTON = 0x0040;
inline constexpr LRESULT DLGC_STATIC = 0x0100;
inline constexpr LRESULT DLGC_BUTTON = 0x2000;

// The system push button ("BUTTON", BS_PUSHBUTTON and BS_DEFPUSHBUTTON only)
// and static text ("STATIC", SS_LEFT, SS_CENTER, SS_RIGHT), enough for the
// layer's own dialogs and simple templates. A button sends WM_COMMAND
// BN_CLICKED to its parent when clicked, or on Space or Return while focused.
inline constexpr DWORD BS_DEFPUSHBUTTON = 0x0001;
inline constexpr WORD BN_CLICKED = 0;
inline constexpr UINT BM_SETSTYLE = 0x00F4;
inline constexpr DWORD SS_LEFT = 0x0000;
inline constexpr DWORD SS_CENTER = 0x0001;
inline constexpr DWORD SS_RIGHT = 0x0002;
// Static text shows "&" as it is; without it "&x" underlines x and "&&" is "&".
inline constexpr DWORD SS_NOPREFIX = 0x0080;

// The dialog window class (an atom name as on Windows).
inline constexpr const char16_t* kDialogClassName = u"#32770";

// Runs a modal dialog: the owner's top-level window is disabled while the
// dialog's own loop runs (IsDialogMessageW first for every message), and
// enabled again before the dialog is destroyed. Returns the value given to
// EndDialog, -1 when the dialog cannot be made. A WM_QUIT met by the loop is
// put back and ends the dialog with IDCANCEL (2), as does the headless
// display's ten-second limit.
INT_PTR DialogBoxIndirectParamW(HINSTANCE instance, LPCDLGTEMPLATEW dialogTemplate, HWND owner, DLGPROC proc,
                                LPARAM param);
// A modeless dialog; shown when the template has WS_VISIBLE. Null on failure.
HWND CreateDialogIndirectParamW(HINSTANCE instance, LPCDLGTEMPLATEW dialogTemplate, HWND owner, DLGPROC proc,
                                LPARAM param);
// Modal: ends the dialog's loop with the result (the window goes when the loop
// ends). Modeless: hides the dialog only. FALSE for a window that is not a
// dialog.
BOOL EndDialog(HWND dialog, INT_PTR result);
LRESULT DefDlgProcW(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
// Handles the message when it is meant for the dialog or one of its
// descendants: Tab and Shift+Tab move over WS_TABSTOP controls, the arrow
// keys inside a WS_GROUP group, Return presses the focused push button or
// else the default button (IDOK without one), Escape sends IDCANCEL; a
// control's WM_GETDLGCODE answer keeps the keys it wants. Every other message
// for the dialog is translated and dispatched here. FALSE for messages of
// other windows.
BOOL IsDialogMessageW(HWND dialog, LPMSG message);
// The next (previous) visible, enabled WS_TABSTOP control after control,
// wrapping; controls of WS_EX_CONTROLPARENT children count as the dialog's.
HWND GetNextDlgTabItem(HWND dialog, HWND control, BOOL previous);
// The next (previous) visible, enabled control of control's WS_GROUP group.
HWND GetNextDlgGroupItem(HWND dialog, HWND control, BOOL previous);
BOOL SetDlgItemTextW(HWND dialog, int id, LPCWSTR text);
UINT GetDlgItemTextW(HWND dialog, int id, LPWSTR buffer, int size);
LRESULT SendDlgItemMessageW(HWND dialog, int id, UINT message, WPARAM wParam, LPARAM lParam);
// Dialog units of the dialog's font to pixels.
BOOL MapDialogRect(HWND dialog, LPRECT rect);
// The system font's units: the average width in the low word, the height in the high word.
LONG GetDialogBaseUnits();

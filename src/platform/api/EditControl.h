// The system edit control ("EDIT"): the styles and colour messages that come
// on top of the edit-control message numbers, with their Windows values.
//
// Contract of the control: its text is one UTF-16 string (line breaks are
// CR LF in a multi-line control); positions are UTF-16 offsets, clamped to the
// text; the selection is an anchor and a caret. It notifies its parent with
// WM_COMMAND (control id in the low word, the code in the high word, the
// control as lParam): EN_UPDATE then EN_CHANGE after every change of the text
// by typing, EM_REPLACESEL, undo and the clipboard messages, and after
// WM_SETTEXT in a one-line field that is not a combo box's (as on Windows);
// EN_SETFOCUS and EN_KILLFOCUS on focus changes; EN_MAXTEXT when the limit
// refuses text. Its
// colours come from the parent through WM_CTLCOLOREDIT (WM_CTLCOLORSTATIC when
// read-only or disabled). Ctrl+X, Ctrl+C, Ctrl+V and Ctrl+Z send WM_CUT,
// WM_COPY, WM_PASTE and WM_UNDO to the control itself, so that a subclassing
// procedure sees them.
#pragma once

#include "platform/api/Edit.h"

inline constexpr DWORD ES_CENTER = 0x0001;
inline constexpr DWORD ES_RIGHT = 0x0002;
inline constexpr DWORD ES_UPPERCASE = 0x0008;
inline constexpr DWORD ES_LOWERCASE = 0x0010;
inline constexpr DWORD ES_PASSWORD = 0x0020;
inline constexpr DWORD ES_NUMBER = 0x2000;

inline constexpr UINT WM_CTLCOLOREDIT = 0x0133;
inline constexpr UINT WM_CTLCOLORLISTBOX = 0x0134;
inline constexpr UINT WM_CTLCOLORSTATIC = 0x0138;

inline constexpr LRESULT DLGC_WANTMESSAGE = 0x0004;

// The system tool bar ("ToolbarWindow32") with Win32 names and numbers.
//
// A row of buttons laid out left to right from the client's top-left corner:
// push buttons, check buttons (TBSTYLE_CHECK; TBSTYLE_GROUP makes neighbouring
// group buttons exclusive), separators and drop-down buttons. Glyphs come from
// the image lists the owner gives (TB_SETIMAGELIST, TB_SETHOTIMAGELIST,
// TB_SETDISABLEDIMAGELIST); the bar only borrows them. A disabled button
// without a disabled list draws its glyph greyed.
//
// Notifications go to the window that was the bar's parent when it was
// created (TB_SETPARENT changes it), as on Windows, so re-parenting the bar
// into a holder window leaves them with the owner:
// - a click released over the button it started on: WM_COMMAND with the
//   button's command id (code 0, BN_CLICKED) and the bar's handle; a check button
//   toggles first;
// - a press on a drop-down arrow (BTNS_DROPDOWN with TBSTYLE_EX_DRAWDDARROWS:
//   the arrow part; BTNS_WHOLEDROPDOWN or BTNS_DROPDOWN without the extended
//   style: the whole button): WM_NOTIFY TBN_DROPDOWN with an NMTOOLBARW;
// - tips: with TBSTYLE_TOOLTIPS the bar makes a tooltip window (or uses the one
//   given by TB_SETTOOLTIPS) with one tool per button; the text is asked of the
//   owner with WM_NOTIFY TTN_GETDISPINFOW (idFrom = the command id), and is the
//   button's string when the owner leaves it empty.
// Button strings (iString as a text pointer) are drawn beside the glyph only
// for BTNS_SHOWTEXT buttons; otherwise they serve as tips.
// Button records are always read as this layer's TBBUTTON; TB_BUTTONSTRUCTSIZE
// is accepted and kept, as owners written for 32-bit Windows send 20.
// CCS_NORESIZE keeps TB_AUTOSIZE from resizing the window; the owner then
// sizes it (TB_GETMAXSIZE gives the room the buttons take).
#pragma once

#include "platform/api/CommonControls.h"
#include "platform/api/ImageList.h"
#include "platform/api/Messages.h"
#include "platform/api/Tooltip.h"
#include "platform/api/Types.h"

inline constexpr const WCHAR* TOOLBARCLASSNAMEW = u"ToolbarWindow32";

inline constexpr DWORD CCS_TOP = 0x0001;
inline constexpr DWORD CCS_NOMOVEY = 0x0002;
inline constexpr DWORD CCS_BOTTOM = 0x0003;
inline constexpr DWORD CCS_NORESIZE = 0x0004;
inline constexpr DWORD CCS_NOPARENTALIGN = 0x0008;
inline constexpr DWORD CCS_ADJUSTABLE = 0x0020;
inline constexpr DWORD CCS_NODIVIDER = 0x0040;
inline constexpr DWORD CCS_VERT = 0x0080;

inline constexpr BYTE TBSTYLE_BUTTON = 0x00;
inline constexpr BYTE TBSTYLE_SEP = 0x01;
inline constexpr BYTE TBSTYLE_CHECK = 0x02;
inline constexpr BYTE TBSTYLE_GROUP = 0x04;
inline constexpr BYTE TBSTYLE_CHECKGROUP = TBSTYLE_GROUP | TBSTYLE_CHECK;
inline constexpr BYTE TBSTYLE_DROPDOWN = 0x08;
inline constexpr BYTE TBSTYLE_AUTOSIZE = 0x10;
inline constexpr BYTE TBSTYLE_NOPREFIX = 0x20;
inline constexpr BYTE BTNS_BUTTON = TBSTYLE_BUTTON;
inline constexpr BYTE BTNS_SEP = TBSTYLE_SEP;
inline constexpr BYTE BTNS_CHECK = TBSTYLE_CHECK;
inline constexpr BYTE BTNS_GROUP = TBSTYLE_GROUP;
inline constexpr BYTE BTNS_CHECKGROUP = TBSTYLE_CHECKGROUP;
inline constexpr BYTE BTNS_DROPDOWN = TBSTYLE_DROPDOWN;
inline constexpr BYTE BTNS_AUTOSIZE = TBSTYLE_AUTOSIZE;
inline constexpr BYTE BTNS_NOPREFIX = TBSTYLE_NOPREFIX;
inline constexpr BYTE BTNS_SHOWTEXT = 0x40;
inline constexpr BYTE BTNS_WHOLEDROPDOWN = 0x80;

// Window styles.
inline constexpr DWORD TBSTYLE_TOOLTIPS = 0x0100;
inline constexpr DWORD TBSTYLE_WRAPABLE = 0x0200;
inline constexpr DWORD TBSTYLE_ALTDRAG = 0x0400;
inline constexpr DWORD TBSTYLE_FLAT = 0x0800;
inline constexpr DWORD TBSTYLE_LIST = 0x1000;
inline constexpr DWORD TBSTYLE_CUSTOMERASE = 0x2000;
inline constexpr DWORD TBSTYLE_REGISTERDROP = 0x4000;
inline constexpr DWORD TBSTYLE_TRANSPARENT = 0x8000;

// Extended styles (TB_SETEXTENDEDSTYLE).
inline constexpr DWORD TBSTYLE_EX_DRAWDDARROWS = 0x0001;
inline constexpr DWORD TBSTYLE_EX_MIXEDBUTTONS = 0x0008;
inline constexpr DWORD TBSTYLE_EX_HIDECLIPPEDBUTTONS = 0x0010;
inline constexpr DWORD TBSTYLE_EX_DOUBLEBUFFER = 0x0080;

inline constexpr BYTE TBSTATE_CHECKED = 0x01;
inline constexpr BYTE TBSTATE_PRESSED = 0x02;
inline constexpr BYTE TBSTATE_ENABLED = 0x04;
inline constexpr BYTE TBSTATE_HIDDEN = 0x08;
inline constexpr BYTE TBSTATE_INDETERMINATE = 0x10;
inline constexpr BYTE TBSTATE_WRAP = 0x20;
inline constexpr BYTE TBSTATE_ELLIPSES = 0x40;
inline constexpr BYTE TBSTATE_MARKED = 0x80;

struct TBBUTTON {
    int iBitmap;  // image index; for separators, the width (0: the default)
    int idCommand;
    BYTE fsState;
    BYTE fsStyle;
    BYTE bReserved[6];
    DWORD_PTR dwData;
    INT_PTR iString;  // a text pointer, or a string index below 0x10000
};
using LPTBBUTTON = TBBUTTON*;
using LPCTBBUTTON = const TBBUTTON*;

inline constexpr UINT TB_ENABLEBUTTON = WM_USER + 1;
inline constexpr UINT TB_CHECKBUTTON = WM_USER + 2;
inline constexpr UINT TB_PRESSBUTTON = WM_USER + 3;
inline constexpr UINT TB_HIDEBUTTON = WM_USER + 4;
inline constexpr UINT TB_INDETERMINATE = WM_USER + 5;
inline constexpr UINT TB_ISBUTTONENABLED = WM_USER + 9;
inline constexpr UINT TB_ISBUTTONCHECKED = WM_USER + 10;
inline constexpr UINT TB_ISBUTTONPRESSED = WM_USER + 11;
inline constexpr UINT TB_ISBUTTONHIDDEN = WM_USER + 12;
inline constexpr UINT TB_SETSTATE = WM_USER + 17;
inline constexpr UINT TB_GETSTATE = WM_USER + 18;
inline constexpr UINT TB_DELETEBUTTON = WM_USER + 22;
inline constexpr UINT TB_GETBUTTON = WM_USER + 23;
inline constexpr UINT TB_BUTTONCOUNT = WM_USER + 24;
inline constexpr UINT TB_COMMANDTOINDEX = WM_USER + 25;
inline constexpr UINT TB_GETITEMRECT = WM_USER + 29;
inline constexpr UINT TB_BUTTONSTRUCTSIZE = WM_USER + 30;
inline constexpr UINT TB_SETBUTTONSIZE = WM_USER + 31;
inline constexpr UINT TB_SETBITMAPSIZE = WM_USER + 32;
inline constexpr UINT TB_AUTOSIZE = WM_USER + 33;
inline constexpr UINT TB_GETTOOLTIPS = WM_USER + 35;
inline constexpr UINT TB_SETTOOLTIPS = WM_USER + 36;
inline constexpr UINT TB_SETPARENT = WM_USER + 37;
inline constexpr UINT TB_SETIMAGELIST = WM_USER + 48;
inline constexpr UINT TB_GETIMAGELIST = WM_USER + 49;
inline constexpr UINT TB_GETRECT = WM_USER + 51;
inline constexpr UINT TB_SETHOTIMAGELIST = WM_USER + 52;
inline constexpr UINT TB_GETHOTIMAGELIST = WM_USER + 53;
inline constexpr UINT TB_SETDISABLEDIMAGELIST = WM_USER + 54;
inline constexpr UINT TB_GETDISABLEDIMAGELIST = WM_USER + 55;
inline constexpr UINT TB_SETSTYLE = WM_USER + 56;
inline constexpr UINT TB_GETSTYLE = WM_USER + 57;
inline constexpr UINT TB_GETBUTTONSIZE = WM_USER + 58;
inline constexpr UINT TB_INSERTBUTTONW = WM_USER + 67;
inline constexpr UINT TB_ADDBUTTONSW = WM_USER + 68;
inline constexpr UINT TB_HITTEST = WM_USER + 69;
inline constexpr UINT TB_GETHOTITEM = WM_USER + 71;
inline constexpr UINT TB_SETHOTITEM = WM_USER + 72;
inline constexpr UINT TB_GETMAXSIZE = WM_USER + 83;
inline constexpr UINT TB_SETEXTENDEDSTYLE = WM_USER + 84;
inline constexpr UINT TB_GETEXTENDEDSTYLE = WM_USER + 85;

inline constexpr UINT TBN_FIRST = static_cast<UINT>(-700);
inline constexpr UINT TBN_DROPDOWN = TBN_FIRST - 10;
inline constexpr LRESULT TBDDRET_DEFAULT = 0;
inline constexpr LRESULT TBDDRET_NODEFAULT = 1;
inline constexpr LRESULT TBDDRET_TREATPRESSED = 2;

struct NMTOOLBARW {
    NMHDR hdr;
    int iItem;  // the command id
    TBBUTTON tbButton;
    int cchText;
    LPWSTR pszText;
    RECT rcButton;  // client coordinates of the bar
};

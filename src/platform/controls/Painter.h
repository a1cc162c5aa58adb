// Antialiased shapes for the native layer's own controls (message boxes and
// menus), drawn through a device context so that clipping and the window's
// place in its top-level picture apply as for any GDI call.
#pragma once

#include "platform/win32.h"

namespace veltrix::platform::painter {

enum class Icon { None, Error, Warning, Information, Question };

// A rounded rectangle filled with fill and outlined with a border of the given
// width (0: none).
void roundRect(HDC dc, const RECT& r, double radius, COLORREF fill, COLORREF border, double borderWidth);
// A 32 x 32 message icon with its top-left corner at x, y.
void icon(HDC dc, int x, int y, Icon which);
// A check mark fitted into the square.
void checkMark(HDC dc, const RECT& square, COLORREF colour);
// A small arrow pointing right, centred in the rectangle (submenu marker).
void rightArrow(HDC dc, const RECT& r, COLORREF colour);

// The font of message boxes and pop-up menus: one for the process, made on
// first use and kept to its end.
HFONT uiFont();

}  // namespace veltrix::platform::painter

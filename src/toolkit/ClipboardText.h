// The shared reader of the clipboard's text.
#pragma once

#include <string>

#include "platform/win32.h"

// The clipboard's Unicode text, else its narrow text converted from the
// system code page, else the empty text (also when the clipboard cannot be
// opened). The clipboard is always closed again.
std::u16string readClipboardText(HWND owner);

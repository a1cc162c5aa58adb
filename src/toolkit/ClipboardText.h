// The shared reader of the clipboard's text.
#pragma once

#include <string>

#include "platform/win32.h"

// The clipboard's Unicode text, else its narrow text converted from the
// system code page, else the empty text (also when the clipboard cannot be
// opened). The clipboard is always closed again.
std::u16string readClipboardText(HWND owner);

// The text of a block of global memory up to its first zero, never past the
// block's end: UTF-16, or narrow text converted from the system code page.
// Both answer the empty text for a block that cannot be locked.
std::u16string unicodeTextOfBlock(HANDLE block);
std::u16string narrowTextOfBlock(HANDLE block);

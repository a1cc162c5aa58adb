// The input method's side of the window layer: the display's composition and
// text events become the IME messages of the focus window, and the display's
// text input follows the keyboard focus and the composition window.
#pragma once

#include "platform/display/Display.h"
#include "platform/win32.h"

namespace veltrix::platform {

// A Text event: a composition's result while one runs, else WM_CHAR per unit.
void deliverText(HWND target, const RawEvent& event);
// A Composition event: start, update or (empty text) cancel a composition.
void deliverComposition(HWND target, const RawEvent& event);
// DefWindowProcW's answers to WM_IME_COMPOSITION and WM_IME_CHAR.
LRESULT defaultImeProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
// Text input runs while a window has the keyboard focus; null stops it.
void textInputFocus(HWND focus);

}  // namespace veltrix::platform

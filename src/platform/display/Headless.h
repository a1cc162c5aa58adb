// What a test can do with the headless display (VELTRIX_DISPLAY=headless):
// inject input at screen coordinates, run the queue until it is idle, read
// and save what top-level windows show. Declared without any drawing-library
// type so that tests above the native layer may include it.
#pragma once

#include <string>
#include <vector>

#include "platform/win32.h"

namespace veltrix::platform::headless {

enum class Button { Left, Right, Middle };

// False when the process does not run on the headless display.
bool active();

void mouseMove(POINT screen);
void mouseButton(Button button, bool down, POINT screen);
// Press and release at the point.
void click(Button button, POINT screen);
void mouseWheel(int delta, POINT screen);
void key(int virtualKey, bool down);
// Down and up of one key.
void pressKey(int virtualKey);
// Text typed; while a composition runs, its result.
void typeText(const std::u16string& text);
// The input method's text being edited, with the caret at cursor; an empty
// text cancels the composition.
void compose(const std::u16string& text, int cursor);
// Whether the display's text input runs, and the screen area it was given
// (where a candidate window would open).
bool textInputArea(RECT& area);
// Files dropped at a screen point; with a top-level window, onto that window
// (as the window system names it), wherever the point is.
void dropFiles(const std::vector<std::u16string>& files, POINT screen, HWND topLevel = nullptr);
// Text dropped at a screen point onto a top-level window.
void dropText(const std::u16string& text, POINT screen, HWND topLevel);
// The window system lost what a top-level window showed and asks for it again.
void expose(HWND topLevel);
// The rectangles (picture coordinates) of the window's last present.
std::vector<RECT> lastPresented(HWND topLevel);
// As if the user closed the top-level window with its frame.
void closeWindow(HWND topLevel);
// As if the window system gave the top-level window the keyboard.
void focusWindow(HWND topLevel);
// As if the session were ending: unattended as after a signal, else as when
// the desktop asks the program to quit.
void endSession(bool unattended);

// Dispatches every queued message of the calling thread (with TranslateMessage)
// including paints and due timers, until nothing is left. Returns the number
// of messages handled; a WM_QUIT met on the way is put back.
int pumpMessages();

// The colour of a pixel of the window's top-level picture; x, y are client
// coordinates of the given window. CLR_INVALID outside the picture.
COLORREF pixel(HWND window, int x, int y);
// Writes the top-level window's picture as a PNG file.
bool savePicture(HWND window, const std::string& path);
// The title and visibility the display was told for a top-level window.
std::u16string title(HWND topLevel);
bool shown(HWND topLevel);
// The last cursor shape set, as an IDC_ value (e.g. 32513 for the I-beam).
std::uintptr_t cursor();

}  // namespace veltrix::platform::headless

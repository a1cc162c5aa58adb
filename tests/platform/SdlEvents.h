// Events put on SDL's own queue as SDL makes them for what Xvfb cannot give:
// an input method's composition and committed text, and drops from another
// program.
#pragma once

#include <vector>

namespace veltrix::test {

// The text being composed (UTF-8) with the caret after `caret` code points.
// Up to 31 bytes it is an SDL_TEXTEDITING event; longer, the
// SDL_TEXTEDITING_EXT event that SDL sends for it with extended text on.
void pushSdlComposition(const char* utf8, int caret);
// A committed text (UTF-8), cut as SDL cuts it: SDL_TEXTINPUT events of at
// most 31 bytes, each ending on a whole character.
void pushSdlText(const char* utf8);
// A drop onto the SDL window with the given title: the begin, one event per
// file (paths) or per line of text, and the end.
void pushSdlDrop(const char* windowTitle, const std::vector<const char*>& files, const char* text = nullptr);
// SDL's request to quit (a desktop asking the program to end).
void pushSdlQuit();

}  // namespace veltrix::test

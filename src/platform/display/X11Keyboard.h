// The keyboard straight from the X server, for the SDL display on X11.
//
// SDL's own key events are not used there: SDL makes up presses and releases
// when the X focus moves between windows (it resets its key state on focus
// loss and compares it with the server's state of that later moment on focus
// gain), drops the events of a window it has just destroyed, and merges a
// release with a quickly following press of the same key. The raw X events,
// which SDL hands on as SDL_SYSWMEVENT before it looks at them, keep the
// server's order exactly. This file is the only one that includes Xlib (whose
// macros clash with the layer's names).
#pragma once

struct SDL_Window;
struct SDL_SysWMmsg;

namespace veltrix::platform::x11 {

// The X connection of an SDL window and its file descriptor; null / -1 when
// the window is not an X11 one.
void* displayOf(SDL_Window* window);
int connectionFd(void* display);
// The X window id of an SDL window (0 when not X11).
unsigned long windowIdOf(SDL_Window* window);
// Events already read from the connection and not yet handed to SDL.
bool eventsQueued(void* display);
// A key held down repeats as presses only, without releases between them, as
// Windows' auto-repeat does.
void detectAutoRepeat(void* display);

struct Key {
    bool down = false;
    int virtualKey = 0;        // 0 for a key without a virtual-key code
    unsigned long window = 0;  // the X window the server sent it to
};
// The key of a KeyPress or KeyRelease event; false for any other event.
bool keyOf(const SDL_SysWMmsg& message, Key& key);

// Windows virtual-key code of an X key symbol (the unshifted symbol of the
// key); 0 for symbols without one.
int virtualKeyOfKeySym(unsigned long keySym);

}  // namespace veltrix::platform::x11

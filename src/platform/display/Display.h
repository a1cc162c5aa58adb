// The one interface that knows about a screen. The window layer asks it to
// mirror top-level windows and to present their pictures, and takes raw input
// events from it; it never sees messages or window procedures.
//
// Threading: every call but wake() comes from the display thread (the first
// thread that creates a top-level window). wake() may come from any thread and
// makes a pending or the next wait() return.
#pragma once

#include <cairo.h>

#include <memory>
#include <string>
#include <vector>

#include "platform/api/Types.h"

namespace veltrix::platform {

enum class RawEventType {
    MouseMove,
    MouseDown,
    MouseUp,
    MouseWheel,
    KeyDown,
    KeyUp,
    Text,
    Close,
    FocusGained,
    FocusLost,
    DropFiles,
    Geometry,
    Composition,
    Expose,
    DropText,
    EndSession
};

enum class MouseButton { None, Left, Right, Middle };

struct RawEvent {
    RawEventType type = RawEventType::MouseMove;
    HWND window = nullptr;  // the top-level window it concerns (Close, focus, drops, Geometry, Expose)
    RECT rect{0, 0, 0, 0};  // Geometry: the client area's new screen rectangle
    POINT screen{0, 0};     // mouse events and drops: screen coordinates
    MouseButton button = MouseButton::None;
    int wheelDelta = 0;                 // multiples of WHEEL_DELTA, positive away from the user
    int virtualKey = 0;                 // key events: the VK_ code
    std::u16string text;                // Text: the characters typed (a composition's result); Composition: the text
                                        // being edited; DropText: the text dropped
    int cursor = 0;                     // Composition: the caret inside the text being edited
    std::vector<std::u16string> files;  // DropFiles
    // EndSession: true when nobody can answer (a signal ended the process),
    // false when the desktop asked the program to quit.
    bool unattended = false;
};

enum class CursorShape { Arrow, IBeam, Wait, Cross, SizeWE, SizeNS, SizeAll, No, Hand };

class Display {
public:
    virtual ~Display() = default;

    // A display window mirrors one top-level window; the rectangle is its
    // client area in screen coordinates.
    virtual void createWindow(HWND window, const RECT& screen, DWORD style, DWORD exStyle) = 0;
    virtual void destroyWindow(HWND window) = 0;
    virtual void showWindow(HWND window, bool visible) = 0;
    virtual void moveWindow(HWND window, const RECT& screen) = 0;
    virtual void setTitle(HWND window, const std::u16string& title) = 0;
    // The layer made window the active one: the window system should give it
    // the keyboard too (a window manager may refuse; without one, nobody else
    // would hand the focus back when a dialog goes).
    virtual void activateWindow(HWND) {}
    // The picture is the top-level window's backing surface (its client area);
    // only the dirty rectangles (picture coordinates) reach the screen.
    virtual void present(HWND window, cairo_surface_t* picture, const std::vector<RECT>& dirty) = 0;

    // Appends pending raw events without blocking, in the order the window
    // system gave them.
    virtual void pumpEvents(std::vector<RawEvent>& out) = 0;
    // Blocks until an event arrives, wake() is called, an ending signal comes
    // (see SessionSignals.h), or timeoutMs pass (negative: no time-out). It
    // never takes an event: the next pumpEvents sees them all, in order.
    virtual void wait(int timeoutMs) = 0;
    virtual void wake() = 0;

    virtual RECT monitorRect() = 0;
    virtual void setCursor(CursorShape shape) = 0;
    virtual std::u16string clipboardText() = 0;
    virtual void setClipboardText(const std::u16string& text) = 0;
    // Text input for the top-level window that has the keyboard; the caret
    // (in screen coordinates) is where a candidate window should not cover.
    virtual void startTextInput(HWND topLevel, const RECT& caret) = 0;
    virtual void stopTextInput() = 0;
};

// The display chosen for the process: VELTRIX_DISPLAY=headless picks the
// in-memory display, anything else SDL2. When SDL2 finds no display to open,
// the process says so in one line on the standard error and exits with 1:
// a program nobody can see must not run on. Made on first use, lives until
// exit; either display routes the ending signals into its wait.
Display& display();
bool isHeadlessDisplay();

}  // namespace veltrix::platform

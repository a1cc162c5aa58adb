// Drives the real program on an X display as a learner would, with real X
// key presses, and saves pictures of the screen along the way:
//   xvfb-run -s "-screen 0 800x600x24" sh -c 'build/veltrix &
//     build/tools/veltrix_x_session "$PWD/build/Samples/AskingTheWay.mp3" shot; kill $!'
// It presses Ctrl+O, types the path into the open dialog and Return, saves
// shot-opened.png, presses Ctrl+P, waits two seconds and saves shot-playing.png.
// With VELTRIX_SESSION_CLICK=x,y it then clicks there (screen coordinates) and
// saves shot-clicked.png two seconds later.
#include <cairo-xlib.h>
#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>

#include "platform/gdi/CairoHandles.h"

namespace {

using veltrix::platform::UniqueCairo;
using veltrix::platform::UniqueCairoSurface;

void pause(int ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }

bool screenshot(Display* x, const std::string& path) {
    const int screen = DefaultScreen(x);
    const int width = DisplayWidth(x, screen), height = DisplayHeight(x, screen);
    const UniqueCairoSurface root(
        cairo_xlib_surface_create(x, RootWindow(x, screen), DefaultVisual(x, screen), width, height));
    const UniqueCairoSurface image(cairo_image_surface_create(CAIRO_FORMAT_RGB24, width, height));
    {
        const UniqueCairo cr(cairo_create(image.get()));
        cairo_set_source_surface(cr.get(), root.get(), 0, 0);
        cairo_paint(cr.get());
    }
    const bool ok = cairo_surface_write_to_png(image.get(), path.c_str()) == CAIRO_STATUS_SUCCESS;
    std::printf("%s %s\n", ok ? "saved" : "failed to save", path.c_str());
    return ok;
}

void key(Display* x, KeySym sym, bool down) {
    XTestFakeKeyEvent(x, XKeysymToKeycode(x, sym), down ? True : False, CurrentTime);
    XFlush(x);
}

void press(Display* x, KeySym sym, KeySym modifier = NoSymbol) {
    if (modifier != NoSymbol) key(x, modifier, true);
    key(x, sym, true);
    key(x, sym, false);
    if (modifier != NoSymbol) key(x, modifier, false);
    pause(40);
}

// ASCII paths only: each character is the key of that name, shifted for the
// few that need it on a US layout.
void type(Display* x, const std::string& text) {
    for (char c : text) {
        KeySym sym = NoSymbol;
        KeySym modifier = NoSymbol;
        switch (c) {
        case '/': sym = XK_slash; break;
        case '.': sym = XK_period; break;
        case '-': sym = XK_minus; break;
        case '_': sym = XK_underscore; modifier = XK_Shift_L; break;
        case ' ': sym = XK_space; break;
        default:
            if (c >= 'A' && c <= 'Z') modifier = XK_Shift_L;
            sym = XStringToKeysym(std::string(1, c).c_str());
        }
        if (sym != NoSymbol) press(x, sym, modifier);
    }
}

// Which window has the keyboard: a window that lost it after a dialog would
// ignore every shortcut that follows.
void reportFocus(Display* x) {
    Window focus = None;
    int revert = 0;
    XGetInputFocus(x, &focus, &revert);
    char* name = nullptr;
    if (focus != None && focus != PointerRoot) XFetchName(x, focus, &name);
    std::printf("keyboard focus: %s\n", name ? name : "(no named window)");
    if (name) XFree(name);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s <audio file> <picture name prefix>\n", argv[0]);
        return 2;
    }
    Display* x = XOpenDisplay(nullptr);
    if (!x) {
        std::fprintf(stderr, "no X display\n");
        return 1;
    }
    const std::string prefix = argv[2];
    pause(3000);  // the program starts and paints
    screenshot(x, prefix + "-started.png");
    press(x, XK_o, XK_Control_L);
    pause(1000);
    screenshot(x, prefix + "-dialog.png");
    type(x, argv[1]);
    press(x, XK_Return);
    pause(1500);
    screenshot(x, prefix + "-opened.png");
    reportFocus(x);
    press(x, XK_p, XK_Control_L);
    pause(2500);
    const bool ok = screenshot(x, prefix + "-playing.png");
    if (const char* at = std::getenv("VELTRIX_SESSION_CLICK")) {
        int cx = 0, cy = 0;
        if (std::sscanf(at, "%d,%d", &cx, &cy) == 2) {
            XTestFakeMotionEvent(x, -1, cx, cy, CurrentTime);
            XTestFakeButtonEvent(x, 1, True, CurrentTime);
            XTestFakeButtonEvent(x, 1, False, CurrentTime);
            XFlush(x);
            pause(2500);
            screenshot(x, prefix + "-clicked.png");
        }
    }
    XCloseDisplay(x);
    return ok ? 0 : 1;
}

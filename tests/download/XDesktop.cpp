#include "XDesktop.h"

#include <cairo-xlib.h>
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>

#include <chrono>
#include <thread>

namespace veltrix::test {

namespace {

::Display* of(void* display) { return static_cast<::Display*>(display); }

void pause(int ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }

XErrorHandler previousHandler = nullptr;

// A window listed by XQueryTree may be gone by the time it is asked about
// (the program closes its dialogs while the test looks for them); that window
// is simply not the one sought. Any other error stays fatal.
int ignoreVanishedWindows(::Display* x, XErrorEvent* error) {
    if (error->error_code == BadWindow) return 0;
    return previousHandler ? previousHandler(x, error) : 0;
}

std::string titleOf(::Display* x, Window window) {
    Atom netName = XInternAtom(x, "_NET_WM_NAME", False);
    Atom utf8 = XInternAtom(x, "UTF8_STRING", False);
    Atom type = None;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char* data = nullptr;
    if (XGetWindowProperty(x, window, netName, 0, 1024, False, utf8, &type, &format, &count, &after, &data) ==
            Success &&
        data) {
        const std::unique_ptr<unsigned char, decltype(&XFree)> owned(data, XFree);
        return std::string(reinterpret_cast<char*>(data), count);
    }
    char* name = nullptr;
    if (!XFetchName(x, window, &name) || !name) return {};
    const std::unique_ptr<char, decltype(&XFree)> owned(name, XFree);
    return name;
}

}  // namespace

std::unique_ptr<XDesktop> XDesktop::open() {
    ::Display* x = XOpenDisplay(nullptr);
    if (!x) return nullptr;
    int event, error, major, minor;
    if (!XTestQueryExtension(x, &event, &error, &major, &minor)) {
        XCloseDisplay(x);
        return nullptr;
    }
    XErrorHandler previous = XSetErrorHandler(ignoreVanishedWindows);
    if (previous != ignoreVanishedWindows) previousHandler = previous;
    std::unique_ptr<XDesktop> desktop(new XDesktop);
    desktop->display_ = x;
    return desktop;
}

XDesktop::~XDesktop() {
    if (display_) XCloseDisplay(of(display_));
}

std::optional<ScreenRect> XDesktop::findWindow(const std::string& title) {
    ::Display* x = of(display_);
    Window root = DefaultRootWindow(x), parent = 0, *list = nullptr;
    unsigned int count = 0;
    if (!XQueryTree(x, root, &root, &parent, &list, &count)) return std::nullopt;
    const std::unique_ptr<Window, decltype(&XFree)> children(list, XFree);
    std::optional<ScreenRect> found;
    for (unsigned int i = 0; i < count && !found; ++i) {
        XWindowAttributes attributes{};
        const Window window = children.get()[i];
        if (!XGetWindowAttributes(x, window, &attributes) || attributes.map_state != IsViewable) continue;
        if (titleOf(x, window) != title) continue;
        int sx = 0, sy = 0;
        Window child = 0;
        XTranslateCoordinates(x, window, root, 0, 0, &sx, &sy, &child);
        found = ScreenRect{sx, sy, attributes.width, attributes.height};
    }
    return found;
}

void XDesktop::moveTo(int px, int py) {
    ::Display* x = of(display_);
    XTestFakeMotionEvent(x, DefaultScreen(x), px, py, CurrentTime);
    XFlush(x);
    pause(60);
}

void XDesktop::click() {
    ::Display* x = of(display_);
    XTestFakeButtonEvent(x, 1, True, CurrentTime);
    XFlush(x);
    pause(60);
    XTestFakeButtonEvent(x, 1, False, CurrentTime);
    XFlush(x);
    pause(60);
}

void XDesktop::key(unsigned long symbol, bool shift) {
    ::Display* x = of(display_);
    const KeyCode shiftCode = XKeysymToKeycode(x, XK_Shift_L);
    const KeyCode code = XKeysymToKeycode(x, symbol);
    if (shift) XTestFakeKeyEvent(x, shiftCode, True, CurrentTime);
    XTestFakeKeyEvent(x, code, True, CurrentTime);
    XFlush(x);
    pause(20);
    XTestFakeKeyEvent(x, code, False, CurrentTime);
    if (shift) XTestFakeKeyEvent(x, shiftCode, False, CurrentTime);
    XFlush(x);
    pause(20);
}

void XDesktop::type(const std::string& text) {
    for (char c : text) {
        switch (c) {
        case '/': key(XK_slash, false); break;
        case '.': key(XK_period, false); break;
        case '-': key(XK_minus, false); break;
        case '_': key(XK_underscore, true); break;
        default: {
            const bool upper = c >= 'A' && c <= 'Z';
            const char lower = upper ? static_cast<char>(c - 'A' + 'a') : c;
            key(XStringToKeysym(std::string(1, lower).c_str()), upper);
        }
        }
    }
}

void XDesktop::pressReturn() { key(XK_Return, false); }

bool XDesktop::screenshot(const std::string& path) {
    ::Display* x = of(display_);
    const int screen = DefaultScreen(x);
    const int width = DisplayWidth(x, screen), height = DisplayHeight(x, screen);
    using Surface = std::unique_ptr<cairo_surface_t, decltype(&cairo_surface_destroy)>;
    using Context = std::unique_ptr<cairo_t, decltype(&cairo_destroy)>;
    Surface root(cairo_xlib_surface_create(x, RootWindow(x, screen), DefaultVisual(x, screen), width, height),
                 cairo_surface_destroy);
    Surface image(cairo_image_surface_create(CAIRO_FORMAT_RGB24, width, height), cairo_surface_destroy);
    {
        Context cr(cairo_create(image.get()), cairo_destroy);
        cairo_set_source_surface(cr.get(), root.get(), 0, 0);
        cairo_paint(cr.get());
    }
    return cairo_surface_write_to_png(image.get(), path.c_str()) == CAIRO_STATUS_SUCCESS;
}

}  // namespace veltrix::test

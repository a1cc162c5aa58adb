#include "XScreen.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>
#include <cairo-xlib.h>

#include <chrono>
#include <cstring>
#include <thread>

namespace veltrix::test {

namespace {

void pause(int ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }

std::string titleOf(::Display* x, Window window) {
    Atom utf8 = XInternAtom(x, "UTF8_STRING", False);
    Atom netName = XInternAtom(x, "_NET_WM_NAME", False);
    Atom type = 0;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char* data = nullptr;
    std::string title;
    if (XGetWindowProperty(x, window, netName, 0, 1024, False, utf8, &type, &format, &count, &after, &data) ==
            Success &&
        data) {
        title.assign(reinterpret_cast<char*>(data), count);
        XFree(data);
        return title;
    }
    char* name = nullptr;
    if (XFetchName(x, window, &name) && name) {
        title = name;
        XFree(name);
    }
    return title;
}

}  // namespace

std::unique_ptr<XScreen> XScreen::open() {
    ::Display* x = XOpenDisplay(nullptr);
    if (!x) return nullptr;
    int event, error, major, minor;
    if (!XTestQueryExtension(x, &event, &error, &major, &minor)) {
        XCloseDisplay(x);
        return nullptr;
    }
    std::unique_ptr<XScreen> screen(new XScreen);
    screen->display_ = x;
    return screen;
}

XScreen::~XScreen() {
    if (display_) XCloseDisplay(static_cast<::Display*>(display_));
}

unsigned long XScreen::windowWithTitle(const std::string& title) {
    auto* x = static_cast<::Display*>(display_);
    Window root = 0, parent = 0;
    Window* children = nullptr;
    unsigned int count = 0;
    Window found = 0;
    if (!XQueryTree(x, DefaultRootWindow(x), &root, &parent, &children, &count)) return 0;
    for (unsigned int i = 0; i < count && !found; ++i) {
        XWindowAttributes attributes{};
        if (!XGetWindowAttributes(x, children[i], &attributes) || attributes.map_state != IsViewable) continue;
        if (titleOf(x, children[i]) == title) found = children[i];
    }
    if (children) XFree(children);
    return found;
}

std::optional<ScreenRect> XScreen::findWindow(const std::string& title) {
    auto* x = static_cast<::Display*>(display_);
    const Window window = windowWithTitle(title);
    if (!window) return std::nullopt;
    XWindowAttributes attributes{};
    XGetWindowAttributes(x, window, &attributes);
    int rootX = 0, rootY = 0;
    Window child = 0;
    XTranslateCoordinates(x, window, DefaultRootWindow(x), 0, 0, &rootX, &rootY, &child);
    return ScreenRect{rootX, rootY, attributes.width, attributes.height};
}

std::optional<ScreenRect> XScreen::waitForWindow(const std::string& title, int milliseconds) {
    const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(milliseconds);
    do {
        if (auto found = findWindow(title)) return found;
        pause(50);
    } while (std::chrono::steady_clock::now() < until);
    return std::nullopt;
}

bool XScreen::closeWindow(const std::string& title) {
    auto* x = static_cast<::Display*>(display_);
    const Window window = windowWithTitle(title);
    if (!window) return false;
    XEvent event{};
    event.xclient.type = ClientMessage;
    event.xclient.window = window;
    event.xclient.message_type = XInternAtom(x, "WM_PROTOCOLS", False);
    event.xclient.format = 32;
    event.xclient.data.l[0] = static_cast<long>(XInternAtom(x, "WM_DELETE_WINDOW", False));
    event.xclient.data.l[1] = CurrentTime;
    XSendEvent(x, window, False, NoEventMask, &event);
    XFlush(x);
    return true;
}

void XScreen::click(int px, int py) {
    auto* x = static_cast<::Display*>(display_);
    XTestFakeMotionEvent(x, DefaultScreen(x), px, py, CurrentTime);
    XFlush(x);
    pause(60);
    // A person's press lasts a while; SDL may drop a press that comes with its release.
    XTestFakeButtonEvent(x, 1, True, CurrentTime);
    XFlush(x);
    pause(60);
    XTestFakeButtonEvent(x, 1, False, CurrentTime);
    XFlush(x);
    pause(60);
}

void XScreen::key(unsigned long symbol, bool shifted) {
    auto* x = static_cast<::Display*>(display_);
    const KeyCode shift = XKeysymToKeycode(x, XK_Shift_L);
    const KeyCode code = XKeysymToKeycode(x, symbol);
    if (shifted) XTestFakeKeyEvent(x, shift, True, CurrentTime);
    XTestFakeKeyEvent(x, code, True, CurrentTime);
    XFlush(x);
    pause(30);
    XTestFakeKeyEvent(x, code, False, CurrentTime);
    if (shifted) XTestFakeKeyEvent(x, shift, False, CurrentTime);
    XFlush(x);
    pause(30);
}

void XScreen::type(const std::string& text) {
    for (char c : text) {
        switch (c) {
        case '/': key(XK_slash, false); break;
        case '.': key(XK_period, false); break;
        case '-': key(XK_minus, false); break;
        case '_': key(XK_minus, true); break;
        case ':': key(XK_semicolon, true); break;
        default: {
            const char name[2] = {c, 0};
            const KeySym symbol = XStringToKeysym(name);
            if (symbol != NoSymbol) key(symbol, c >= 'A' && c <= 'Z');
        }
        }
    }
}

void XScreen::pressReturn() { key(XK_Return, false); }

bool XScreen::screenshot(const std::string& path) {
    auto* x = static_cast<::Display*>(display_);
    const int screen = DefaultScreen(x);
    const int width = DisplayWidth(x, screen), height = DisplayHeight(x, screen);
    cairo_surface_t* root = cairo_xlib_surface_create(x, RootWindow(x, screen), DefaultVisual(x, screen), width, height);
    cairo_surface_t* image = cairo_image_surface_create(CAIRO_FORMAT_RGB24, width, height);
    cairo_t* cr = cairo_create(image);
    cairo_set_source_surface(cr, root, 0, 0);
    cairo_paint(cr);
    cairo_destroy(cr);
    const bool ok = cairo_surface_write_to_png(image, path.c_str()) == CAIRO_STATUS_SUCCESS;
    cairo_surface_destroy(image);
    cairo_surface_destroy(root);
    return ok;
}

}  // namespace veltrix::test

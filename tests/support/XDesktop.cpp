#include "support/XDesktop.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>
#include <cairo-xlib.h>

#include <memory>
#include <thread>

#include "platform/common/UniqueC.h"

namespace veltrix::test {

namespace {

::Display* x(void* display) { return static_cast<::Display*>(display); }

// XDestroyImage is a macro, so the image's owner needs a deleter of its own.
struct ImageDeleter {
    void operator()(XImage* image) const { XDestroyImage(image); }
};
using Surface = veltrix::UniqueC<cairo_surface_t, cairo_surface_destroy>;

// Windows of the program come and go while the desktop looks at them: an
// error about a window that has just gone is no failure of the test. Other
// connections' errors (SDL's, in the same process) go to their handler.
::Display* observing = nullptr;
XErrorHandler previousHandler = nullptr;
int ignoreOwnErrors(::Display* display, XErrorEvent* error) {
    if (display == observing) return 0;
    return previousHandler ? previousHandler(display, error) : 0;
}

}  // namespace

std::unique_ptr<XDesktop> XDesktop::open() {
    ::Display* display = XOpenDisplay(nullptr);
    if (!display) return nullptr;
    int event, error, major, minor;
    if (!XTestQueryExtension(display, &event, &error, &major, &minor)) {
        XCloseDisplay(display);
        return nullptr;
    }
    std::unique_ptr<XDesktop> desktop(new XDesktop);
    desktop->display_ = display;
    observing = display;
    XErrorHandler previous = XSetErrorHandler(ignoreOwnErrors);
    if (previous != ignoreOwnErrors) previousHandler = previous;
    return desktop;
}

XDesktop::~XDesktop() {
    if (!display_) return;
    // The program's windows may still be going when the desktop closes: stop
    // watching the root first, so that no structure event arrives while
    // Xlib is closing, when it queues events it never frees.
    XSelectInput(x(display_), DefaultRootWindow(x(display_)), NoEventMask);
    XSync(x(display_), True);
    XCloseDisplay(x(display_));
}

int XDesktop::width() const { return DisplayWidth(x(display_), DefaultScreen(x(display_))); }

int XDesktop::height() const { return DisplayHeight(x(display_), DefaultScreen(x(display_))); }

void XDesktop::key(unsigned long keySym, bool down) {
    XTestFakeKeyEvent(x(display_), XKeysymToKeycode(x(display_), keySym), down ? True : False, CurrentTime);
}

void XDesktop::press(unsigned long keySym, const std::vector<unsigned long>& modifiers) {
    for (unsigned long m : modifiers) key(m, true);
    key(keySym, true);
    key(keySym, false);
    for (auto it = modifiers.rbegin(); it != modifiers.rend(); ++it) key(*it, false);
}

void XDesktop::type(const std::string& text) {
    for (char c : text) {
        switch (c) {
            case '/':
                press(XK_slash);
                break;
            case '.':
                press(XK_period);
                break;
            case '-':
                press(XK_minus);
                break;
            case '_':
                press(XK_minus, {XK_Shift_L});
                break;
            case ' ':
                press(XK_space);
                break;
            default:
                if (c >= 'A' && c <= 'Z') {
                    press(XK_a + (c - 'A'), {XK_Shift_L});
                } else if ((c >= 'a' && c <= 'z') || (c >= '0' && c <= '9')) {
                    press(static_cast<unsigned long>(c));
                }
        }
    }
}

void XDesktop::flush() { XFlush(x(display_)); }

void XDesktop::moveTo(int px, int py) {
    XTestFakeMotionEvent(x(display_), -1, px, py, CurrentTime);
    XFlush(x(display_));
}

void XDesktop::click(unsigned int button) {
    XTestFakeButtonEvent(x(display_), button, True, CurrentTime);
    XTestFakeButtonEvent(x(display_), button, False, CurrentTime);
    XFlush(x(display_));
}

void XDesktop::button(unsigned int button, bool down) {
    XTestFakeButtonEvent(x(display_), button, down ? True : False, CurrentTime);
    XFlush(x(display_));
}

void XDesktop::watch() {
    events_.clear();
    XSelectInput(x(display_), DefaultRootWindow(x(display_)), SubstructureNotifyMask);
    XSync(x(display_), False);
}

void XDesktop::readEvents() {
    ::Display* d = x(display_);
    while (XPending(d)) {
        XEvent e;
        XNextEvent(d, &e);
        WindowEvent w{WindowEvent::Kind::Create, 0, 0, 0, 0, 0, std::chrono::steady_clock::now()};
        switch (e.type) {
            case CreateNotify:
                if (e.xcreatewindow.parent != DefaultRootWindow(d)) continue;
                w = {WindowEvent::Kind::Create,
                     e.xcreatewindow.window,
                     e.xcreatewindow.x,
                     e.xcreatewindow.y,
                     e.xcreatewindow.width,
                     e.xcreatewindow.height,
                     w.at};
                break;
            case MapNotify: {
                w.kind = WindowEvent::Kind::Map;
                w.window = e.xmap.window;
                const Rect r = geometry(w.window);
                w.x = r.x;
                w.y = r.y;
                w.width = r.width;
                w.height = r.height;
                break;
            }
            case UnmapNotify:
                w.kind = WindowEvent::Kind::Unmap;
                w.window = e.xunmap.window;
                break;
            case DestroyNotify:
                w.kind = WindowEvent::Kind::Destroy;
                w.window = e.xdestroywindow.window;
                break;
            case ConfigureNotify:
                w = {WindowEvent::Kind::Configure,
                     e.xconfigure.window,
                     e.xconfigure.x,
                     e.xconfigure.y,
                     e.xconfigure.width,
                     e.xconfigure.height,
                     w.at};
                break;
            default:
                continue;
        }
        events_.push_back(w);
    }
}

const std::vector<XDesktop::WindowEvent>& XDesktop::events() {
    readEvents();
    return events_;
}

bool XDesktop::waitFor(const std::function<bool()>& condition, std::chrono::milliseconds limit) {
    const auto until = std::chrono::steady_clock::now() + limit;
    for (;;) {
        readEvents();
        if (condition()) return true;
        if (std::chrono::steady_clock::now() >= until) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
}

std::vector<unsigned long> XDesktop::mappedWindows() {
    ::Display* d = x(display_);
    ::Window root, parent, *children = nullptr;
    unsigned int count = 0;
    std::vector<unsigned long> mapped;
    if (!XQueryTree(d, DefaultRootWindow(d), &root, &parent, &children, &count)) return mapped;
    for (unsigned int i = 0; i < count; ++i) {
        XWindowAttributes a;
        if (XGetWindowAttributes(d, children[i], &a) && a.map_state == IsViewable) mapped.push_back(children[i]);
    }
    if (children) XFree(children);
    return mapped;
}

std::string XDesktop::title(unsigned long window) {
    ::Display* d = x(display_);
    const Atom utf8 = XInternAtom(d, "UTF8_STRING", False);
    const Atom name = XInternAtom(d, "_NET_WM_NAME", False);
    Atom type;
    int format;
    unsigned long items, after;
    unsigned char* data = nullptr;
    std::string text;
    if (XGetWindowProperty(d, window, name, 0, 4096, False, utf8, &type, &format, &items, &after, &data) == Success &&
        data) {
        text.assign(reinterpret_cast<char*>(data), items);
        XFree(data);
        return text;
    }
    char* plain = nullptr;
    if (XFetchName(d, window, &plain) && plain) {
        text = plain;
        XFree(plain);
    }
    return text;
}

unsigned long XDesktop::focus() {
    ::Window window = 0;
    int revert = 0;
    XGetInputFocus(x(display_), &window, &revert);
    return window;
}

XDesktop::Rect XDesktop::geometry(unsigned long window) {
    ::Display* d = x(display_);
    XWindowAttributes a;
    if (!XGetWindowAttributes(d, window, &a)) return {};
    int rx = 0, ry = 0;
    ::Window child;
    XTranslateCoordinates(d, window, DefaultRootWindow(d), 0, 0, &rx, &ry, &child);
    return {rx, ry, a.width, a.height};
}
void XDesktop::close(unsigned long window) {
    ::Display* d = x(display_);
    XEvent event{};
    event.xclient.type = ClientMessage;
    event.xclient.window = window;
    event.xclient.message_type = XInternAtom(d, "WM_PROTOCOLS", False);
    event.xclient.format = 32;
    event.xclient.data.l[0] = static_cast<long>(XInternAtom(d, "WM_DELETE_WINDOW", False));
    event.xclient.data.l[1] = CurrentTime;
    XSendEvent(d, window, False, NoEventMask, &event);
    XFlush(d);
}

unsigned long XDesktop::showCover(const Rect& where, unsigned int colour) {
    ::Display* d = x(display_);
    XSetWindowAttributes a{};
    a.override_redirect = True;
    a.background_pixel = colour;
    const ::Window cover =
        XCreateWindow(d, DefaultRootWindow(d), where.x, where.y, where.width, where.height, 0, CopyFromParent,
                      InputOutput, CopyFromParent, CWOverrideRedirect | CWBackPixel, &a);
    XMapRaised(d, cover);
    XSync(d, False);
    return cover;
}

void XDesktop::hideCover(unsigned long cover) {
    XDestroyWindow(x(display_), cover);
    XSync(x(display_), False);
}

unsigned int XDesktop::pixel(int px, int py) { return pixels({px, py, 1, 1}).front(); }

std::vector<unsigned int> XDesktop::pixels(const Rect& area) {
    ::Display* d = x(display_);
    std::vector<unsigned int> out;
    std::unique_ptr<XImage, ImageDeleter> image(XGetImage(d, DefaultRootWindow(d), area.x, area.y,
                                                          static_cast<unsigned>(area.width),
                                                          static_cast<unsigned>(area.height), AllPlanes, ZPixmap));
    if (!image) return std::vector<unsigned int>(static_cast<std::size_t>(area.width * area.height), 0);
    out.reserve(static_cast<std::size_t>(area.width * area.height));
    for (int row = 0; row < area.height; ++row)
        for (int column = 0; column < area.width; ++column)
            out.push_back(static_cast<unsigned int>(XGetPixel(image.get(), column, row) & 0xFFFFFF));
    return out;
}

bool XDesktop::screenshot(const std::string& path) {
    ::Display* d = x(display_);
    const int screen = DefaultScreen(d);
    const Surface root(
        cairo_xlib_surface_create(d, RootWindow(d, screen), DefaultVisual(d, screen), width(), height()));
    const Surface image(cairo_image_surface_create(CAIRO_FORMAT_RGB24, width(), height()));
    {
        veltrix::UniqueC<cairo_t, cairo_destroy> cr(cairo_create(image.get()));
        cairo_set_source_surface(cr.get(), root.get(), 0, 0);
        cairo_paint(cr.get());
    }
    return cairo_surface_write_to_png(image.get(), path.c_str()) == CAIRO_STATUS_SUCCESS;
}

}  // namespace veltrix::test

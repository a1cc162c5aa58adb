// Shows the demonstration window on the SDL2 display and saves a screenshot of
// the whole X screen, read back from the X server:
//   xvfb-run -s "-screen 0 800x480x24" build/tests/platform_sdl_demonstration shot.png
// Not a test: it needs an X display, which the tests never do.
#include <X11/Xlib.h>
#include <cairo-xlib.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <thread>

#include "DemonstrationWindow.h"
#include "platform/display/Headless.h"
#include "platform/gdi/CairoHandles.h"

namespace {

using veltrix::platform::UniqueCairo;
using veltrix::platform::UniqueCairoSurface;

bool screenshot(const char* path) {
    // Declared first, so that the surfaces on it go before it closes.
    const veltrix::UniqueC<Display, XCloseDisplay> display(XOpenDisplay(nullptr));
    if (!display) return false;
    Display* x = display.get();
    int screen = DefaultScreen(x);
    int width = DisplayWidth(x, screen), height = DisplayHeight(x, screen);
    const UniqueCairoSurface root(
        cairo_xlib_surface_create(x, RootWindow(x, screen), DefaultVisual(x, screen), width, height));
    const UniqueCairoSurface image(cairo_image_surface_create(CAIRO_FORMAT_RGB24, width, height));
    {
        const UniqueCairo cr(cairo_create(image.get()));
        cairo_set_source_surface(cr.get(), root.get(), 0, 0);
        cairo_paint(cr.get());
    }
    return cairo_surface_write_to_png(image.get(), path) == CAIRO_STATUS_SUCCESS;
}

}  // namespace

int main(int argc, char** argv) {
    const char* path = argc > 1 ? argv[1] : "sdl-demonstration.png";
    unsetenv("VELTRIX_DISPLAY");
    HWND children[3];
    HWND frame = veltrix::test::createDemonstrationWindow(children);
    ShowWindow(frame, SW_SHOW);
    if (veltrix::platform::headless::active()) {
        std::fprintf(stderr, "no X display: SDL2 fell back to the headless display\n");
        return 1;
    }
    // Run the loop for a while so the window maps, paints and presents.
    auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(1500);
    SetTimer(frame, 1, 50, nullptr);
    MSG msg;
    while (std::chrono::steady_clock::now() < until && GetMessageW(&msg, nullptr, 0, 0)) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    bool ok = screenshot(path);
    DestroyWindow(frame);
    std::printf("%s %s\n", ok ? "saved" : "failed to save", path);
    return ok ? 0 : 1;
}

// Drives the real program on an X display as a learner would, with real X
// key presses, and saves pictures of the screen along the way:
//   xvfb-run -s "-screen 0 800x600x24" sh -c 'build/veltrix &
//     build/tools/veltrix_x_session "$PWD/build/Samples/AskingTheWay.mp3" shot; kill $!'
// It waits for the program's window, presses Ctrl+O, types the path into the
// open dialog and Return, saves shot-opened.png, presses Ctrl+P, waits two
// seconds and saves shot-playing.png. With VELTRIX_SESSION_CLICK=x,y it then
// clicks there (screen coordinates) and saves shot-clicked.png two seconds
// later. scripts/measure-playback.sh uses it to start playback.
#include <X11/keysym.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>

#include "support/XDesktop.h"

using veltrix::test::XDesktop;
using namespace std::chrono_literals;

namespace {

void pause(std::chrono::milliseconds ms) { std::this_thread::sleep_for(ms); }

bool screenshot(XDesktop& x, const std::string& path) {
    const bool ok = x.screenshot(path);
    std::printf("%s %s\n", ok ? "saved" : "failed to save", path.c_str());
    return ok;
}

// At a person's pace: a program that loses keys typed quickly is measured too.
void typeSlowly(XDesktop& x, const std::string& text) {
    for (char c : text) {
        x.type(std::string(1, c));
        x.flush();
        pause(40ms);
    }
}

// Waits until `count` top-level windows are mapped.
bool mapped(XDesktop& x, std::size_t count) {
    return x.waitFor([&] { return x.mappedWindows().size() == count; }, 20s);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s <audio file> <picture name prefix>\n", argv[0]);
        return 2;
    }
    auto x = XDesktop::open();
    if (!x) {
        std::fprintf(stderr, "no X display with the XTEST extension\n");
        return 1;
    }
    const std::string prefix = argv[2];
    if (!mapped(*x, 1)) {
        std::fprintf(stderr, "the program's window did not appear\n");
        return 1;
    }
    pause(1000ms);  // painted
    screenshot(*x, prefix + "-started.png");
    x->press(XK_o, {XK_Control_L});
    x->flush();
    if (!mapped(*x, 2)) {
        std::fprintf(stderr, "Ctrl+O opened no dialog\n");
        return 1;
    }
    pause(300ms);
    screenshot(*x, prefix + "-dialog.png");
    typeSlowly(*x, argv[1]);
    x->press(XK_Return);
    x->flush();
    mapped(*x, 1);
    pause(500ms);
    screenshot(*x, prefix + "-opened.png");
    x->press(XK_p, {XK_Control_L});
    x->flush();
    pause(2500ms);
    const bool ok = screenshot(*x, prefix + "-playing.png");
    if (const char* at = std::getenv("VELTRIX_SESSION_CLICK")) {
        int cx = 0, cy = 0;
        if (std::sscanf(at, "%d,%d", &cx, &cy) == 2) {
            x->moveTo(cx, cy);
            x->click(1);
            pause(2500ms);
            screenshot(*x, prefix + "-clicked.png");
        }
    }
    return ok ? 0 : 1;
}

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>

#include "platform/display/DesktopHandle.h"
#include "platform/display/Display.h"
#include "platform/display/HeadlessDisplay.h"
#include "platform/display/SdlDisplay.h"

namespace veltrix::platform {

namespace {

bool wantsHeadless() {
    const char* v = std::getenv("VELTRIX_DISPLAY");
    return v && std::strcmp(v, "headless") == 0;
}

std::string named(const char* variable) {
    const char* value = std::getenv(variable);
    if (!value || !*value) return std::string(variable) + " is not set";
    return std::string(variable) + "=" + value;
}

[[noreturn]] void noDisplay(const std::string& whyNot) {
    const std::string sdl = whyNot.empty() ? std::string() : "; SDL2: " + whyNot;
    std::fprintf(stderr,
                 "%s: no display to show the window on (looked for an X or Wayland display: %s, %s%s); "
                 "run it in a desktop session or under xvfb-run, or set VELTRIX_DISPLAY=headless to run without a "
                 "screen\n",
                 program_invocation_short_name, named("DISPLAY").c_str(), named("WAYLAND_DISPLAY").c_str(),
                 sdl.c_str());
    // Nothing has been made that needs saving, and static destructors would
    // ask for this very display again.
    std::fflush(stderr);
    std::_Exit(1);
}

Display* choose() {
    if (wantsHeadless()) return new HeadlessDisplay;
    std::string whyNot;
    if (auto sdl = SdlDisplay::open(whyNot)) return sdl.release();
    noDisplay(whyNot);
}

}  // namespace

Display& display() {
    // Never destroyed: windows may be torn down by static destructors.
    static Display* chosen = choose();
    return *chosen;
}

bool isHeadlessDisplay() { return dynamic_cast<HeadlessDisplay*>(&display()) != nullptr; }

std::string desktopHandleOf(HWND window) {
    auto* sdl = dynamic_cast<SdlDisplay*>(&display());
    return sdl ? sdl->desktopHandle(window) : std::string();
}

}  // namespace veltrix::platform

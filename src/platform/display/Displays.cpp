#include <cstdlib>
#include <cstring>
#include <memory>

#include "platform/display/Display.h"
#include "platform/display/HeadlessDisplay.h"
#include "platform/display/SdlDisplay.h"

namespace veltrix::platform {

namespace {

bool wantsHeadless() {
    const char* v = std::getenv("VELTRIX_DISPLAY");
    return v && std::strcmp(v, "headless") == 0;
}

Display* choose() {
    if (!wantsHeadless()) {
        if (auto sdl = SdlDisplay::open()) return sdl.release();
    }
    return new HeadlessDisplay;
}

}  // namespace

Display& display() {
    // Never destroyed: windows may be torn down by static destructors.
    static Display* chosen = choose();
    return *chosen;
}

bool isHeadlessDisplay() { return dynamic_cast<HeadlessDisplay*>(&display()) != nullptr; }

}  // namespace veltrix::platform

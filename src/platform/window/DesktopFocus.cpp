#include "platform/window/DesktopFocus.h"

#include <mutex>

namespace veltrix::platform {

namespace {

std::mutex mutex;
HWND focused = nullptr;

}  // namespace

void desktopFocusGained(HWND topLevel) {
    std::lock_guard lock(mutex);
    focused = topLevel;
}

void desktopFocusLost(HWND topLevel) {
    std::lock_guard lock(mutex);
    // A loss reported after the next window's gain leaves that gain standing.
    if (focused == topLevel) focused = nullptr;
}

bool programHasDesktopFocus() {
    std::lock_guard lock(mutex);
    return focused != nullptr;
}

}  // namespace veltrix::platform

// How other programs on the desktop name a top-level window: "x11:" and its X
// window id in hexadecimal on the SDL display under X11 (as the XDG portals
// take a parent window), empty on the headless display, under Wayland, or
// when asked from another thread than the display's.
#pragma once

#include <string>

#include "platform/api/Types.h"

namespace veltrix::platform {

std::string desktopHandleOf(HWND topLevel);

}  // namespace veltrix::platform

// Whether the desktop's input focus is in one of the program's windows, as
// the display reports focus gained and lost. Kept apart from the layer's own
// foreground window, which stays for the keyboard's sake when the desktop
// takes the focus away.
//
// Invariant: the window last given the focus is kept until the desktop says
// it lost it; one destroyed meanwhile still counts (the focus is the
// program's until the desktop says where it went).
#pragma once

#include "platform/api/Types.h"

namespace veltrix::platform {

void desktopFocusGained(HWND topLevel);
void desktopFocusLost(HWND topLevel);
bool programHasDesktopFocus();

}  // namespace veltrix::platform

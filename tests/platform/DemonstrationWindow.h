// The demonstration window shared by the headless test and the SDL2 program.
#pragma once

#include "platform/win32.h"

namespace veltrix::test {

// Creates the hidden frame (640x360 client at 40, 40) and its three panels.
HWND createDemonstrationWindow(HWND children[3]);

}  // namespace veltrix::test

// The nested message loop of message boxes and pop-up menus.
#pragma once

#include <functional>

#include "platform/win32.h"

namespace veltrix::platform {

enum class ModalEnd { Done, Quit, TimedOut };

// Dispatches the calling thread's messages (every window's, with
// TranslateMessage) until done() is true. A WM_QUIT ends the loop and is put
// back for the outer loop. On the headless display the loop also ends after
// ten seconds, so that a test that forgot to answer never hangs.
// filter, when set, sees each message first and returns true when it has
// handled it.
ModalEnd runModalLoop(const std::function<bool()>& done, const std::function<bool(MSG&)>& filter = {});

}  // namespace veltrix::platform

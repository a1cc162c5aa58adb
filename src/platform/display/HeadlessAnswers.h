// How a test answers the modal boxes and pop-up menus of the native layer on
// the headless display, and reads what they showed. A responder runs inside
// the box's or menu's own loop, once it is on the screen and painted: it may
// save its picture and inject input, then return an answer, or return
// kLetItRun to let the injected input decide. Without a responder a message
// box answers its default button at once and a menu closes without a choice.
// On the headless display no box or menu waits longer than ten seconds: it
// then ends as if cancelled, so a forgotten answer never hangs a test.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "platform/win32.h"

namespace veltrix::platform::headless {

inline constexpr int kLetItRun = -1;

struct MessageBoxShown {
    HWND box = nullptr;
    HWND owner = nullptr;  // the top-level window disabled while it ran
    std::u16string caption;
    std::u16string text;
    UINT type = 0;
    std::vector<std::u16string> buttons;  // left to right
    int defaultButton = 0;                // index into buttons
    int answer = 0;                       // filled in when the box has ended
};

// Returns the id to answer (IDOK, IDYES ...) or kLetItRun.
using MessageBoxResponder = std::function<int(const MessageBoxShown&)>;
void setMessageBoxResponder(MessageBoxResponder responder);
// Every message box shown since the last call, oldest first; clears the list.
std::vector<MessageBoxShown> takeMessageBoxes();

struct MenuItemShown {
    std::u16string text;  // as given, "&" included; empty for a separator
    UINT id = 0;          // command id; 0 for separators and submenus
    bool separator = false;
    bool checked = false;
    bool enabled = true;
    bool submenu = false;
};

struct MenuShown {
    HWND popup = nullptr;  // the top-level pop-up window showing the items
    POINT at{0, 0};        // its top-left corner on the screen
    std::vector<MenuItemShown> items;
};

// Returns the command id to choose, 0 to close without a choice, or kLetItRun.
using MenuResponder = std::function<int(const MenuShown&)>;
void setMenuResponder(MenuResponder responder);

}  // namespace veltrix::platform::headless

// The menus behind HMENU handles, in one generation-checked table.
// Invariant: a submenu belongs to exactly one item of one menu (AppendMenuW
// refuses a submenu that already has a place, or that would contain its own
// parent), so the menus form trees and ending a tree ends each menu once.
#pragma once

#include <mutex>
#include <string>
#include <vector>

#include "platform/win32.h"

namespace veltrix::platform {

struct MenuItem {
    UINT flags = 0;  // MF_ bits
    UINT id = 0;     // command id (0 for separators and submenus)
    HMENU submenu = nullptr;
    std::u16string text;
};

// A copy of a menu's items, taken when a pop-up opens it.
std::vector<MenuItem> menuItems(HMENU menu);
bool menuExists(HMENU menu);

}  // namespace veltrix::platform

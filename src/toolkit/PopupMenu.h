// A pop-up menu built item by item and shown at the pointer, answering the
// chosen command id instead of sending it.
//
// The owned handle is a one-item menu bar whose single entry "Null" holds the
// item menu as its submenu, so both end with the object.
#pragma once

#include <string>

#include "toolkit/Menu.h"

enum class ItemState { Enabled, Greyed };
enum class MenuAlignment { Top, Bottom };

class PopupMenu : public Menu {
public:
    PopupMenu();

    // A non-empty text appends a text item with the command id; an empty text
    // appends a separator.
    void addMenuItem(const std::u16string& text, UINT id, ItemState state = ItemState::Enabled);
    // Shows the items at the pointer's screen position (the top edge there, or
    // the bottom edge for MenuAlignment::Bottom) and waits for the choice:
    // the chosen id, or 0 when the menu was closed without one. The owner
    // receives no messages from the menu.
    int trackAtPointer(HWND owner, MenuAlignment alignment = MenuAlignment::Top);

    HMENU items() const { return items_; }

private:
    HMENU items_ = nullptr;  // owned through the bar
};

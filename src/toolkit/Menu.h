// One menu handle, owned: the menu (and every submenu it holds) ends with the
// object.
#pragma once

#include "platform/win32.h"

class Menu {
public:
    // Takes ownership of handle (null: no menu).
    explicit Menu(HMENU handle = nullptr) : handle_(handle) {}
    Menu(const Menu&) = delete;
    Menu& operator=(const Menu&) = delete;
    virtual ~Menu();

    HMENU handle() const { return handle_; }

protected:
    HMENU handle_;
};

#include "toolkit/Menu.h"

Menu::~Menu() {
    if (handle_) DestroyMenu(handle_);
}

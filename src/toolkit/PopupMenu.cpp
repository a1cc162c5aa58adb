#include "toolkit/PopupMenu.h"

PopupMenu::PopupMenu() : Menu(CreateMenu()) {
    HMENU items = CreatePopupMenu();
    if (handle_ && items && AppendMenuW(handle_, MF_POPUP, reinterpret_cast<UINT_PTR>(items), u"Null")) {
        items_ = items;
    } else if (items) {
        DestroyMenu(items);
    }
}

void PopupMenu::addMenuItem(const std::u16string& text, UINT id, ItemState state) {
    if (!items_) return;
    if (text.empty()) {
        AppendMenuW(items_, MF_SEPARATOR, 0, nullptr);
        return;
    }
    AppendMenuW(items_, MF_STRING | (state == ItemState::Greyed ? MF_GRAYED : MF_ENABLED), id, text.c_str());
}

int PopupMenu::trackAtPointer(HWND owner, MenuAlignment alignment) {
    if (!items_) return 0;
    POINT at{};
    GetCursorPos(&at);
    UINT flags = TPM_RETURNCMD | TPM_NONOTIFY | TPM_LEFTALIGN | TPM_RIGHTBUTTON;
    flags |= alignment == MenuAlignment::Bottom ? TPM_BOTTOMALIGN : TPM_TOPALIGN;
    return TrackPopupMenu(items_, flags, at.x, at.y, 0, owner, nullptr);
}

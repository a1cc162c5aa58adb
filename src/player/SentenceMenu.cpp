#include "player/SentenceMenu.h"

#include <memory>
#include <type_traits>

std::vector<SentenceMenuItem> sentenceMenuItems(std::size_t selected) {
    const bool one = selected >= 1;
    return {
        {u"Edit...", 4, one},
        {u"Add...", 1, true},
        {u"", 0, false},
        {u"Delete", 2, one},
        {u"", 0, false},
        {u"Marge選択したセンテンスを一つにする", 3, selected >= 2},
        {u"", 0, false},
        {u"Plus 1ms\t+", 10, one},
        {u"Minus 1ms\t-", 11, one},
        {u"", 0, false},
        {u"Play this sentence\tEnter", 9, selected == 1},
    };
}

int showSentenceMenu(HWND owner, std::size_t selectedRows) {
    std::unique_ptr<std::remove_pointer_t<HMENU>, decltype(&DestroyMenu)> menu(CreatePopupMenu(), &DestroyMenu);
    if (!menu) return 0;
    for (const SentenceMenuItem& item : sentenceMenuItems(selectedRows)) {
        if (item.number == 0) {
            AppendMenuW(menu.get(), MF_SEPARATOR, 0, nullptr);
        } else {
            const UINT flags = MF_STRING | (item.enabled ? 0u : MF_GRAYED);
            AppendMenuW(menu.get(), flags, static_cast<UINT_PTR>(item.number), item.text.c_str());
        }
    }
    POINT at{};
    GetCursorPos(&at);
    return static_cast<int>(
        TrackPopupMenu(menu.get(), TPM_RETURNCMD | TPM_LEFTALIGN | TPM_TOPALIGN, at.x, at.y, 0, owner, nullptr));
}

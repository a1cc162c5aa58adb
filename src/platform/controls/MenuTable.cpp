#include "platform/controls/MenuTable.h"

#include <algorithm>
#include <memory>

#include "platform/window/HandleTable.h"

namespace veltrix::platform {

namespace {

struct Menu {
    std::vector<MenuItem> items;
    bool popup = false;
    HMENU parent = nullptr;  // the menu whose MF_POPUP item holds this one
};

struct Menus {
    std::mutex mutex;
    HandleTable<Menu> table{HandleKind::Menu};
    Menu* find(HMENU h) const { return table.find(reinterpret_cast<std::uintptr_t>(h)); }
};

Menus& menus() {
    static Menus* m = new Menus;  // outlives static destructors
    return *m;
}

constexpr DWORD kNoItem = 0xFFFFFFFF;

// The item by position, or by command id in the menu and its submenus (the
// first found in order, searching breadth-first without recursion).
MenuItem* findItem(Menus& m, HMENU menu, UINT item, UINT flags, Menu** owner = nullptr) {
    Menu* root = m.find(menu);
    if (!root) return nullptr;
    if (flags & MF_BYPOSITION) {
        if (item >= root->items.size()) return nullptr;
        if (owner) *owner = root;
        return &root->items[item];
    }
    std::vector<Menu*> pending{root};
    for (std::size_t k = 0; k < pending.size(); ++k) {
        for (MenuItem& i : pending[k]->items) {
            if (!(i.flags & (MF_POPUP | MF_SEPARATOR)) && i.id == item) {
                if (owner) *owner = pending[k];
                return &i;
            }
            if (i.flags & MF_POPUP)
                if (Menu* sub = m.find(i.submenu)) pending.push_back(sub);
        }
    }
    return nullptr;
}

HMENU create(bool popup) {
    Menus& m = menus();
    std::lock_guard lock(m.mutex);
    auto menu = std::make_unique<Menu>();
    menu->popup = popup;
    return reinterpret_cast<HMENU>(m.table.add(std::move(menu)));
}

// Ends a menu and every menu below it (mutex held).
void destroyTree(Menus& m, HMENU menu) {
    std::vector<HMENU> pending{menu};
    while (!pending.empty()) {
        HMENU h = pending.back();
        pending.pop_back();
        std::unique_ptr<Menu> dead = m.table.remove(reinterpret_cast<std::uintptr_t>(h));
        if (!dead) continue;
        for (const MenuItem& i : dead->items)
            if (i.flags & MF_POPUP) pending.push_back(i.submenu);
    }
}

BOOL removeItem(HMENU menu, UINT position, UINT flags, bool endSubmenu) {
    Menus& m = menus();
    std::lock_guard lock(m.mutex);
    Menu* owner = nullptr;
    MenuItem* item = findItem(m, menu, position, flags, &owner);
    if (!item) return FALSE;
    HMENU sub = (item->flags & MF_POPUP) ? item->submenu : nullptr;
    owner->items.erase(owner->items.begin() + (item - owner->items.data()));
    if (sub) {
        if (endSubmenu) {
            destroyTree(m, sub);
        } else if (Menu* s = m.find(sub)) {
            s->parent = nullptr;
        }
    }
    return TRUE;
}

}  // namespace

std::vector<MenuItem> menuItems(HMENU menu) {
    Menus& m = menus();
    std::lock_guard lock(m.mutex);
    Menu* found = m.find(menu);
    return found ? found->items : std::vector<MenuItem>{};
}

bool menuExists(HMENU menu) {
    Menus& m = menus();
    std::lock_guard lock(m.mutex);
    return m.find(menu) != nullptr;
}

}  // namespace veltrix::platform

using namespace veltrix::platform;

HMENU CreateMenu() { return create(false); }

HMENU CreatePopupMenu() { return create(true); }

BOOL IsMenu(HMENU menu) { return menuExists(menu) ? TRUE : FALSE; }

BOOL DestroyMenu(HMENU menu) {
    Menus& m = menus();
    std::lock_guard lock(m.mutex);
    Menu* found = m.find(menu);
    if (!found) return FALSE;
    // A submenu that is destroyed on its own leaves its parent's item.
    if (Menu* parent = m.find(found->parent)) {
        auto& items = parent->items;
        items.erase(std::remove_if(items.begin(), items.end(),
                                   [&](const MenuItem& i) { return (i.flags & MF_POPUP) && i.submenu == menu; }),
                    items.end());
    }
    destroyTree(m, menu);
    return TRUE;
}

BOOL AppendMenuW(HMENU menu, UINT flags, UINT_PTR item, LPCWSTR text) {
    Menus& m = menus();
    std::lock_guard lock(m.mutex);
    Menu* target = m.find(menu);
    if (!target) return FALSE;
    MenuItem entry;
    entry.flags = flags & (MF_GRAYED | MF_DISABLED | MF_CHECKED | MF_POPUP | MF_SEPARATOR);
    if (flags & MF_SEPARATOR) {
        entry.flags = MF_SEPARATOR;
    } else {
        entry.text = text ? text : u"";
    }
    if (entry.flags & MF_POPUP) {
        auto sub = reinterpret_cast<HMENU>(item);
        Menu* child = m.find(sub);
        if (!child || child->parent || sub == menu) return FALSE;
        // Refuse a cycle: the new submenu must not hold the menu it joins.
        for (Menu* up = target; up; up = m.find(up->parent))
            if (up == child) return FALSE;
        child->parent = menu;
        entry.submenu = sub;
    } else if (!(entry.flags & MF_SEPARATOR)) {
        entry.id = static_cast<UINT>(item);
    }
    target->items.push_back(std::move(entry));
    return TRUE;
}

BOOL DeleteMenu(HMENU menu, UINT position, UINT flags) { return removeItem(menu, position, flags, true); }

BOOL RemoveMenu(HMENU menu, UINT position, UINT flags) { return removeItem(menu, position, flags, false); }

DWORD CheckMenuItem(HMENU menu, UINT item, UINT check) {
    Menus& m = menus();
    std::lock_guard lock(m.mutex);
    MenuItem* found = findItem(m, menu, item, check);
    if (!found) return kNoItem;
    DWORD before = found->flags & MF_CHECKED;
    found->flags = (found->flags & ~MF_CHECKED) | (check & MF_CHECKED);
    return before;
}

BOOL EnableMenuItem(HMENU menu, UINT item, UINT enable) {
    Menus& m = menus();
    std::lock_guard lock(m.mutex);
    MenuItem* found = findItem(m, menu, item, enable);
    if (!found) return static_cast<BOOL>(kNoItem);
    BOOL before = static_cast<BOOL>(found->flags & (MF_GRAYED | MF_DISABLED));
    found->flags = (found->flags & ~(MF_GRAYED | MF_DISABLED)) | (enable & (MF_GRAYED | MF_DISABLED));
    return before;
}

int GetMenuItemCount(HMENU menu) {
    Menus& m = menus();
    std::lock_guard lock(m.mutex);
    Menu* found = m.find(menu);
    return found ? static_cast<int>(found->items.size()) : -1;
}

UINT GetMenuItemID(HMENU menu, int position) {
    Menus& m = menus();
    std::lock_guard lock(m.mutex);
    Menu* found = m.find(menu);
    if (!found || position < 0 || position >= static_cast<int>(found->items.size())) return kNoItem;
    const MenuItem& i = found->items[position];
    return (i.flags & MF_POPUP) ? kNoItem : i.id;
}

HMENU GetSubMenu(HMENU menu, int position) {
    Menus& m = menus();
    std::lock_guard lock(m.mutex);
    Menu* found = m.find(menu);
    if (!found || position < 0 || position >= static_cast<int>(found->items.size())) return nullptr;
    const MenuItem& i = found->items[position];
    return (i.flags & MF_POPUP) ? i.submenu : nullptr;
}

UINT GetMenuState(HMENU menu, UINT item, UINT flags) {
    Menus& m = menus();
    std::lock_guard lock(m.mutex);
    MenuItem* found = findItem(m, menu, item, flags);
    return found ? found->flags : kNoItem;
}

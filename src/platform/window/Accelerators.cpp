// Keyboard accelerator tables.
#include <memory>
#include <vector>

#include "platform/window/WindowManager.h"

using namespace veltrix::platform;

namespace {

struct AcceleratorTable {
    std::vector<ACCEL> entries;
};

struct Tables {
    std::mutex mutex;
    HandleTable<AcceleratorTable> tables{HandleKind::Accelerators};
};

Tables& tables() {
    static Tables* t = new Tables;
    return *t;
}

}  // namespace

HACCEL CreateAcceleratorTableW(LPACCEL entries, int count) {
    if (!entries || count <= 0) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    auto table = std::make_unique<AcceleratorTable>();
    table->entries.assign(entries, entries + count);
    std::lock_guard lock(tables().mutex);
    return reinterpret_cast<HACCEL>(tables().tables.add(std::move(table)));
}

BOOL DestroyAcceleratorTable(HACCEL table) {
    std::lock_guard lock(tables().mutex);
    return tables().tables.remove(reinterpret_cast<std::uintptr_t>(table)) ? TRUE : FALSE;
}

int TranslateAcceleratorW(HWND window, HACCEL table, LPMSG msg) {
    if (!msg || !IsWindow(window)) return 0;
    bool key = msg->message == WM_KEYDOWN || msg->message == WM_SYSKEYDOWN;
    bool character = msg->message == WM_CHAR || msg->message == WM_SYSCHAR;
    if (!key && !character) return 0;
    BYTE modifiers = 0;
    if (GetKeyState(VK_SHIFT) < 0) modifiers |= FSHIFT;
    if (GetKeyState(VK_CONTROL) < 0) modifiers |= FCONTROL;
    if (GetKeyState(VK_MENU) < 0) modifiers |= FALT;
    WORD command = 0;
    bool found = false;
    {
        std::lock_guard lock(tables().mutex);
        AcceleratorTable* t = tables().tables.find(reinterpret_cast<std::uintptr_t>(table));
        if (!t) return 0;
        for (const ACCEL& a : t->entries) {
            if (a.fVirt & FVIRTKEY) {
                if (!key || a.key != msg->wParam) continue;
                if ((a.fVirt & (FSHIFT | FCONTROL | FALT)) != modifiers) continue;
            } else {
                if (!character || a.key != msg->wParam) continue;
                if ((a.fVirt & FALT) != (modifiers & FALT)) continue;
            }
            command = a.cmd;
            found = true;
            break;
        }
    }
    if (!found) return 0;
    SendMessageW(window, WM_COMMAND, MAKEWPARAM(command, 1), 0);
    return 1;
}

// Dropped files: the HDROP handles that carry a drop's paths to WM_DROPFILES.
#include <algorithm>
#include <memory>
#include <vector>

#include "platform/window/WindowManager.h"

using namespace veltrix::platform;

namespace {

struct Drop {
    std::vector<std::u16string> files;
    POINT point;
};

struct Drops {
    std::mutex mutex;
    HandleTable<Drop> drops{HandleKind::Drop};
};

Drops& drops() {
    static Drops* d = new Drops;
    return *d;
}

}  // namespace

namespace veltrix::platform {

void deliverDrop(const std::vector<std::u16string>& files, POINT screen) {
    HWND oleTarget = dropTargetWindowAt(screen);
    HWND target = WindowFromPoint(screen);
    // The deepest window that accepts files, or an ancestor that does.
    while (target && !(GetWindowLongW(target, GWL_EXSTYLE) & WS_EX_ACCEPTFILES))
        target = GetAncestor(target, GA_PARENT);
    // A registered drop target below or at the accepting window takes the
    // drop through OLE.
    if (oleTarget && (!target || oleTarget == target || IsChild(target, oleTarget))) {
        auto drop = std::make_unique<Drop>(Drop{files, screen});
        HDROP handle;
        {
            std::lock_guard lock(drops().mutex);
            handle = reinterpret_cast<HDROP>(drops().drops.add(std::move(drop)));
        }
        if (!PostMessageW(oleTarget, kOleFileDropMessage, reinterpret_cast<WPARAM>(handle),
                          MAKELPARAM(screen.x, screen.y)))
            DragFinish(handle);
        return;
    }
    if (!target) return;
    POINT client = screen;
    ScreenToClient(target, &client);
    auto drop = std::make_unique<Drop>(Drop{files, client});
    HDROP handle;
    {
        std::lock_guard lock(drops().mutex);
        handle = reinterpret_cast<HDROP>(drops().drops.add(std::move(drop)));
    }
    if (!PostMessageW(target, WM_DROPFILES, reinterpret_cast<WPARAM>(handle), 0)) DragFinish(handle);
}

}  // namespace veltrix::platform

void DragAcceptFiles(HWND window, BOOL accept) {
    DWORD ex = static_cast<DWORD>(GetWindowLongW(window, GWL_EXSTYLE));
    DWORD wanted = accept ? (ex | WS_EX_ACCEPTFILES) : (ex & ~WS_EX_ACCEPTFILES);
    if (wanted != ex) SetWindowLongW(window, GWL_EXSTYLE, static_cast<LONG>(wanted));
}

UINT DragQueryFileW(HDROP handle, UINT index, LPWSTR buffer, UINT size) {
    std::lock_guard lock(drops().mutex);
    Drop* drop = drops().drops.find(reinterpret_cast<std::uintptr_t>(handle));
    if (!drop) return 0;
    if (index == 0xFFFFFFFF) return static_cast<UINT>(drop->files.size());
    if (index >= drop->files.size()) return 0;
    const std::u16string& file = drop->files[index];
    if (!buffer) return static_cast<UINT>(file.size());
    if (size == 0) return 0;
    UINT n = std::min<UINT>(size - 1, static_cast<UINT>(file.size()));
    std::copy_n(file.data(), n, buffer);
    buffer[n] = 0;
    return n;
}

BOOL DragQueryPoint(HDROP handle, LPPOINT point) {
    std::lock_guard lock(drops().mutex);
    Drop* drop = drops().drops.find(reinterpret_cast<std::uintptr_t>(handle));
    if (!drop || !point) return FALSE;
    *point = drop->point;
    return TRUE;
}

void DragFinish(HDROP handle) {
    std::lock_guard lock(drops().mutex);
    drops().drops.remove(reinterpret_cast<std::uintptr_t>(handle));
}

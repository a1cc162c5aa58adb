// Dropped files and text: the HDROP handles that carry a desktop drop to
// WM_DROPFILES or to a registered drop target.
#include <algorithm>
#include <memory>
#include <vector>

#include "platform/window/WindowManager.h"

using namespace veltrix::platform;

namespace {

struct Drop {
    std::vector<std::u16string> files;
    POINT point;
    std::u16string text;  // a text drop (then files is empty)
};

struct Drops {
    std::mutex mutex;
    HandleTable<Drop> drops{HandleKind::Drop};
};

Drops& drops() {
    static Drops* d = new Drops;
    return *d;
}

HDROP addDrop(Drop drop) {
    std::lock_guard lock(drops().mutex);
    return reinterpret_cast<HDROP>(drops().drops.add(std::make_unique<Drop>(std::move(drop))));
}

// The deepest visible window of the top-level window under the point. The
// window system does not always say where a drop was: a point outside the
// window it named becomes that window's middle.
HWND windowInTopLevelAt(HWND topLevel, POINT& screen) {
    if (!topLevel) return WindowFromPoint(screen);
    RECT r{};
    GetWindowRect(topLevel, &r);
    if (!PtInRect(&r, screen)) screen = {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
    HWND hit = WindowFromPoint(screen);
    if (hit && GetAncestor(hit, GA_ROOT) == topLevel) return hit;
    // Another top-level window lies above it there.
    HWND at = topLevel;
    for (;;) {
        POINT client = screen;
        ScreenToClient(at, &client);
        HWND child = ChildWindowFromPointEx(at, client, CWP_SKIPINVISIBLE);
        if (!child || child == at) return at;
        at = child;
    }
}

// Hands the drop to the registered drop target at or above the window hit,
// through the window's queue; false when there is none.
bool postOleDrop(HWND hit, Drop drop) {
    HWND target = registeredDropTargetOf(hit);
    if (!target) return false;
    const POINT screen = drop.point;
    HDROP handle = addDrop(std::move(drop));
    if (!PostMessageW(target, kOleFileDropMessage, reinterpret_cast<WPARAM>(handle), MAKELPARAM(screen.x, screen.y)))
        DragFinish(handle);
    return true;
}

}  // namespace

namespace veltrix::platform {

void deliverDrop(const std::vector<std::u16string>& files, POINT screen, HWND topLevel) {
    const HWND hit = windowInTopLevelAt(topLevel, screen);  // may move the point into the window
    // The deepest window that accepts files, or an ancestor that does.
    HWND target = hit;
    while (target && !(GetWindowLongW(target, GWL_EXSTYLE) & WS_EX_ACCEPTFILES))
        target = GetAncestor(target, GA_PARENT);
    // A registered drop target below or at the accepting window takes the
    // drop through OLE.
    const HWND oleTarget = registeredDropTargetOf(hit);
    if (oleTarget && (!target || oleTarget == target || IsChild(target, oleTarget))) {
        postOleDrop(hit, Drop{files, screen, {}});
        return;
    }
    if (!target) return;
    POINT client = screen;
    ScreenToClient(target, &client);
    HDROP handle = addDrop(Drop{files, client, {}});
    if (!PostMessageW(target, WM_DROPFILES, reinterpret_cast<WPARAM>(handle), 0)) DragFinish(handle);
}

void deliverTextDrop(const std::u16string& text, POINT screen, HWND topLevel) {
    // Text has no WM_DROPFILES: only a registered drop target can take it.
    const HWND hit = windowInTopLevelAt(topLevel, screen);
    postOleDrop(hit, Drop{{}, screen, text});
}

bool droppedText(HDROP handle, std::u16string& text) {
    std::lock_guard lock(drops().mutex);
    Drop* drop = drops().drops.find(reinterpret_cast<std::uintptr_t>(handle));
    if (!drop || !drop->files.empty()) return false;
    text = drop->text;
    return true;
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

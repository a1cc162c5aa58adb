// Movable memory blocks and the clipboard on the display's text.
#include <cstring>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "platform/display/Display.h"
#include "platform/window/WindowManager.h"

using namespace veltrix::platform;

namespace {

struct Block {
    std::vector<unsigned char> bytes;
    int locks = 0;
};

struct Memory {
    std::mutex mutex;
    HandleTable<Block> blocks{HandleKind::ClipboardBlock};
};

Memory& memory() {
    static Memory* m = new Memory;
    return *m;
}

Block* findBlock(HGLOBAL h) { return memory().blocks.find(reinterpret_cast<std::uintptr_t>(h)); }

struct Clipboard {
    std::mutex mutex;
    bool open = false;
    std::thread::id openedBy;
    HGLOBAL given = nullptr;  // the block handed out by GetClipboardData
};

Clipboard& clipboard() {
    static Clipboard* c = new Clipboard;
    return *c;
}

bool openedHere() { return clipboard().open && clipboard().openedBy == std::this_thread::get_id(); }

HGLOBAL blockWithText(const std::u16string& text) {
    HGLOBAL h = GlobalAlloc(GHND, (text.size() + 1) * sizeof(char16_t));
    if (auto* p = static_cast<char16_t*>(GlobalLock(h))) {
        std::memcpy(p, text.data(), text.size() * sizeof(char16_t));
        GlobalUnlock(h);
    }
    return h;
}

}  // namespace

HGLOBAL GlobalAlloc(UINT, std::size_t bytes) {
    auto block = std::make_unique<Block>();
    try {
        block->bytes.assign(bytes, 0);
    } catch (const std::bad_alloc&) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return nullptr;
    }
    std::lock_guard lock(memory().mutex);
    return reinterpret_cast<HGLOBAL>(memory().blocks.add(std::move(block)));
}

LPVOID GlobalLock(HGLOBAL h) {
    std::lock_guard lock(memory().mutex);
    Block* b = findBlock(h);
    if (!b) return nullptr;
    ++b->locks;
    return b->bytes.empty() ? static_cast<LPVOID>(b) : b->bytes.data();
}

BOOL GlobalUnlock(HGLOBAL h) {
    std::lock_guard lock(memory().mutex);
    Block* b = findBlock(h);
    if (!b || b->locks == 0) return FALSE;
    return --b->locks > 0 ? TRUE : FALSE;
}

std::size_t GlobalSize(HGLOBAL h) {
    std::lock_guard lock(memory().mutex);
    Block* b = findBlock(h);
    return b ? b->bytes.size() : 0;
}

HGLOBAL GlobalFree(HGLOBAL h) {
    std::lock_guard lock(memory().mutex);
    return memory().blocks.remove(reinterpret_cast<std::uintptr_t>(h)) ? nullptr : h;
}

BOOL OpenClipboard(HWND) {
    std::lock_guard lock(clipboard().mutex);
    if (clipboard().open && clipboard().openedBy != std::this_thread::get_id()) {
        SetLastError(ERROR_ACCESS_DENIED);
        return FALSE;
    }
    clipboard().open = true;
    clipboard().openedBy = std::this_thread::get_id();
    return TRUE;
}

BOOL CloseClipboard() {
    std::lock_guard lock(clipboard().mutex);
    if (!openedHere()) return FALSE;
    clipboard().open = false;
    if (clipboard().given) GlobalFree(clipboard().given);
    clipboard().given = nullptr;
    return TRUE;
}

BOOL EmptyClipboard() {
    std::lock_guard lock(clipboard().mutex);
    if (!openedHere()) return FALSE;
    display().setClipboardText(u"");
    return TRUE;
}

HANDLE SetClipboardData(UINT format, HANDLE h) {
    std::lock_guard lock(clipboard().mutex);
    if (!openedHere() || format != CF_UNICODETEXT) return nullptr;
    std::u16string text;
    {
        std::lock_guard memoryLock(memory().mutex);
        Block* b = findBlock(h);
        if (!b) return nullptr;
        const auto* p = reinterpret_cast<const char16_t*>(b->bytes.data());
        std::size_t units = b->bytes.size() / sizeof(char16_t);
        std::size_t n = 0;
        while (n < units && p[n]) ++n;
        text.assign(p, n);
    }
    display().setClipboardText(text);
    GlobalFree(h);  // the clipboard owns the block now
    return h;
}

HANDLE GetClipboardData(UINT format) {
    std::lock_guard lock(clipboard().mutex);
    if (!openedHere() || format != CF_UNICODETEXT) return nullptr;
    std::u16string text = display().clipboardText();
    if (text.empty()) return nullptr;
    if (clipboard().given) GlobalFree(clipboard().given);
    clipboard().given = blockWithText(text);
    return clipboard().given;
}

BOOL IsClipboardFormatAvailable(UINT format) {
    if (format != CF_UNICODETEXT && format != CF_TEXT) return FALSE;
    return display().clipboardText().empty() ? FALSE : TRUE;
}

// The clipboard-viewer chain: only its head is kept here; each viewer keeps
// its own next window, as on Windows.
#include <atomic>

#include "platform/win32.h"

namespace {
std::atomic<HWND> chainHead{nullptr};
}

HWND SetClipboardViewer(HWND viewer) {
    if (!IsWindow(viewer)) return nullptr;
    return chainHead.exchange(viewer);
}

BOOL ChangeClipboardChain(HWND remove, HWND next) {
    HWND head = chainHead.load();
    if (!head) return FALSE;
    if (head == remove) {
        chainHead = next;
        return TRUE;
    }
    return SendMessageW(head, WM_CHANGECBCHAIN, reinterpret_cast<WPARAM>(remove), reinterpret_cast<LPARAM>(next))
               ? TRUE
               : FALSE;
}

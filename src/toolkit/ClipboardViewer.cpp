#include "toolkit/ClipboardViewer.h"

ClipboardViewer::~ClipboardViewer() { ClipboardViewer::destroyWindow(); }

bool ClipboardViewer::create(HWND parent) {
    if (!Component::create(parent)) return false;
    ShowWindow(handle_, SW_HIDE);
    return true;
}

bool ClipboardViewer::onCreate() {
    ShowWindow(handle_, SW_HIDE);
    return false;
}

void ClipboardViewer::onClipboardDraw(UINT message, WPARAM first, LPARAM second) {
    if (suppressed_ || !handle_) return;
    if (nextViewer_) SendMessageW(nextViewer_, message, first, second);
    if (pending_) return;
    // The timer is named after the clipboard's owner when there is one, so
    // that the event is dropped if that owner is gone by then.
    HWND owner = reinterpret_cast<HWND>(first);
    UINT_PTR id = (owner && IsWindow(owner)) ? static_cast<UINT_PTR>(first) : 1;
    SetTimer(handle_, id, kDelayMs, nullptr);
    pending_ = true;
}

void ClipboardViewer::notifyClipboardListener() {
    listener_.forEach([&](ClipboardListener& listener) { listener.clipboardChanged(ClipboardEvent(this)); });
}

void ClipboardViewer::onChainChanged(UINT message, HWND removed, HWND next) {
    if (removed == nextViewer_) {
        nextViewer_ = next;
    } else if (nextViewer_) {
        SendMessageW(nextViewer_, message, reinterpret_cast<WPARAM>(removed), reinterpret_cast<LPARAM>(next));
    }
}

bool ClipboardViewer::onTimer(UINT_PTR id, LPARAM) {
    KillTimer(handle_, id);
    if (id == 1 || IsWindow(reinterpret_cast<HWND>(id))) notifyClipboardListener();
    pending_ = false;
    return true;
}

LRESULT ClipboardViewer::windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_DRAWCLIPBOARD:
            onClipboardDraw(message, wParam, lParam);
            return 0;
        case WM_CHANGECBCHAIN:
            onChainChanged(message, reinterpret_cast<HWND>(wParam), reinterpret_cast<HWND>(lParam));
            return 0;
        case WM_DESTROY:
            ChangeClipboardChain(window, nextViewer_);
            nextViewer_ = nullptr;
            break;
        default:
            break;
    }
    return Component::windowProc(window, message, wParam, lParam);
}

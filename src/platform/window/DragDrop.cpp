// OLE drag and drop inside the process: target registration, desktop file and
// text drops delivered to registered targets, and the modal drag loop.
#include <atomic>
#include <cstring>
#include <map>
#include <mutex>
#include <vector>

#include "platform/api/Ole.h"
#include "platform/window/WindowManager.h"

using namespace veltrix::platform;

bool operator==(const GUID& a, const GUID& b) { return std::memcmp(&a, &b, sizeof(GUID)) == 0; }
const IID IID_IUnknown{0x00000000, 0x0000, 0x0000, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
const IID IID_IDataObject{0x0000010E, 0x0000, 0x0000, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
const IID IID_IDropTarget{0x00000122, 0x0000, 0x0000, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
const IID IID_IDropSource{0x00000121, 0x0000, 0x0000, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};

namespace {

struct Registrations {
    std::mutex mutex;
    std::map<HWND, IDropTarget*> targets;
};

Registrations& registrations() {
    static auto* r = new Registrations;
    return *r;
}

IDropTarget* targetOf(HWND window) {
    if (!window || !IsWindow(window)) return nullptr;
    std::lock_guard lock(registrations().mutex);
    auto it = registrations().targets.find(window);
    return it == registrations().targets.end() ? nullptr : it->second;
}

// The window, or its nearest ancestor, that has a target.
HWND registeredAtOrAbove(HWND window) {
    for (HWND w = window; w; w = GetAncestor(w, GA_PARENT))
        if (targetOf(w)) return w;
    return nullptr;
}

HWND registeredWindowAt(POINT screen) { return registeredAtOrAbove(WindowFromPoint(screen)); }

DWORD currentKeyState() {
    DWORD keys = 0;
    if (GetKeyState(VK_LBUTTON) < 0) keys |= MK_LBUTTON;
    if (GetKeyState(VK_RBUTTON) < 0) keys |= MK_RBUTTON;
    if (GetKeyState(VK_SHIFT) < 0) keys |= MK_SHIFT;
    if (GetKeyState(VK_CONTROL) < 0) keys |= MK_CONTROL;
    return keys;
}

// The data of a desktop drop: the files as CF_HDROP, or the text as
// CF_UNICODETEXT. It lives on the stack of the delivery; Release never deletes.
class DesktopDropData final : public IDataObject {
public:
    explicit DesktopDropData(HDROP drop) : drop_(drop), isText_(droppedText(drop, text_)) {}
    ~DesktopDropData() { DragFinish(drop_); }
    HRESULT QueryInterface(REFIID iid, void** object) override {
        if (!object) return E_INVALIDARG;
        if (iid == IID_IUnknown || iid == IID_IDataObject) {
            *object = this;
            AddRef();
            return S_OK;
        }
        *object = nullptr;
        return E_NOINTERFACE;
    }
    ULONG AddRef() override { return ++refs_; }
    ULONG Release() override { return --refs_; }
    HRESULT QueryGetData(FORMATETC* format) override {
        if (!format || !(format->tymed & TYMED_HGLOBAL)) return DV_E_FORMATETC;
        return format->cfFormat == (isText_ ? CF_UNICODETEXT : CF_HDROP) ? S_OK : DV_E_FORMATETC;
    }
    HRESULT GetData(FORMATETC* format, STGMEDIUM* medium) override {
        if (!medium || QueryGetData(format) != S_OK) return DV_E_FORMATETC;
        medium->tymed = TYMED_HGLOBAL;
        if (isText_) {
            // A block of the receiver's own, freed by ReleaseStgMedium.
            HGLOBAL block = GlobalAlloc(GHND, (text_.size() + 1) * sizeof(char16_t));
            if (!block) return E_OUTOFMEMORY;
            std::memcpy(GlobalLock(block), text_.c_str(), (text_.size() + 1) * sizeof(char16_t));
            GlobalUnlock(block);
            medium->hGlobal = block;
            medium->pUnkForRelease = nullptr;
            return S_OK;
        }
        medium->hGlobal = reinterpret_cast<HGLOBAL>(drop_);
        medium->pUnkForRelease = this;
        AddRef();
        return S_OK;
    }

private:
    HDROP drop_;
    std::u16string text_;
    bool isText_;
    std::atomic<ULONG> refs_{1};
};

}  // namespace

namespace veltrix::platform {

HWND registeredDropTargetOf(HWND window) { return registeredAtOrAbove(window); }

void deliverOleFileDrop(HWND window, HDROP drop, POINT screen) {
    DesktopDropData data(drop);
    IDropTarget* target = targetOf(window);
    if (!target) return;
    target->AddRef();
    const DWORD keys = currentKeyState();
    const POINTL point{screen.x, screen.y};
    const DWORD offered = DROPEFFECT_COPY | DROPEFFECT_MOVE | DROPEFFECT_LINK;
    DWORD effect = offered;
    target->DragEnter(&data, keys, point, &effect);
    if (effect != DROPEFFECT_NONE) {
        effect = offered;
        target->DragOver(keys, point, &effect);
    }
    if (effect != DROPEFFECT_NONE) {
        effect = offered;
        target->Drop(&data, keys, point, &effect);
    } else {
        target->DragLeave();
    }
    target->Release();
}

}  // namespace veltrix::platform

void ReleaseStgMedium(STGMEDIUM* medium) {
    if (!medium) return;
    if (medium->pUnkForRelease) {
        medium->pUnkForRelease->Release();
    } else if (medium->hGlobal) {
        GlobalFree(medium->hGlobal);
    }
    medium->hGlobal = nullptr;
    medium->pUnkForRelease = nullptr;
}

HRESULT RegisterDragDrop(HWND window, IDropTarget* target) {
    if (!target) return E_INVALIDARG;
    if (!IsWindow(window)) return DRAGDROP_E_INVALIDHWND;
    {
        std::lock_guard lock(registrations().mutex);
        auto& targets = registrations().targets;
        auto it = targets.find(window);
        if (it != targets.end()) return DRAGDROP_E_ALREADYREGISTERED;
        targets[window] = target;
    }
    target->AddRef();
    return S_OK;
}

HRESULT RevokeDragDrop(HWND window) {
    IDropTarget* target = nullptr;
    {
        std::lock_guard lock(registrations().mutex);
        auto& targets = registrations().targets;
        auto it = targets.find(window);
        if (it == targets.end()) return DRAGDROP_E_NOTREGISTERED;
        target = it->second;
        targets.erase(it);
    }
    target->Release();
    return S_OK;
}

HRESULT DoDragDrop(IDataObject* data, IDropSource* source, DWORD okEffects, DWORD* effect) {
    if (!data || !source || !effect) return E_INVALIDARG;
    HWND over = nullptr;
    IDropTarget* target = nullptr;
    DWORD current = DROPEFFECT_NONE;
    bool quit = false;
    WPARAM quitCode = 0;
    auto leave = [&] {
        if (target) {
            target->DragLeave();
            target->Release();
        }
        target = nullptr;
        over = nullptr;
    };
    for (;;) {
        const DWORD keys = currentKeyState();
        HRESULT next = quit ? DRAGDROP_S_CANCEL : source->QueryContinueDrag(GetKeyState(VK_ESCAPE) < 0, keys);
        POINT pointer{};
        GetCursorPos(&pointer);
        const POINTL point{pointer.x, pointer.y};
        if (next == DRAGDROP_S_DROP) {
            DWORD result = DROPEFFECT_NONE;
            if (target && current != DROPEFFECT_NONE) {
                // The effect last agreed with the target, which it may change.
                result = current;
                target->Drop(data, keys, point, &result);
                result &= okEffects;
                target->Release();
                target = nullptr;
            } else {
                leave();
            }
            *effect = result;
            if (quit) PostQuitMessage(static_cast<int>(quitCode));
            return DRAGDROP_S_DROP;
        }
        if (next == DRAGDROP_S_CANCEL) {
            leave();
            *effect = DROPEFFECT_NONE;
            if (quit) PostQuitMessage(static_cast<int>(quitCode));
            return DRAGDROP_S_CANCEL;
        }
        HWND now = registeredWindowAt(pointer);
        if (now != over) {
            leave();
            over = now;
            target = targetOf(now);
            current = DROPEFFECT_NONE;
            if (target) {
                target->AddRef();
                current = okEffects;
                target->DragEnter(data, keys, point, &current);
            }
        } else if (target) {
            current = okEffects;
            target->DragOver(keys, point, &current);
        }
        current &= okEffects;
        source->GiveFeedback(current);

        // Wait for the next message; input belongs to the drag.
        MSG msg{};
        if (GetMessageW(&msg, nullptr, 0, 0) <= 0) {
            quit = true;
            quitCode = msg.wParam;
            continue;
        }
        const bool input = (msg.message >= WM_MOUSEFIRST && msg.message <= WM_MOUSELAST) ||
                           (msg.message >= WM_KEYDOWN && msg.message <= WM_SYSCHAR);
        if (!input) DispatchMessageW(&msg);
    }
}

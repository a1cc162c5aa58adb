#include "toolkit/DropTarget.h"

DropTarget::~DropTarget() { revokeDropTarget(); }

HRESULT DropTarget::QueryInterface(REFIID iid, void** object) {
    if (!object) return E_INVALIDARG;
    if (iid == IID_IUnknown || iid == IID_IDropTarget) {
        *object = static_cast<IDropTarget*>(this);
        AddRef();
        return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
}

ULONG DropTarget::AddRef() { return ++refs_; }

ULONG DropTarget::Release() { return --refs_; }

HRESULT DropTarget::DragEnter(IDataObject* data, DWORD, POINTL, DWORD* effect) {
    accepted_ = false;
    for (auto& [format, offered] : formats_) {
        FORMATETC wanted{format, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
        offered = data && data->QueryGetData(&wanted) == S_OK;
        accepted_ = accepted_ || offered;
    }
    if (!accepted_) {
        if (effect) *effect = DROPEFFECT_NONE;
        return S_OK;
    }
    auto files = formats_.find(CF_HDROP);
    if (effect && files != formats_.end() && files->second) *effect = DROPEFFECT_LINK;
    onDragEnter();
    return S_OK;
}

HRESULT DropTarget::DragOver(DWORD keyState, POINTL point, DWORD* effect) {
    if (!effect) return E_INVALIDARG;
    if (!accepted_) {
        *effect = DROPEFFECT_NONE;
        return S_OK;
    }
    *effect = DROPEFFECT_COPY | DROPEFFECT_LINK;
    onDragOver(keyState, point.x, point.y, effect);
    return S_OK;
}

HRESULT DropTarget::DragLeave() {
    if (accepted_) onDragLeave();
    return S_OK;
}

HRESULT DropTarget::Drop(IDataObject* data, DWORD keyState, POINTL point, DWORD* effect) {
    if (!accepted_ || !effect) return S_OK;
    if (keyState & MK_CONTROL) *effect = DROPEFFECT_COPY;
    accepted_ = false;
    auto files = formats_.find(CF_HDROP);
    if (files != formats_.end() && files->second && data) {
        *effect = DROPEFFECT_LINK;
        std::vector<std::u16string> paths;
        FORMATETC wanted{CF_HDROP, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
        STGMEDIUM medium{};
        if (data->GetData(&wanted, &medium) == S_OK) {
            HDROP drop = reinterpret_cast<HDROP>(medium.hGlobal);
            UINT count = DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0);
            for (UINT i = 0; i < count; ++i) {
                // Whole paths: one cut short would name another file.
                UINT length = DragQueryFileW(drop, i, nullptr, 0);
                std::u16string path(length + 1, u'\0');
                path.resize(DragQueryFileW(drop, i, path.data(), length + 1));
                paths.push_back(std::move(path));
            }
            ReleaseStgMedium(&medium);
        }
        if (!paths.empty() && onFilesDropped(paths)) return S_OK;
    }
    onDrop(point.x, point.y, data, effect);
    return S_OK;
}

HRESULT DropTarget::onDrop(int, int, IDataObject*, DWORD*) { return 0; }
void DropTarget::onDragEnter() {}
void DropTarget::onDragLeave() {}
void DropTarget::onDragOver(DWORD, int, int, DWORD*) {}
bool DropTarget::onFilesDropped(const std::vector<std::u16string>&) { return false; }

bool DropTarget::registerDropTarget(HWND window) {
    revokeDropTarget();
    window_ = window;
    return RegisterDragDrop(window, this) == S_OK;
}

void DropTarget::revokeDropTarget() {
    if (window_) RevokeDragDrop(window_);
    window_ = nullptr;
}

void DropTarget::acceptFormat(CLIPFORMAT format) { formats_.emplace(format, false); }

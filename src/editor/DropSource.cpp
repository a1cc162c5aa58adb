#include "editor/DropSource.h"

HRESULT DropSource::QueryInterface(REFIID iid, void** object) {
    if (!object) return E_INVALIDARG;
    if (iid == IID_IUnknown || iid == IID_IDropSource) {
        *object = static_cast<IDropSource*>(this);
        AddRef();
        return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
}

HRESULT DropSource::QueryContinueDrag(BOOL escapePressed, DWORD keyState) {
    const DWORD buttons = keyState & (MK_LBUTTON | MK_RBUTTON);
    if (escapePressed || buttons == (MK_LBUTTON | MK_RBUTTON)) return DRAGDROP_S_CANCEL;
    if (buttons == 0) return DRAGDROP_S_DROP;
    return S_OK;
}

#include "editor/DataObject.h"

#include <algorithm>

#include "text/NarrowText.h"
#include "toolkit/ClipboardText.h"

DataObject::DataObject(std::u16string text) : text_(std::move(text)), narrow_(toNarrow(text_)) {}

HRESULT DataObject::QueryInterface(REFIID iid, void** object) {
    if (!object) return E_INVALIDARG;
    if (iid == IID_IUnknown || iid == IID_IDataObject) {
        *object = static_cast<IDataObject*>(this);
        AddRef();
        return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
}

HRESULT DataObject::QueryGetData(FORMATETC* format) {
    if (!format || !(format->tymed & TYMED_HGLOBAL)) return DV_E_FORMATETC;
    return format->cfFormat == CF_UNICODETEXT || format->cfFormat == CF_TEXT ? S_OK : DV_E_FORMATETC;
}

HRESULT DataObject::GetData(FORMATETC* format, STGMEDIUM* medium) {
    if (!medium || QueryGetData(format) != S_OK) return DV_E_FORMATETC;
    const bool wide = format->cfFormat == CF_UNICODETEXT;
    const std::size_t unit = wide ? sizeof(char16_t) : 1;
    const std::size_t bytes = wide ? text_.size() * sizeof(char16_t) : narrow_.size();
    HGLOBAL block = GlobalAlloc(GHND, bytes + unit);
    if (!block) return E_OUTOFMEMORY;
    auto* target = static_cast<char*>(GlobalLock(block));
    const char* source = wide ? reinterpret_cast<const char*>(text_.data()) : narrow_.data();
    if (target) std::copy_n(source, bytes, target);  // the zero after it comes with the block
    GlobalUnlock(block);
    medium->tymed = TYMED_HGLOBAL;
    medium->hGlobal = block;
    medium->pUnkForRelease = nullptr;
    return S_OK;
}

std::u16string droppedText(IDataObject* data) {
    if (!data) return {};
    for (const CLIPFORMAT format : {static_cast<CLIPFORMAT>(CF_UNICODETEXT), static_cast<CLIPFORMAT>(CF_TEXT)}) {
        FORMATETC wanted{format, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
        STGMEDIUM medium{};
        if (data->GetData(&wanted, &medium) != S_OK) continue;
        std::u16string text =
            format == CF_UNICODETEXT ? unicodeTextOfBlock(medium.hGlobal) : narrowTextOfBlock(medium.hGlobal);
        ReleaseStgMedium(&medium);
        return text;
    }
    return {};
}

// The data of the editor's selection while it is dragged out: the text as
// UTF-16 (CF_UNICODETEXT) and in the narrow code page (CF_TEXT), each handed
// out in a fresh block of global memory the receiver frees; every other
// format is refused.
//
// It lives on the stack of the drag: Release never deletes it.
#pragma once

#include <atomic>
#include <string>

#include "platform/api/Ole.h"
#include "platform/win32.h"

class DataObject final : public IDataObject {
public:
    explicit DataObject(std::u16string text);
    DataObject(const DataObject&) = delete;
    DataObject& operator=(const DataObject&) = delete;
    ~DataObject() = default;

    HRESULT QueryInterface(REFIID iid, void** object) override;
    ULONG AddRef() override { return ++refs_; }
    ULONG Release() override { return --refs_; }
    HRESULT GetData(FORMATETC* format, STGMEDIUM* medium) override;
    HRESULT QueryGetData(FORMATETC* format) override;

private:
    std::u16string text_;
    std::string narrow_;
    std::atomic<ULONG> refs_{1};
};

// The text a drop offers: CF_UNICODETEXT, else CF_TEXT converted from the
// system code page, else the empty text.
std::u16string droppedText(IDataObject* data);

// The source side of dragging the editor's selection out: the drag is
// cancelled by Escape or by both buttons held, dropped once no button is
// down, and the platform draws the cursors.
//
// It lives on the stack of the drag: Release never deletes it.
#pragma once

#include <atomic>

#include "platform/api/Ole.h"
#include "platform/win32.h"

class DropSource final : public IDropSource {
public:
    HRESULT QueryInterface(REFIID iid, void** object) override;
    ULONG AddRef() override { return ++refs_; }
    ULONG Release() override { return --refs_; }
    HRESULT QueryContinueDrag(BOOL escapePressed, DWORD keyState) override;
    HRESULT GiveFeedback(DWORD) override { return DRAGDROP_S_USEDEFAULTCURSORS; }

private:
    std::atomic<ULONG> refs_{1};
};

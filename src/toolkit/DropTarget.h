// The base through which a component accepts data dragged onto it: files from
// the desktop (the file-list format, 15) and text dragged inside the program.
// A component registers its window and the formats it takes; the drag
// callbacks then arrive on the window's thread.
//
// The object lives inside its component: Release never deletes it, and its
// destructor revokes the registration.
#pragma once

#include <atomic>
#include <map>
#include <string>
#include <vector>

#include "platform/api/Ole.h"
#include "platform/win32.h"

class DropTarget : public IDropTarget {
public:
    DropTarget() = default;
    DropTarget(const DropTarget&) = delete;
    DropTarget& operator=(const DropTarget&) = delete;

    HRESULT QueryInterface(REFIID iid, void** object) override;
    ULONG AddRef() override;
    ULONG Release() override;
    HRESULT DragEnter(IDataObject* data, DWORD keyState, POINTL point, DWORD* effect) override;
    HRESULT DragOver(DWORD keyState, POINTL point, DWORD* effect) override;
    HRESULT DragLeave() override;
    HRESULT Drop(IDataObject* data, DWORD keyState, POINTL point, DWORD* effect) override;
    virtual ~DropTarget();
    // x, y are screen coordinates.
    virtual HRESULT onDrop(int x, int y, IDataObject* data, DWORD* effect);
    virtual void onDragEnter();
    virtual void onDragLeave();
    virtual void onDragOver(DWORD keyState, int x, int y, DWORD* effect);
    virtual bool onFilesDropped(const std::vector<std::u16string>& paths);

    // Replaces any previous registration.
    bool registerDropTarget(HWND window);
    void revokeDropTarget();
    void acceptFormat(CLIPFORMAT format);

    HWND dropWindow() const { return window_; }
    bool isDragAccepted() const { return accepted_; }
    ULONG referenceCount() const { return refs_.load(); }

private:
    std::atomic<ULONG> refs_{0};
    HWND window_ = nullptr;
    // Format number -> whether the current drag offers it.
    std::map<CLIPFORMAT, bool> formats_;
    bool accepted_ = false;
};

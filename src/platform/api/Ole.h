// OLE drag and drop: the COM interfaces of a drop target, a drop source and a
// data object (the subset the program uses), registration of drop targets
// for windows, and the modal drag loop.
//
// Files dropped from the desktop reach a window registered with
// RegisterDragDrop (or its nearest registered ancestor) as a data object
// offering CF_HDROP; windows that are not registered get WM_DROPFILES as
// before. All calls to a target happen on the window's thread.
#pragma once

#include "platform/api/Clipboard.h"
#include "platform/api/Messages.h"
#include "platform/api/Startup.h"
#include "platform/api/Types.h"

struct GUID {
    DWORD Data1;
    WORD Data2;
    WORD Data3;
    BYTE Data4[8];
};
using IID = GUID;
using REFIID = const IID&;
bool operator==(const GUID& a, const GUID& b);
extern const IID IID_IUnknown;
extern const IID IID_IDataObject;
extern const IID IID_IDropTarget;
extern const IID IID_IDropSource;

inline constexpr HRESULT E_NOINTERFACE = static_cast<HRESULT>(0x80004002);
inline constexpr HRESULT E_INVALIDARG = static_cast<HRESULT>(0x80070057);
inline constexpr HRESULT E_UNEXPECTED = static_cast<HRESULT>(0x8000FFFF);
inline constexpr HRESULT E_OUTOFMEMORY = static_cast<HRESULT>(0x8007000E);
inline constexpr HRESULT DV_E_FORMATETC = static_cast<HRESULT>(0x80040064);
inline constexpr HRESULT DRAGDROP_E_NOTREGISTERED = static_cast<HRESULT>(0x80040100);
inline constexpr HRESULT DRAGDROP_E_ALREADYREGISTERED = static_cast<HRESULT>(0x80040101);
inline constexpr HRESULT DRAGDROP_E_INVALIDHWND = static_cast<HRESULT>(0x80040102);
inline constexpr HRESULT DRAGDROP_S_DROP = 0x00040100;
inline constexpr HRESULT DRAGDROP_S_CANCEL = 0x00040101;
inline constexpr HRESULT DRAGDROP_S_USEDEFAULTCURSORS = 0x00040102;

struct IUnknown {
    virtual HRESULT QueryInterface(REFIID iid, void** object) = 0;
    virtual ULONG AddRef() = 0;
    virtual ULONG Release() = 0;

protected:
    ~IUnknown() = default;
};

using CLIPFORMAT = WORD;
inline constexpr CLIPFORMAT CF_HDROP = 15;
inline constexpr DWORD DVASPECT_CONTENT = 1;
inline constexpr DWORD TYMED_HGLOBAL = 1;
struct FORMATETC {
    CLIPFORMAT cfFormat;
    void* ptd;
    DWORD dwAspect;
    LONG lindex;
    DWORD tymed;
};
// For CF_HDROP, hGlobal is the HDROP (read it with DragQueryFileW).
struct STGMEDIUM {
    DWORD tymed;
    HGLOBAL hGlobal;
    IUnknown* pUnkForRelease;
};
// Releases pUnkForRelease when set, else frees the block.
void ReleaseStgMedium(STGMEDIUM* medium);

struct IDataObject : IUnknown {
    virtual HRESULT GetData(FORMATETC* format, STGMEDIUM* medium) = 0;
    // S_OK when the format is offered.
    virtual HRESULT QueryGetData(FORMATETC* format) = 0;

protected:
    ~IDataObject() = default;
};

struct POINTL {
    LONG x;
    LONG y;
};
inline constexpr DWORD DROPEFFECT_NONE = 0;
inline constexpr DWORD DROPEFFECT_COPY = 1;
inline constexpr DWORD DROPEFFECT_MOVE = 2;
inline constexpr DWORD DROPEFFECT_LINK = 4;

// Points are screen coordinates; key states are MK_ flags.
struct IDropTarget : IUnknown {
    virtual HRESULT DragEnter(IDataObject* data, DWORD keyState, POINTL point, DWORD* effect) = 0;
    virtual HRESULT DragOver(DWORD keyState, POINTL point, DWORD* effect) = 0;
    virtual HRESULT DragLeave() = 0;
    virtual HRESULT Drop(IDataObject* data, DWORD keyState, POINTL point, DWORD* effect) = 0;

protected:
    ~IDropTarget() = default;
};

struct IDropSource : IUnknown {
    // DRAGDROP_S_DROP, DRAGDROP_S_CANCEL or S_OK to go on.
    virtual HRESULT QueryContinueDrag(BOOL escapePressed, DWORD keyState) = 0;
    virtual HRESULT GiveFeedback(DWORD effect) = 0;

protected:
    ~IDropSource() = default;
};

// The target gets a reference while registered.
HRESULT RegisterDragDrop(HWND window, IDropTarget* target);
HRESULT RevokeDragDrop(HWND window);
// Runs until the source answers drop or cancel, following the pointer over
// registered targets. Input is consumed by the drag; other messages are
// dispatched. A quit message ends the drag as a cancel and is posted again.
HRESULT DoDragDrop(IDataObject* data, IDropSource* source, DWORD okEffects, DWORD* effect);

// Owners for the GDI handles a caller makes or borrows, in Win32 terms only, so
// that the native layer's own controls and the toolkit above it hold them alike:
//
//   UniqueGdiObject<H>  a pen, brush, font or bitmap from Create*: DeleteObject
//   UniqueDC            a memory DC from CreateCompatibleDC: DeleteDC
//   ClientDC, WindowDC  a window's DC from GetDC or GetWindowDC: ReleaseDC
//   PaintDC             BeginPaint ... EndPaint for one WM_PAINT
//   SelectedObject      an object selected into a DC; the DC's previous object
//                       is selected again when the guard ends
//
// Invariants: each owner releases its handle exactly once and only when it holds
// one; a SelectedObject restores the object that was selected before its first
// selection, however many objects it selected since. Declare the object before
// the guard that selects it, so that the guard (destroyed first) deselects it
// before it is deleted: GDI refuses to delete an object that is still selected.
#pragma once

#include <utility>

#include "platform/api/Gdi.h"
#include "platform/api/Window.h"

template <class Handle>
class UniqueGdiObject {
public:
    UniqueGdiObject() = default;
    explicit UniqueGdiObject(Handle handle) noexcept : handle_(handle) {}
    UniqueGdiObject(UniqueGdiObject&& other) noexcept : handle_(other.release()) {}
    UniqueGdiObject& operator=(UniqueGdiObject&& other) noexcept {
        reset(other.release());
        return *this;
    }
    UniqueGdiObject(const UniqueGdiObject&) = delete;
    UniqueGdiObject& operator=(const UniqueGdiObject&) = delete;
    ~UniqueGdiObject() { reset(); }

    Handle get() const noexcept { return handle_; }
    explicit operator bool() const noexcept { return handle_ != nullptr; }
    // Hands the handle on; this owner no longer deletes it.
    Handle release() noexcept { return std::exchange(handle_, nullptr); }
    void reset(Handle handle = nullptr) noexcept {
        if (Handle old = std::exchange(handle_, handle)) DeleteObject(old);
    }

private:
    Handle handle_ = nullptr;
};

using UniquePen = UniqueGdiObject<HPEN>;
using UniqueBrush = UniqueGdiObject<HBRUSH>;
using UniqueFont = UniqueGdiObject<HFONT>;
using UniqueBitmap = UniqueGdiObject<HBITMAP>;

class UniqueDC {
public:
    UniqueDC() = default;
    explicit UniqueDC(HDC dc) noexcept : dc_(dc) {}
    UniqueDC(UniqueDC&& other) noexcept : dc_(other.release()) {}
    UniqueDC& operator=(UniqueDC&& other) noexcept {
        reset(other.release());
        return *this;
    }
    UniqueDC(const UniqueDC&) = delete;
    UniqueDC& operator=(const UniqueDC&) = delete;
    ~UniqueDC() { reset(); }

    HDC get() const noexcept { return dc_; }
    explicit operator bool() const noexcept { return dc_ != nullptr; }
    HDC release() noexcept { return std::exchange(dc_, nullptr); }
    void reset(HDC dc = nullptr) noexcept {
        if (HDC old = std::exchange(dc_, dc)) DeleteDC(old);
    }

private:
    HDC dc_ = nullptr;
};

// A DC borrowed from a window for the life of the object and given back with
// ReleaseDC.
class ReleasedDC {
public:
    ~ReleasedDC() {
        if (dc_) ReleaseDC(window_, dc_);
    }
    ReleasedDC(const ReleasedDC&) = delete;
    ReleasedDC& operator=(const ReleasedDC&) = delete;

    HDC get() const noexcept { return dc_; }
    explicit operator bool() const noexcept { return dc_ != nullptr; }

protected:
    ReleasedDC(HWND window, HDC dc) : window_(window), dc_(dc) {}

private:
    HWND window_;
    HDC dc_;
};

// GetDC: the client area (null window: the screen DC).
class ClientDC : public ReleasedDC {
public:
    explicit ClientDC(HWND window) : ReleasedDC(window, GetDC(window)) {}
};

// GetWindowDC: the whole window, frame included.
class WindowDC : public ReleasedDC {
public:
    explicit WindowDC(HWND window) : ReleasedDC(window, GetWindowDC(window)) {}
};

// One WM_PAINT's BeginPaint and EndPaint.
class PaintDC {
public:
    explicit PaintDC(HWND window) : window_(window), dc_(BeginPaint(window, &paint_)) {}
    ~PaintDC() { EndPaint(window_, &paint_); }
    PaintDC(const PaintDC&) = delete;
    PaintDC& operator=(const PaintDC&) = delete;

    HDC get() const noexcept { return dc_; }
    const PAINTSTRUCT& paint() const noexcept { return paint_; }
    const RECT& area() const noexcept { return paint_.rcPaint; }

private:
    HWND window_;
    PAINTSTRUCT paint_{};
    HDC dc_;
};

class SelectedObject {
public:
    SelectedObject() = default;
    SelectedObject(HDC dc, HGDIOBJ object) { select(dc, object); }
    SelectedObject(const SelectedObject&) = delete;
    SelectedObject& operator=(const SelectedObject&) = delete;
    ~SelectedObject() { restore(); }

    // Selects object into dc. The first selection remembers the DC's object
    // of that kind; later ones (into the same DC) keep that memory.
    void select(HDC dc, HGDIOBJ object) {
        if (!dc || !object) return;
        HGDIOBJ previous = SelectObject(dc, object);
        if (!dc_ && previous) {
            dc_ = dc;
            previous_ = previous;
        }
    }
    // Selects the remembered object again now; the guard is then empty.
    void restore() {
        if (dc_) SelectObject(dc_, previous_);
        dc_ = nullptr;
        previous_ = nullptr;
    }
    // Whether the selection took (SelectObject answers null for a stale DC or object).
    explicit operator bool() const noexcept { return dc_ != nullptr; }

private:
    HDC dc_ = nullptr;
    HGDIOBJ previous_ = nullptr;
};

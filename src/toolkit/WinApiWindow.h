// One native window handle with the colours and the font the toolkit paints
// with, and the window operations every toolkit object shares.
//
// Invariant: handle() is null whenever no window exists for the object; every
// operation on an object without a window does nothing and answers 0, false or
// the empty text.
#pragma once

#include <string>

#include "platform/win32.h"

class WinApiWindow {
public:
    WinApiWindow();
    WinApiWindow(const WinApiWindow&) = delete;
    WinApiWindow& operator=(const WinApiWindow&) = delete;

    virtual void setId(int id);
    virtual void requestFocus();
    virtual void setExtendedStyle(DWORD bits);
    virtual void setEnabled(bool on);
    virtual void setBackground(COLORREF colour);
    virtual void setForeground(COLORREF colour);
    virtual void setLocation(int x, int y);
    // The child with that control id, or the own handle for id 0.
    virtual HWND getHandle(int itemId = 0) const;
    virtual DWORD getStyle() const;
    virtual DWORD getExtendedStyle() const;
    // At most 2048 characters.
    virtual std::u16string getText() const;
    virtual bool hasFocus() const;
    virtual bool isVisible() const;
    virtual bool isEnabled() const;
    virtual void update();
    // rect null: the whole client area.
    virtual void repaint(const RECT* rect = nullptr, bool erase = false);

    virtual ~WinApiWindow() = default;

    HWND handle() const { return handle_; }
    COLORREF background() const { return background_; }
    COLORREF foreground() const { return foreground_; }
    const LOGFONTW& font() const { return font_; }

    static constexpr int kMaxText = 2048;

protected:
    HWND handle_ = nullptr;
    COLORREF background_;
    COLORREF foreground_ = 0xFFFFFF;
    LOGFONTW font_{};
};

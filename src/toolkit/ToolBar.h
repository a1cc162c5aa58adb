// A tool bar: the system "ToolbarWindow32" control, wrapped, with the image
// list of its glyphs.
//
// The owner adds buttons with the bar's own messages (TB_ADDBUTTONSW,
// TB_CHECKBUTTON ...) on handle(). Clicks reach the window that was the bar's
// parent at creation as WM_COMMAND with the button's id; a drop-down arrow
// reports WM_NOTIFY TBN_DROPDOWN (-710) there; tips are asked of it with
// TTN_GETDISPINFOW.
//
// Ownership: the object owns the glyph list and destroys it with the bar; the
// list outlives a destroyed window and is given to the next one created.
#pragma once

#include <string>

#include "toolkit/BaseWindow.h"

class ToolBar : public BaseWindow {
public:
    ToolBar() = default;
    ~ToolBar() override;

    // A flat bar with drop-down arrows and tips, child of parent at (0, 0)
    // with no size (the bar does not size itself: see fitToButtons).
    bool create(HWND parent) override;
    // The glyph size of the bar, not its window size.
    void setSize(int width, int height) override;
    // Tab moves the focus to the next tab stop (Shift+Tab to the previous one).
    LRESULT windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) override;

    // Cuts the bitmap at path into square glyphs as high as the bitmap (a
    // 15-pixel strip gives 16 x 15 cells, each glyph kept whole) with the
    // transparent colour masked out, and gives them to the bar. The bitmap
    // comes from the process-wide cache when it holds path, else from the file
    // path, else from the program's folder joined with path; a file read is
    // cached. False, with the old glyphs kept, when no bitmap can be had.
    bool loadGlyphs(const std::u16string& path, COLORREF transparent);

    // Sizes the window to the room its buttons take.
    void fitToButtons();

    HIMAGELIST glyphs() const { return glyphs_; }
    int glyphCount() const;

private:
    void releaseGlyphs();

    HIMAGELIST glyphs_ = nullptr;
};

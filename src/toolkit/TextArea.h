// A multi-line text field: the system "EDIT" control with the default GUI
// font, subclassed with the toolkit procedure so that it takes part in the
// toolkit's message routing, and the input options of RestrictionName.
//
// Keys: read-only swallows key downs and characters (and cut and paste); in
// a multi-line area Tab inserts a tab and Return inserts CR LF, each as an
// undoable replacement of the selection; in a one-line field a Tab character
// moves the focus (Shift: backward). Paste inserts the clipboard text cleaned
// by the active options, as an undoable replacement.
#pragma once

#include <string>

#include "toolkit/BaseWindow.h"
#include "toolkit/RestrictionName.h"

class TextArea : public BaseWindow, public RestrictionName {
public:
    TextArea();

    // The control with the class's own styles.
    bool createAt(HWND parent, int x, int y, int width, int height) override;
    bool create(HWND parent) override;
    // The control with the creator's styles (child and visible are added).
    bool createStyled(HWND parent, DWORD style, int x, int y, int width, int height);
    void setText(const std::u16string& text) override;
    LRESULT windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) override;

    // Replaces the style bits of the control.
    virtual void setStyle(DWORD style);
    // Selects the whole text.
    void selectAll();
    void replaceSelection(const std::u16string& text);
    bool isMultiLine() const;
    int controlId() const { return handle_ ? GetDlgCtrlID(handle_) : 0; }

    static constexpr DWORD kAreaStyle = 0x508100C4;
    static constexpr LRESULT kAreaDialogCode = 4;
    static constexpr LRESULT kFieldDialogCode = 0x83;

protected:
    virtual DWORD defaultStyle() const { return kAreaStyle; }
};

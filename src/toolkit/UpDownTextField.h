// A number field (window class "UpDownTextField"): a caption (the window
// text, painted at the left), an inner one-line digits-only TextField, and up
// and down arrows in the rightmost 16 pixels.
//
// Every change of the field's text is checked at once: the text becomes the
// value text, a value outside [minimum, maximum] is corrected by rewriting
// the field, then event -18 is fired and WM_COMMAND (the field's first
// parameter unchanged, this control as lParam) is posted to the parent. One
// change fires -18 once, correction included.
//
// Dragging on the arrows posts WM_VSCROLL to the parent with the value in the
// high word and the control id in the low word.
//
// Invariant once a value is set: minimum <= value <= maximum.
#pragma once

#include <string>

#include "toolkit/Component.h"
#include "toolkit/TextField.h"

class UpDownTextField : public Component {
public:
    static constexpr int kCaretRoom = 2;
    // The inner field: keys go to the owning control first.
    class InnerTextField : public TextField {
    public:
        explicit InnerTextField(UpDownTextField& owner) : owner_(owner) {}
        LRESULT windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) override;

    private:
        UpDownTextField& owner_;
    };

    UpDownTextField();
    // The control goes first; its field's window dies with it.
    ~UpDownTextField() override;

    // The control at the rectangle with its caption and the field inside.
    bool createField(HWND parent, int controlId, const std::u16string& caption, int x, int y, int width, int height);
    bool create(HWND parent) override;

    // The number in the last typed text, or else in the field; the minimum
    // when neither holds one.
    int getValue() const;
    // Writes min(max(v, minimum), maximum) into the field; selects the
    // field's text when the control has the focus.
    void setValue(int value);
    void setRange(int minimum, int maximum);
    int minimum() const { return minimum_; }
    int maximum() const { return maximum_; }
    // Sizes the control to caption + field + 23 and lays it out again.
    void pack();
    InnerTextField& field() { return field_; }
    bool isArrowDragging() const { return arrowDragging_; }

    void paint(Graphics& g) override;
    bool onKeyDown(WPARAM key, LPARAM flags) override;
    bool onMousePressed(int x, int y) override;
    bool onMouseMoved(int x, int y) override;
    bool onMouseReleased() override;
    bool onMouseWheel(int x, int y, int keyState, int notches) override;
    bool handleMouse(UINT message, int x, int y, WPARAM wParam) override;
    bool onFocusGained(HWND previous) override;
    void onCommand(WPARAM wParam, LPARAM lParam) override;
    LRESULT onSize(WPARAM type, LPARAM size) override;
    LRESULT windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) override;

    // The width pack gives: the caption whole beside the widest number.
    int packedWidth() const { return captionWidth() + fieldWidth() + 23; }

    static constexpr int kFieldHeight = 13;
    static constexpr int kArrowWidth = 16;

private:
    void layout();
    int fieldWidth() const;
    int captionWidth() const;
    int fieldNumber() const;
    void onFieldChanged(WPARAM wParam);
    RECT fieldRect() const;

    InnerTextField field_;
    int minimum_ = 0;
    int maximum_ = 100;
    std::u16string valueText_;
    bool correcting_ = false;
    bool arrowDragging_ = false;
    int dragY_ = 0;
};

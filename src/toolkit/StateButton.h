// A component with a cyclic state (buttons, check boxes, radio buttons).
//
// A click advances the state: state = (state + 1) mod stateCount, repaint,
// the parent gets WM_COMMAND (control id in the low word, the button as
// lParam), the single ActionListener (if set) gets actionPerformed, and a
// ChangeEvent (source, 0) goes to the "ChangeListener" listeners.
//
// Mouse: a press arms the button (pressed by mouse); a release with the
// pointer inside clicks. Keys: Return clicks at once, Space arms the button
// (pressed by key) and its release clicks; while either flag is set, Return
// and Space do nothing, so one gesture never clicks twice.
//
// Invariants: 0 <= state < stateCount; stateCount >= 1. The action listener
// is not owned and must outlive the button.
#pragma once

#include <string>

#include "toolkit/Component.h"

enum class ClickSource { Mouse, Keyboard };

class StateButton : public Component {
public:
    StateButton();

    // Clears the pressed flag of the source, then advances the state.
    virtual void click(ClickSource source);
    // A window of the button's class (child, visible, tab stop) with the
    // default GUI font and the text.
    virtual bool createButton(HWND parent, int controlId, const std::u16string& text, int x, int y, int width,
                              int height);
    virtual bool createWithText(HWND parent, const std::u16string& text, int x, int y, int width, int height);

    bool onMousePressed(int x, int y) override;
    bool onMouseMoved(int x, int y) override;
    bool onMouseReleased() override;
    bool onKeyDown(WPARAM key, LPARAM flags) override;
    bool onKeyUp(WPARAM key, LPARAM flags) override;
    bool handleMouse(UINT message, int x, int y, WPARAM wParam) override;
    LRESULT windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) override;

    int getState() const { return state_; }
    // Clamped into the state range; repaints, sends nothing.
    void setState(int state);
    int getStateCount() const { return stateCount_; }
    // At least 1; the state is brought back into range.
    void setStateCount(int count);
    void setActionListener(ActionListener* listener) { actionListener_.set(listener); }

    bool isPressedByMouse() const { return pressedByMouse_; }
    bool isPressedByKey() const { return pressedByKey_; }

    // The dialog code buttons answer: Tab and all keys.
    static constexpr LRESULT kDialogCode = 6;

protected:
    // Whether a point in client coordinates is on the button; the pressed
    // shade and the release test use it.
    virtual bool containsPoint(int x, int y) const;
    // The window class the button registers when it has none yet.
    virtual std::u16string buttonClassName() const { return u"ButtonPane"; }
    // Creation shared by every button kind: the given class and styles.
    bool createWindow(HWND parent, int controlId, const std::u16string& text, DWORD style, int x, int y, int width,
                      int height);
    void advanceState();
    bool pointerInside() const { return pointerInside_; }

    int state_ = 0;
    int stateCount_ = 2;
    TypedListenerList<ActionListener> actionListener_;  // at most one
    bool pressedByMouse_ = false;
    bool pressedByKey_ = false;

private:
    bool pointerInside_ = false;
    POINT lastPointer_{0, 0};
};

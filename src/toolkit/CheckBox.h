// A check box (window class "CheckBox"): two states, 0 unchecked and 1
// checked, painted as a small rounded box with a tick, the text beside it.
#pragma once

#include "toolkit/StateButton.h"

class CheckBox : public StateButton {
public:
    CheckBox();

    bool createButton(HWND parent, int controlId, const std::u16string& text, int x, int y, int width,
                      int height) override;
    void paint(Graphics& g) override;

    bool isChecked() const { return state_ == 1; }
    void setChecked(bool on) { setState(on ? 1 : 0); }

protected:
    std::u16string buttonClassName() const override { return u"CheckBox"; }
    // The indicator (box or circle) at (x, y), size by size.
    virtual void paintIndicator(Graphics& g, int x, int y, int size);
    // The text, and the focus ring around it when focused.
    void paintCaption(Graphics& g, int x);

    static constexpr int kIndicatorSize = 14;
};

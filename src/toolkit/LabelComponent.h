// Static text: the background, then the text at (2, 2) in the label's font
// and text colour on a transparent background (line feeds start new lines).
// A label never takes the focus: it is created without the tab-stop style.
#pragma once

#include "toolkit/Component.h"

class LabelComponent : public Component {
public:
    LabelComponent();

    bool create(HWND parent) override;
    void paint(Graphics& g) override;
    LRESULT windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) override;

    // create, then the text and the bounds.
    bool createLabel(HWND parent, const std::u16string& text, int x, int y, int width, int height);
};

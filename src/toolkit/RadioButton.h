// A radio button (window class "RadioButton", styles 0x50010009): a check
// box whose checking unchecks its radio-style siblings. It answers
// BM_GETCHECK and BM_SETCHECK like the system's radio buttons.
//
// The uncheck walk visits the siblings backward, then forward, and sends
// BM_SETCHECK(0) to every sibling with style bit 0x1 or 0x8 (the automatic
// and plain radio styles). WS_GROUP marks the first button of a group, as in
// a dialog: the backward walk ends after such a sibling (unchecking it), the
// forward walk stops before one, so two groups can share one parent.
// Without WS_GROUP anywhere, every radio-style sibling is unchecked.
#pragma once

#include "toolkit/CheckBox.h"

class RadioButton : public CheckBox {
public:
    RadioButton();

    // A click on a checked button leaves it checked (it is unchecked and
    // advanced back to 1); a button that ends checked unchecks its group.
    void click(ClickSource source) override;
    bool createButton(HWND parent, int controlId, const std::u16string& text, int x, int y, int width,
                      int height) override;
    LRESULT windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) override;

    static constexpr DWORD kStyle = 0x50010009;

protected:
    std::u16string buttonClassName() const override { return u"RadioButton"; }
    void paintIndicator(Graphics& g, int x, int y, int size) override;

private:
    void uncheckSiblings();
};

// A button that carries a small close button (control id 11, 20 x 20) at its
// right or left end; a tabbed pane's owner puts it beside the tabs.
//
// The close button is created with the caption's window and kept at its end on
// every resize. Clicking it does not click the caption: the caption records
// whether its own state was 1 at that moment and sends its parent WM_COMMAND
// with id 11 (the caption's handle as lParam), so the owner tells the close
// gesture from a click on the caption itself, which reports the caption's own
// control id as every button does.
#pragma once

#include "toolkit/Button.h"

enum class CloseButtonEnd { Left, Right };

class Caption : public Button {
public:
    // Painted as a small flat glyph button. With a face image loaded, the
    // face is a 16 x 16 cell of it: the column is the button's state, the row
    // 0 normally and 1 under the pointer or pressed (when the image has it).
    class CloseButton : public Button {
    public:
        void paint(Graphics& g) override;

        static constexpr int kCell = 16;
    };

    static constexpr int kCloseButtonId = 11;
    static constexpr int kCloseButtonSize = 20;

    explicit Caption(CloseButtonEnd end = CloseButtonEnd::Right);

    bool onCreate() override;
    LRESULT onSize(WPARAM type, LPARAM size) override;
    void onCommand(WPARAM wParam, LPARAM lParam) override;

    void setCloseButtonEnd(CloseButtonEnd end);
    CloseButtonEnd closeButtonEnd() const { return end_; }
    CloseButton& closeButton() { return closeButton_; }
    // Whether the caption's state was 1 when its close button was last used.
    bool wasOnAtLastClose() const { return onAtLastClose_; }

private:
    void placeCloseButton();

    CloseButton closeButton_;
    CloseButtonEnd end_;
    bool onAtLastClose_ = false;
};

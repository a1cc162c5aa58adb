// The strip that holds tool bars (and other controls such as sliders) and
// lines the bars up, passing their commands on to its own parent.
//
// Ownership: the bars are not owned; the holder only remembers them in order.
// A bar must outlive its place in the list (destroyWindow empties the list).
#pragma once

#include <vector>

#include "toolkit/BaseWindow.h"
#include "toolkit/ToolBar.h"

enum class Orientation { Horizontal, Vertical };

class ToolWindow : public BaseWindow {
public:
    ToolWindow();

    // A null bar is ignored; a bar without a window is refused with a message
    // box ("addToolBar() HWND of the Window is null!"). Otherwise the bar is
    // appended, its window moved into this one at the same offset it had in
    // its old parent, and the bars are laid out again.
    void addToolBar(ToolBar* bar);
    // Horizontal: the first bar keeps its place and each later one follows at
    // the sum of the widths so far, keeping its own y. Vertical: the bars are
    // stacked from the first bar's y, each later one at x = 0.
    void layoutToolBars();

    void setOrientation(Orientation orientation) { orientation_ = orientation; }
    Orientation orientation() const { return orientation_; }
    const std::vector<ToolBar*>& toolBars() const { return bars_; }

    void destroyWindow() override;
    // Commands are posted, unchanged, to the parent.
    void onCommand(WPARAM wParam, LPARAM lParam) override;
    // Notifications from the bars (drop-down arrows, tip requests) go on to
    // the parent as well, whichever window created the bar.
    LRESULT onNotify(WPARAM wParam, LPARAM lParam) override;
    LRESULT onSize(WPARAM type, LPARAM size) override;
    // Horizontal scrolling (sliders placed here) is posted to the parent.
    LRESULT windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    std::vector<ToolBar*> bars_;
    Orientation orientation_ = Orientation::Horizontal;
};

// A framed group with a title (window class "GroupBox", styles 0x52010007).
// Its children's commands and scroll reports go on to its own parent
// unchanged, so placing controls in a group box does not cut them off from
// the dialog that handles them.
//
// The group's tab stop leads into it: focus arriving from outside goes on to
// the first tab stop inside (the last with Shift held); focus coming back
// from a child that ran out of siblings goes on past the group.
#pragma once

#include "toolkit/Component.h"

// A container whose children report past it to its parent.
class GroupComponent {
public:
    virtual ~GroupComponent() = default;
    // Re-parents an existing child window into the group at (x, y) of the
    // group's client area.
    virtual void add(BaseWindow& child, int x, int y) = 0;
};

class GroupBox : public GroupComponent, public Component {
public:
    GroupBox();

    bool createGroup(HWND parent, const std::u16string& title, int x, int y, int width, int height);
    bool create(HWND parent) override;
    void add(BaseWindow& child, int x, int y) override;
    void onCommand(WPARAM wParam, LPARAM lParam) override;
    bool onFocusGained(HWND previous) override;
    void paint(Graphics& g) override;
    LRESULT windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) override;

    static constexpr DWORD kStyle = 0x52010007;
};

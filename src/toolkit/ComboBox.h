// A drop-down combo box: the system "COMBOBOX" (styles 0x50210042, its
// height enlarged by 120 pixels for the list) subclassed so that it paints
// itself as a component, with its edit field wrapped by ComboTextField.
// As a drop-down list (ComboKind::List, style 0x50210043) it has no field and
// paints the selected item's text itself; its list height is the caller's.
//
// Return in the field (while the list is closed) fires event -4. Hover is
// tracked by a 10 ms timer started on the first mouse move and stopped when
// the pointer has left and the list is closed. The list opens at least as
// wide as the widest item's text + 20 pixels; the system keeps it on screen.
#pragma once

#include <string>

#include "toolkit/Component.h"
#include "toolkit/TextField.h"

enum class ComboKind { DropDown, List };

class ComboBox : public Component {
public:
    class ComboTextField : public TextField {
    public:
        explicit ComboTextField(ComboBox& owner) : owner_(owner) {}
        LRESULT windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) override;

    private:
        ComboBox& owner_;
    };

    ComboBox();
    // The box goes first; its field's window dies with it.
    ~ComboBox() override;

    bool createBox(HWND parent, int controlId, int x, int y, int width, int height,
                   ComboKind kind = ComboKind::DropDown, int listHeight = kListHeight);
    bool create(HWND parent) override;
    void destroyWindow() override;
    // height is the box's; the list's height is added as at creation,
    // so a later layout does not shrink the list to nothing.
    void setBounds(int x, int y, int width, int height) override;

    int getSelectedIndex() const;
    void setSelectedIndex(int index);
    int addItem(const std::u16string& text);
    int itemCount() const;
    std::u16string itemText(int index) const;
    bool isDropped() const;
    bool isHoverTracking() const { return hoverTimer_; }
    ComboTextField& field() { return field_; }

    void paint(Graphics& g) override;
    bool onMouseMoved(int x, int y) override;
    bool onTimer(UINT_PTR id, LPARAM lParam) override;
    LRESULT windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) override;

    static constexpr DWORD kStyle = 0x50210042;
    static constexpr int kListHeight = 120;
    static constexpr UINT_PTR kHoverTimer = 1;

private:
    void measure(const std::u16string& text);

    ComboTextField field_;
    ComboKind kind_ = ComboKind::DropDown;
    int listHeight_ = kListHeight;
    int widest_ = 0;
    bool hoverTimer_ = false;
};

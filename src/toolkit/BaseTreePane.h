// A toolkit component around the system tree control: items added as roots
// or under a parent, deleted one by one or all at once, and the state of an
// item drag inside the tree (which item, its picture), which the owner of the
// pane runs (see XmlTreePane).
//
// Invariants: dragging() is true exactly while a dragged item is held;
// canDropOn refuses the dragged item and everything below it, so a drop can
// never move an item into its own branch. The pane owns the drag picture.
#pragma once

#include <memory>
#include <string>

#include "toolkit/Component.h"

class BaseTreePane : public Component {
public:
    // Styles of the control: child, visible, border, vertical scroll bar;
    // selection always shown, hot tracking, single expand, full-row selection.
    static constexpr DWORD kTreeStyle = 0x50A01620;

    BaseTreePane();
    ~BaseTreePane() override;

    // The tree control with a client edge at (20, 0), 200 x 600, subclassed.
    bool create(HWND parent) override;
    void destroyWindow() override;
    void setBackground(COLORREF colour) override;
    void setForeground(COLORREF colour) override;
    // Mouse movement is reported (event -19) before the control sees it; the
    // control paints itself.
    LRESULT windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) override;

    virtual void deleteItem(HTREEITEM item);
    // Deletes the first root until none is left.
    virtual void deleteAllItems();
    // A root item, last.
    virtual HTREEITEM addRoot(const std::u16string& text);
    // text under parent after insertAfter (an item or TVI_FIRST / TVI_LAST), state 0.
    virtual HTREEITEM insertItem(const std::u16string& text, HTREEITEM parent, HTREEITEM insertAfter);
    // False for no item, the dragged item and any item below it.
    virtual bool canDropOn(HTREEITEM item) const;

    // Reading and changing items ---------------------------------------------------------
    HTREEITEM firstRoot() const;
    HTREEITEM parentOf(HTREEITEM item) const;
    HTREEITEM firstChildOf(HTREEITEM item) const;
    HTREEITEM nextSiblingOf(HTREEITEM item) const;
    HTREEITEM previousSiblingOf(HTREEITEM item) const;
    HTREEITEM selectedItem() const;
    HTREEITEM dropTarget() const;
    std::u16string textOf(HTREEITEM item) const;
    int imageOf(HTREEITEM item) const;
    UINT stateOf(HTREEITEM item) const;
    void setImage(HTREEITEM item, int image);
    // Bits of mask set to those of state (expansion, bold, selection...).
    void setState(HTREEITEM item, UINT state, UINT mask);
    void expand(HTREEITEM item, UINT how = TVE_EXPAND);
    void select(HTREEITEM item);
    void setDropTarget(HTREEITEM item);
    // The item at a point of the tree's client area, or null.
    HTREEITEM itemAt(POINT client) const;
    // Whether the item's label rectangle is known (its ancestors are open); in client coordinates.
    bool labelRect(HTREEITEM item, RECT& rect) const;
    int itemCount() const;

    // The item drag ----------------------------------------------------------------------------
    // Makes the item's picture and starts showing it at point (tree client
    // coordinates); remembers the item.
    void beginDrag(HTREEITEM item, POINT point);
    // Moves the picture to point (tree client coordinates).
    void moveDragImage(POINT point);
    // Drops the picture and forgets the item (the drop highlight goes too).
    void endDrag();
    bool dragging() const { return dragging_; }
    HTREEITEM draggedItem() const { return dragItem_; }

private:
    struct ImageListOwner {
        void operator()(HIMAGELIST list) const { ImageList_Destroy(list); }
    };

    bool dragging_ = false;
    HTREEITEM dragItem_ = nullptr;
    std::unique_ptr<std::remove_pointer_t<HIMAGELIST>, ImageListOwner> dragImage_;
};

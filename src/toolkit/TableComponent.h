// The toolkit's multi-column list: a window of class "Table" that draws its
// rows itself and answers the list-view messages (Table), with the input,
// focus and painting of a Component and the scroll position of a Scrollbar.
//
// Reports to the parent window as WM_NOTIFY with the table's control id:
// NM_CLICK, NM_DBLCLK, NM_RETURN and NM_RCLICK as NMITEMACTIVATE records (the
// row under the pointer, or the first selected row for NM_RETURN);
// LVN_ITEMCHANGED, LVN_DELETEITEM, LVN_DELETEALLITEMS, LVN_COLUMNCLICK and
// LVN_BEGINDRAG as NMLISTVIEW; LVN_KEYDOWN as NMLVKEYDOWN. Every change of the
// first selected row also reaches the model's listeners as a TableModelEvent
// (code -101, column 0, first = last = the row, type 3).
//
// Mouse modes: None, RubberBand (a press beside a row's text), Dragging (a
// press on the text of a selected row; the rows move to where the button is
// released), Sizing (a press on a header border) and ScrollBar (a press on a
// scroll bar's thumb). A press on a scroll bar or on the header is not a
// click on the table: it sends no NM_CLICK. A press on a selected row's text
// that is let go before the pointer moved a few pixels is a plain click: the
// clicked row alone stays selected, as a click anywhere else selects it (so
// that a Delete after it removes that row, not the whole selection).
#pragma once

#include "toolkit/Component.h"
#include "toolkit/DefaultTableModel.h"
#include "toolkit/Scrollbar.h"
#include "toolkit/Table.h"

class TableComponent : public Table, public Component, public Scrollbar {
public:
    // ScrollBar: a scroll bar's thumb is being dragged.
    enum class MouseMode { None = 0, RubberBand = 1, Dragging = 2, Sizing = 3, ScrollBar = 4 };
    static constexpr UINT_PTR kAutoScrollTimer = 0x7AB1;
    static constexpr UINT kAutoScrollInterval = 50;
    // Scroll lines per wheel step (the system's usual setting).
    static constexpr int kWheelScrollLines = 3;
    static constexpr LRESULT kDialogCode = 5;  // arrow keys and all keys
    static constexpr int kBandThreshold = 4;

    TableComponent();
    ~TableComponent() override;

    // Component ---------------------------------------------------------------------------
    // A child window of class "Table" (styles as every component); size it
    // with setBounds.
    bool create(HWND parent) override;
    void destroyWindow() override;
    // The component's colours are the rows' colours (as LVM_SETBKCOLOR and
    // LVM_SETTEXTCOLOR).
    void setBackground(COLORREF colour) override;
    void setForeground(COLORREF colour) override;
    // The rows' font: the row height follows it.
    void setFontHeight(int height) override;
    LRESULT windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) override;
    LRESULT onSize(WPARAM type, LPARAM size) override;
    bool onTimer(UINT_PTR id, LPARAM lParam) override;
    void paint(Graphics& g) override;
    bool onKeyDown(WPARAM key, LPARAM flags) override;
    bool onMousePressed(int x, int y) override;
    bool onMouseReleased() override;
    bool onRightMousePressed(int x, int y) override;
    bool onMouseDoubleClicked(int x, int y) override;
    bool onMouseMoved(int x, int y) override;
    bool onMouseWheel(int x, int y, int keyState, int notches) override;
    // Item notifications carry the row under the pointer.
    void notifyParent(int code) override;

    // Table -----------------------------------------------------------------------------------
    // The system list view is not part of the native layer: this creates the
    // table's own window with the list view's extended style 0x861 instead.
    bool createListView(HWND parent) override;

    DefaultTableModel& getModel() { return model_; }
    MouseMode mouseMode() const { return mouseMode_; }
    int columnUnderMouse() const { return columnUnderMouse_; }

protected:
    Scrollbar& scrolling() override { return *this; }
    const Scrollbar& scrolling() const override { return *this; }
    int viewWidth() const override;
    int viewHeight() const override;
    bool isShown() const override;
    HWND tableWindow() const override { return handle(); }
    void invalidateTable() override;
    LRESULT sendNotify(NMHDR& record) override;
    void selectionChanged(int row) override;

private:
    int rowAt(int y) const;
    // A press on a scroll bar: pages, or starts dragging its thumb. True when
    // the press was on a bar.
    bool pressScrollBar(int x, int y);
    void extendBand(POINT client);
    void followDrag(POINT client);
    void drop();
    void startAutoScroll();
    void stopAutoScroll();
    void setCursorFor(int x, int y);
    // The band's anchor in content coordinates (pixels from the first
    // row's top and the first column's left), so that it moves with scrolling.
    POINT toContent(POINT client) const;
    POINT toClient(POINT content) const;

    DefaultTableModel model_;
    MouseMode mouseMode_ = MouseMode::None;
    int columnUnderMouse_ = -1;
    int autoScrollDistance_ = 0;
    bool autoScrollRunning_ = false;
    POINT lastMouse_{0, 0};
    POINT bandAnchor_{0, 0};
    std::vector<int> bandBase_;
    // A band changes the selection only once the pointer has moved a few
    // pixels, so that a Ctrl+click that deselects a row is not undone by a
    // tremor of the hand.
    bool bandLive_ = false;
    // Likewise the rows follow a drag only once it has gone a few pixels: a
    // press and release in place is a click.
    bool dragLive_ = false;
    POINT dragStart_{0, 0};
    int sizingStartX_ = 0;
    int sizingStartWidth_ = 0;
    int pressRow_ = -1;
    bool scrollingVertically_ = true;
    int thumbGrab_ = 0;
};

// The table's rows, columns, selection, geometry and list-view messages, and
// how it paints: everything of the table component that needs no window. The
// component (TableComponent) supplies the window through the hooks at the end
// and turns mouse and keyboard input into the operations here.
//
// Rows: the row count is the cell count of column 0; every column holds the
// same number of cells (checked by the column operations). A table without
// columns has no rows. Indexes outside the table make readers answer empty
// text, 0 or false and writers do nothing.
//
// Geometry (client coordinates): the header takes the top headerHeight()
// pixels; row r's top is headerHeight() + (r - topRow) * rowHeight(); column
// c starts at its x minus the horizontal scroll position.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "platform/api/GdiHandles.h"
#include "platform/api/ListView.h"
#include "platform/win32.h"
#include "toolkit/Scrollbar.h"
#include "toolkit/TableColumn.h"

class Graphics;

enum class SelectionUnit { Rows, Cells };
enum class Focus { Without, With };

class Table {
public:
    static constexpr COLORREF kGridColour = 0xE6DCDC;
    static constexpr COLORREF kUnfocusedSelectedBackground = 0xFFD0C0;
    static constexpr COLORREF kUnfocusedSelectedFrame = 0xFFCCBB;
    static constexpr COLORREF kBandOuter = 0x9B6440;
    static constexpr COLORREF kBandInner = 0xFFC880;
    static constexpr COLORREF kBandFill = 0xFFC89E;
    static constexpr int kBandAlpha = 64;
    static constexpr int kCellPadding = 4;
    // The check box of a row: 2 to 13 pixels from the client area's left edge
    // and from the row's top.
    static constexpr int kCheckBoxFirst = 2;
    static constexpr int kCheckBoxLast = 13;

    Table();
    Table(const Table&) = delete;
    Table& operator=(const Table&) = delete;
    virtual ~Table();

    // Table operations, in their slot order.
    virtual bool createListView(HWND parent) = 0;
    // row -1: the last row.
    virtual bool isChecked(int row) const;
    virtual int getColumnCount() const;
    // Stores the list-view extended style; LVS_EX_CHECKBOXES makes column 0
    // a check-box column.
    virtual void setListExtendedStyle(DWORD flags);
    // Scrolls so that row lies inside the visible rows; false when the table
    // is not shown, has no columns or row is outside it.
    virtual bool ensureVisible(int row);
    // Empties every column, resets the scroll position; LVN_ITEMCHANGED when
    // the selection changed, then LVN_DELETEALLITEMS.
    virtual void removeAllRows();
    // LVN_DELETEITEM after the row is gone from every column.
    virtual void removeRow(int row);
    virtual DWORD getListExtendedStyle() const;
    virtual int getRowCount() const;
    // As setValueAt, except that column 0 with row -1 appends a row.
    virtual void setCellText(int row, int column, const std::u16string& text);
    virtual std::u16string getValueAt(int row, int column) const;
    // Inserts at row (appends when row is outside 0..count) with text in
    // column 0 and empty texts elsewhere; returns the row, -1 without columns.
    virtual int insertRow(const std::u16string& text, int row);
    // row -1: the last row; columns beyond the last are ignored.
    virtual void setValueAt(const std::u16string& text, int row, int column);
    virtual void setItemValue(int row, LPARAM value);
    // Without Ctrl: the row alone becomes selected; with Ctrl its selection
    // toggles and the others stay. When the first selected row differs
    // afterwards: selectionChanged and LVN_ITEMCHANGED.
    virtual void selectRow(int row);
    // Every row selected; nothing in cell-selection mode.
    virtual void selectAll();
    // Removes rows first..last and re-inserts them, in order, so that they
    // start at target (an index in the table as it was before the move).
    virtual void moveRows(int first, int last, int target);

    // Rows first..last (either order) become selected, the focus on last;
    // with Keep::Others the rows selected before stay selected. Notifies as
    // selectRow when the first selected row changes.
    enum class Keep { Nothing, Others };
    void selectRange(int first, int last, Keep keep);
    // Moves the given rows (ascending, inside the table), keeping their order,
    // so that they stand before the row that was at target. When anything
    // moved, the parent hears kRowsMoved (an NMLISTVIEW whose iItem is the
    // first moved row's new index and iSubItem the number of rows), after
    // any selection change: whoever keeps something in row order (the
    // player's lyrics and timings) must follow.
    void moveRowSet(const std::vector<int>& rows, int target);
    // A list view has no such notification: the code is the toolkit's own.
    static constexpr UINT kRowsMoved = static_cast<UINT>(-1100);
    // The row a Shift extension starts from: the last row selected alone.
    int anchorRow() const { return anchorRow_; }

    // Ascending rows whose state has LVIS_SELECTED (in any column).
    std::vector<int> getSelectedRows() const;
    // The list-view LVM_GETNEXTITEM rule: -1 when none.
    int nextItem(int start, UINT flags) const;
    LPARAM getItemValue(int row) const;
    void setChecked(int row, bool checked);

    // Columns ------------------------------------------------------------------------------
    // Inserts at index (clamped) and lays the columns out again; returns the index.
    int insertColumn(int index, const std::u16string& title, int width, int format = LVCFMT_LEFT);
    int getColumnWidth(int column) const;
    void setColumnWidth(int column, int width);
    // The width the column's title and texts ask for.
    int preferredColumnWidth(int column);
    // Widens the column (never narrows it) so that its title and text, in
    // the table's font with the cell padding, fit whole.
    void widenColumnFor(int column, const std::u16string& text);
    const TableColumn* column(int index) const;

    // Selection mode, colours -----------------------------------------------------------
    void setSelectionUnit(SelectionUnit unit) { selectionUnit_ = unit; }
    SelectionUnit selectionUnit() const { return selectionUnit_; }
    // Selects one cell alone (cell-selection mode).
    void selectCell(int row, int column);
    int currentColumn() const { return currentColumn_; }
    void setBackgroundColour(COLORREF colour);
    COLORREF backgroundColour() const { return rowBackground_; }
    // Each red, green and blue byte raised by 24; 232 and above become 255.
    static COLORREF alternateOf(COLORREF background);
    COLORREF alternateBackground() const { return alternateOf(rowBackground_); }
    void setTextColour(COLORREF colour);
    COLORREF textColour() const { return rowText_; }
    // The selection colours of every column for a focused or unfocused table.
    void applySelectionColours(Focus focus);
    // The selected rows' background and text while the table has no focus
    // (by default kUnfocusedSelectedBackground with the table's text colour).
    void setUnfocusedSelectionColours(COLORREF background, COLORREF text);

    // The font of titles and cells; the row height follows it.
    void setTableFont(const LOGFONTW& font);
    const LOGFONTW& tableFont() const { return tableFont_; }

    // Geometry ------------------------------------------------------------------------------
    int headerHeight() const;
    int rowHeight() const { return rowHeight_; }
    // Rows that fit below the header (at least 1).
    int countPerPage() const;
    int contentWidth() const;
    // The cell rectangle; an empty rectangle for a column of width 0.
    RECT cellRect(int row, int column) const;
    RECT rowRect(int row) const;
    // Fills row, column and flags as LVM_SUBITEMHITTEST; returns the row.
    int hitTest(LVHITTESTINFO& info) const;
    // The column whose right border is within a few pixels of x, or -1.
    int columnBorderAt(int x) const;
    int columnAt(int x) const;
    bool onCheckBox(int x, int y, int row) const;
    // Whether x lies on the text of the cell (measured with the table's font).
    bool onCellText(int x, int row, int column);

    // Scrolling, through the Scrollbar mixin; each repaints when it moved.
    void scrollToTopRow(int row);
    void scrollHorizontally(int pixels);
    void updateScrollExtents();

    // Answers a list-view message; handled is false for messages it does not
    // know. States written through LVM_SETITEMW, LVM_SETITEMSTATE and
    // LVM_INSERTITEMW are stored without notifications: the caller knows.
    // Item -1 in LVM_SETITEMSTATE means every row, as in a list view.
    LRESULT listViewMessage(UINT message, WPARAM wParam, LPARAM lParam, bool& handled);

    // Paints header, cells, grid lines and the rubber band into g.
    void paintTable(Graphics& g, Focus focus);

    // The rubber band of a running selection drag, in client coordinates.
    struct Band {
        bool active = false;
        POINT from{0, 0};
        POINT to{0, 0};
    };
    Band band;
    // While rows are dragged: the row the drop would put them before (-1: none).
    int dropRow = -1;

protected:
    // Window hooks ----------------------------------------------------------------------
    virtual Scrollbar& scrolling() = 0;
    virtual const Scrollbar& scrolling() const = 0;
    virtual int viewWidth() const = 0;
    virtual int viewHeight() const = 0;
    virtual bool isShown() const = 0;
    // The window that answers for the table (LVM_GETHEADER).
    virtual HWND tableWindow() const = 0;
    virtual void invalidateTable() = 0;
    // Sends record (whose first member is an NMHDR with code set) to the
    // parent as WM_NOTIFY after filling in the sender.
    virtual LRESULT sendNotify(NMHDR& record) = 0;
    // The first selected row changed to row (-1: none).
    virtual void selectionChanged(int row) = 0;
    virtual bool controlHeld() const;

    void notifyCode(UINT code, int item = -1, int subItem = 0);
    void notifyItemChanged(int row);
    // Reports a new first selected row (selectionChanged, LVN_ITEMCHANGED)
    // when it differs from the one before the change, and repaints.
    void finishSelectionChange(int firstSelectedBefore);
    void layoutColumns();
    int textWidth(const std::u16string& text);

    std::vector<TableColumn> columns_;
    DWORD listExtendedStyle_ = LVS_EX_FULLROWSELECT;
    COLORREF rowBackground_;
    COLORREF rowText_;
    COLORREF textBackground_;
    HIMAGELIST imageList_ = nullptr;
    SelectionUnit selectionUnit_ = SelectionUnit::Rows;
    int currentColumn_ = 0;
    int anchorRow_ = -1;
    int rowHeight_ = 18;
    LOGFONTW tableFont_{};
    Focus paintedFocus_ = Focus::Without;
    COLORREF unfocusedSelectedBackground_ = kUnfocusedSelectedBackground;
    COLORREF unfocusedSelectedFrame_ = kUnfocusedSelectedFrame;
    // Unset: the table's text colour.
    std::optional<COLORREF> unfocusedSelectedText_;

private:
    bool writeState(int row, int column, UINT state, UINT mask);
    LRESULT getItem(LVITEMW* item) const;
    LRESULT setItem(const LVITEMW* item);
    LRESULT getColumn(int index, LVCOLUMNW* column) const;
    LRESULT setColumn(int index, const LVCOLUMNW* column);
    LRESULT findItem(int start, const LVFINDINFOW* find) const;
    static int copyText(const std::u16string& text, LPWSTR buffer, int size);
    void selectMeasureFont();

    // Measures cell texts in the table's font; the guard, declared last, puts
    // the DC's own font back before the font and the DC go.
    UniqueDC measureDc_;
    UniqueFont measureFont_;
    SelectedObject measureSelection_;
};

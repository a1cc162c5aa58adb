// The table without a window: row storage, states, the row and selection
// operations with the notifications they send, the list-view messages and the
// geometry behind hit tests and item rectangles.
#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "toolkit/BlockedSequence.h"
#include "toolkit/RowStateMap.h"
#include "toolkit/Table.h"

namespace {

// A table whose window is a fixed-size rectangle and whose notifications are
// recorded in order.
class RecordingTable : public Table {
public:
    struct Note {
        UINT code;
        int item;
    };

    bool createListView(HWND) override { return false; }

    std::vector<Note> notes;
    std::vector<int> selectionEvents;
    bool control = false;
    bool shown = true;
    int width = 400;
    int height = 20 + 10 * rowHeight();  // header and ten rows

protected:
    Scrollbar& scrolling() override { return scroll_; }
    const Scrollbar& scrolling() const override { return scroll_; }
    int viewWidth() const override { return width; }
    int viewHeight() const override { return height; }
    bool isShown() const override { return shown; }
    HWND tableWindow() const override { return nullptr; }
    void invalidateTable() override {}
    LRESULT sendNotify(NMHDR& record) override {
        notes.push_back({record.code, reinterpret_cast<NMLISTVIEW&>(record).iItem});
        return 0;
    }
    void selectionChanged(int row) override { selectionEvents.push_back(row); }
    bool controlHeld() const override { return control; }

private:
    Scrollbar scroll_;
};

LRESULT send(Table& t, UINT message, WPARAM w = 0, LPARAM l = 0) {
    bool handled = false;
    LRESULT result = t.listViewMessage(message, w, l, handled);
    EXPECT_TRUE(handled) << std::hex << message;
    return result;
}

void addColumns(Table& t, int count, int width = 50) {
    for (int i = 0; i < count; ++i) {
        std::u16string title = u"C";
        title += static_cast<char16_t>(u'0' + i);
        LVCOLUMNW column{};
        column.mask = LVCF_TEXT | LVCF_WIDTH;
        column.pszText = title.data();
        column.cx = width;
        EXPECT_EQ(send(t, LVM_INSERTCOLUMNW, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&column)), i);
    }
}

void addRows(Table& t, int count) {
    for (int i = 0; i < count; ++i) t.insertRow(u"r" + std::u16string(1, static_cast<char16_t>(u'0' + i % 10)), i);
}

std::u16string itemText(Table& t, int row, int column) {
    WCHAR buffer[64] = {};
    LVITEMW item{};
    item.iSubItem = column;
    item.pszText = buffer;
    item.cchTextMax = 64;
    send(t, LVM_GETITEMTEXTW, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
    return buffer;
}

}  // namespace

// Storage -------------------------------------------------------------------------------------

TEST(BlockedSequence, FollowsAVectorThroughRandomInsertsAndErases) {
    BlockedSequence<int> sequence;
    std::vector<int> reference;
    std::mt19937 random(7);
    for (int step = 0; step < 20000; ++step) {
        const bool insert = reference.empty() || random() % 3 != 0;
        if (insert) {
            const std::size_t at = random() % (reference.size() + 1);
            sequence.insert(at, step);
            reference.insert(reference.begin() + static_cast<std::ptrdiff_t>(at), step);
        } else {
            const std::size_t at = random() % reference.size();
            sequence.erase(at);
            reference.erase(reference.begin() + static_cast<std::ptrdiff_t>(at));
        }
    }
    ASSERT_EQ(sequence.size(), reference.size());
    for (std::size_t i = 0; i < reference.size(); ++i) ASSERT_EQ(sequence[i], reference[i]) << i;
    std::vector<int> walked;
    sequence.forRange(3, 1000, [&](int v) { walked.push_back(v); });
    EXPECT_EQ(walked, std::vector<int>(reference.begin() + 3, reference.begin() + 1000));
    // Emptying removes every block.
    while (!sequence.empty()) sequence.erase(sequence.size() / 2);
    EXPECT_EQ(sequence.blockCount(), 0u);
}

TEST(BlockedSequence, AppendingFillsWholeBlocks) {
    BlockedSequence<int> sequence;
    for (int i = 0; i < 100000; ++i) sequence.push_back(i);
    EXPECT_EQ(sequence.blockCount(),
              (100000 + BlockedSequence<int>::kBlockLimit - 1) / BlockedSequence<int>::kBlockLimit);
    EXPECT_EQ(sequence[99999], 99999);
    EXPECT_EQ(sequence[512], 512);
}

TEST(RowStateMap, ShiftsWithInsertedAndRemovedRows) {
    RowStateMap states;
    states.set(2, LVIS_SELECTED, ~0u);
    states.set(5, LVIS_SELECTED | LVIS_FOCUSED, ~0u);
    states.set(6, LVIS_CUT, ~0u);
    states.rowInserted(5);
    EXPECT_EQ(states.get(2), LVIS_SELECTED);
    EXPECT_EQ(states.get(5), 0u);
    EXPECT_EQ(states.get(6), LVIS_SELECTED | LVIS_FOCUSED);
    EXPECT_EQ(states.get(7), LVIS_CUT);
    states.rowRemoved(2);
    EXPECT_EQ(states.rowsWith(0), (std::vector<int>{5, 6}));
    EXPECT_EQ(states.nextWith(-1, LVIS_SELECTED), 5);
    EXPECT_EQ(states.nextWith(5, LVIS_SELECTED), -1);
    EXPECT_EQ(states.nextWith(-1, LVIS_CUT), 6);
    // Clearing bits drops rows left with nothing.
    states.clearBits(LVIS_SELECTED | LVIS_FOCUSED);
    EXPECT_EQ(states.rowsWith(0), (std::vector<int>{6}));
    states.set(6, 0, LVIS_CUT);
    EXPECT_TRUE(states.empty());
}

// Rows and cells ------------------------------------------------------------------------------

TEST(Table, WithoutColumnsHoldsNoRows) {
    RecordingTable t;
    EXPECT_EQ(t.getRowCount(), 0);
    EXPECT_EQ(t.insertRow(u"x", 0), -1);
    EXPECT_EQ(send(t, LVM_GETITEMCOUNT), 0);
    EXPECT_EQ(t.headerHeight(), 20);
    EXPECT_FALSE(t.ensureVisible(0));
    EXPECT_EQ(send(t, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED), -1);
}

TEST(Table, CellsFollowInsertsRemovesAndTheLastRowRule) {
    RecordingTable t;
    addColumns(t, 3);
    EXPECT_EQ(t.insertRow(u"a", 0), 0);
    EXPECT_EQ(t.insertRow(u"c", 7), 1);  // past the end: appended
    EXPECT_EQ(t.insertRow(u"b", 1), 1);
    EXPECT_EQ(t.getRowCount(), 3);
    EXPECT_EQ(t.getValueAt(1, 0), u"b");
    EXPECT_EQ(t.getValueAt(1, 1), u"");
    t.setValueAt(u"last third", -1, 2);
    EXPECT_EQ(t.getValueAt(2, 2), u"last third");
    EXPECT_EQ(t.getValueAt(-1, 0), u"c");
    // Column 0 with row -1 through the set-text path appends.
    t.setCellText(-1, 0, u"d");
    EXPECT_EQ(t.getRowCount(), 4);
    EXPECT_EQ(t.getValueAt(3, 0), u"d");
    // Out of range: nothing written, empty answers.
    t.setValueAt(u"x", 9, 0);
    t.setValueAt(u"x", 0, 3);
    t.setCellText(-1, 1, u"y");
    EXPECT_EQ(t.getValueAt(3, 1), u"y");
    EXPECT_EQ(t.getValueAt(9, 0), u"");
    EXPECT_EQ(t.getValueAt(0, -2), u"");
    t.removeRow(1);
    EXPECT_EQ(t.getValueAt(1, 0), u"c");
    EXPECT_EQ(t.getValueAt(1, 2), u"last third");
    ASSERT_EQ(t.notes.size(), 1u);
    EXPECT_EQ(t.notes[0].code, LVN_DELETEITEM);
    EXPECT_EQ(t.notes[0].item, 1);
    t.removeRow(5);
    EXPECT_EQ(t.notes.size(), 1u);
}

TEST(Table, MoveRowsCarriesTextsValuesAndSelection) {
    RecordingTable t;
    addColumns(t, 2);
    for (int i = 0; i < 6; ++i) {
        t.insertRow(std::u16string(1, static_cast<char16_t>(u'a' + i)), i);
        t.setItemValue(i, 100 + i);
    }
    t.selectRow(1);
    t.moveRows(1, 2, 5);  // b, c go before f
    std::u16string order;
    for (int i = 0; i < 6; ++i) order += t.getValueAt(i, 0);
    EXPECT_EQ(order, u"adebcf");
    EXPECT_EQ(t.getItemValue(3), 101);
    EXPECT_EQ(t.getSelectedRows(), std::vector<int>{3});
    t.moveRows(4, 4, 0);
    order.clear();
    for (int i = 0; i < 6; ++i) order += t.getValueAt(i, 0);
    EXPECT_EQ(order, u"cadebf");
    // Onto itself, reversed or outside: nothing.
    t.moveRows(2, 3, 3);
    t.moveRows(3, 2, 0);
    t.moveRows(5, 6, 0);
    std::u16string after;
    for (int i = 0; i < 6; ++i) after += t.getValueAt(i, 0);
    EXPECT_EQ(after, order);
}

// Selection -----------------------------------------------------------------------------------

TEST(Table, SelectRowNotifiesWhenTheFirstSelectedRowChanges) {
    RecordingTable t;
    addColumns(t, 2);
    addRows(t, 8);
    EXPECT_EQ(send(t, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED), -1);
    t.selectRow(3);
    EXPECT_EQ(send(t, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED), 3);
    EXPECT_EQ(send(t, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_FOCUSED), 3);
    ASSERT_EQ(t.notes.size(), 1u);
    EXPECT_EQ(t.notes[0].code, LVN_ITEMCHANGED);
    EXPECT_EQ(t.notes[0].item, 3);
    EXPECT_EQ(t.selectionEvents, std::vector<int>{3});
    // The same row again: nothing changed, nothing sent.
    t.selectRow(3);
    EXPECT_EQ(t.notes.size(), 1u);
    // Ctrl adds a later row: the first selected row stays, no notice.
    t.control = true;
    t.selectRow(6);
    EXPECT_EQ(t.getSelectedRows(), (std::vector<int>{3, 6}));
    EXPECT_EQ(t.notes.size(), 1u);
    t.selectRow(1);
    EXPECT_EQ(t.getSelectedRows(), (std::vector<int>{1, 3, 6}));
    // Ctrl on a selected row deselects it and keeps the others.
    t.selectRow(3);
    EXPECT_EQ(t.getSelectedRows(), (std::vector<int>{1, 6}));
    EXPECT_EQ(send(t, LVM_GETNEXTITEM, 1, LVNI_SELECTED), 6);
    EXPECT_EQ(send(t, LVM_GETSELECTEDCOUNT), 2);
    // Without Ctrl the row stands alone again.
    t.control = false;
    t.selectRow(6);
    EXPECT_EQ(t.getSelectedRows(), std::vector<int>{6});
    EXPECT_EQ(t.selectionEvents, (std::vector<int>{3, 1, 6}));
    // Outside the table: nothing.
    t.selectRow(8);
    t.selectRow(-1);
    EXPECT_EQ(t.getSelectedRows(), std::vector<int>{6});
}

TEST(Table, RemovingAllRowsReportsTheSelectionThenTheDeletion) {
    RecordingTable t;
    addColumns(t, 1);
    addRows(t, 30);
    t.scrollToTopRow(12);
    t.selectRow(4);
    t.notes.clear();
    EXPECT_EQ(send(t, LVM_DELETEALLITEMS), TRUE);
    ASSERT_EQ(t.notes.size(), 2u);
    EXPECT_EQ(t.notes[0].code, LVN_ITEMCHANGED);
    EXPECT_EQ(t.notes[1].code, LVN_DELETEALLITEMS);
    EXPECT_EQ(send(t, LVM_GETTOPINDEX), 0);
    EXPECT_EQ(t.getRowCount(), 0);
    // Without a selection only the deletion is reported.
    addRows(t, 3);
    t.notes.clear();
    t.removeAllRows();
    ASSERT_EQ(t.notes.size(), 1u);
    EXPECT_EQ(t.notes[0].code, LVN_DELETEALLITEMS);
}

TEST(Table, SelectAllMarksEveryRowExceptInCellMode) {
    RecordingTable t;
    addColumns(t, 2);
    addRows(t, 5);
    t.setSelectionUnit(SelectionUnit::Cells);
    t.selectAll();
    EXPECT_TRUE(t.getSelectedRows().empty());
    t.selectCell(2, 1);
    EXPECT_EQ(t.getSelectedRows(), std::vector<int>{2});
    EXPECT_EQ(t.currentColumn(), 1);
    EXPECT_EQ(t.column(0)->states.get(2), 0u);
    t.setSelectionUnit(SelectionUnit::Rows);
    t.selectAll();
    EXPECT_EQ(t.getSelectedRows(), (std::vector<int>{0, 1, 2, 3, 4}));
}

// List-view messages --------------------------------------------------------------------------

TEST(Table, ItemMessagesReadAndWriteTextsValuesAndStates) {
    RecordingTable t;
    addColumns(t, 3);
    LVITEMW item{};
    item.mask = LVIF_TEXT | LVIF_PARAM;
    item.iItem = 0;
    std::u16string text = u"英語 sentence";
    item.pszText = text.data();
    item.lParam = 0x123456789;
    EXPECT_EQ(send(t, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item)), 0);
    item.iItem = 5;
    EXPECT_EQ(send(t, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item)), 1);

    LVITEMW sub{};
    std::u16string translation = u"訳";
    sub.iSubItem = 1;
    sub.pszText = translation.data();
    EXPECT_EQ(send(t, LVM_SETITEMTEXTW, 1, reinterpret_cast<LPARAM>(&sub)), TRUE);
    EXPECT_EQ(itemText(t, 1, 1), u"訳");
    EXPECT_EQ(itemText(t, 0, 0), u"英語 sentence");
    EXPECT_EQ(itemText(t, 7, 0), u"");

    // A short buffer takes what fits and a terminating zero.
    WCHAR small[4] = {u'x', u'x', u'x', u'x'};
    LVITEMW get{};
    get.mask = LVIF_TEXT | LVIF_PARAM;
    get.iItem = 0;
    get.pszText = small;
    get.cchTextMax = 4;
    EXPECT_EQ(send(t, LVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&get)), TRUE);
    EXPECT_EQ(std::u16string(small), u"英語 ");
    EXPECT_EQ(get.lParam, 0x123456789);

    // Setting a state with LVIF_STATE writes it into every column.
    LVITEMW state{};
    state.mask = LVIF_STATE;
    state.iItem = 1;
    state.iSubItem = 2;
    state.state = LVIS_SELECTED;
    state.stateMask = LVIS_SELECTED;
    EXPECT_EQ(send(t, LVM_SETITEMW, 0, reinterpret_cast<LPARAM>(&state)), TRUE);
    for (int c = 0; c < 3; ++c) EXPECT_EQ(t.column(c)->states.get(1), LVIS_SELECTED);
    EXPECT_EQ(send(t, LVM_GETITEMSTATE, 1, LVIS_SELECTED | LVIS_FOCUSED), LVIS_SELECTED);
    // LVM_SETITEMSTATE with item -1 reaches every row.
    LVITEMW clear{};
    clear.stateMask = LVIS_SELECTED;
    EXPECT_EQ(send(t, LVM_SETITEMSTATE, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&clear)), TRUE);
    EXPECT_EQ(send(t, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED), -1);
    // Bad rows and columns.
    state.iItem = 9;
    EXPECT_EQ(send(t, LVM_SETITEMW, 0, reinterpret_cast<LPARAM>(&state)), FALSE);
    get.iItem = 0;
    get.iSubItem = 3;
    EXPECT_EQ(send(t, LVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&get)), FALSE);
    EXPECT_EQ(send(t, LVM_GETITEMW, 0, 0), FALSE);
    EXPECT_EQ(send(t, LVM_DELETEITEM, 9), FALSE);
    EXPECT_EQ(send(t, LVM_SETITEMCOUNT, 100), 0);
    EXPECT_EQ(send(t, HDM_GETITEMCOUNT), 3);
}

TEST(Table, ColumnMessagesLayColumnsSideBySide) {
    RecordingTable t;
    addColumns(t, 2, 40);
    LVCOLUMNW middle{};
    std::u16string title = u"Middle";
    middle.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_FMT;
    middle.pszText = title.data();
    middle.cx = 25;
    middle.fmt = LVCFMT_RIGHT;
    EXPECT_EQ(send(t, LVM_INSERTCOLUMNW, 1, reinterpret_cast<LPARAM>(&middle)), 1);
    EXPECT_EQ(t.column(1)->x, 40);
    EXPECT_EQ(t.column(2)->x, 65);
    EXPECT_EQ(send(t, LVM_SETCOLUMNWIDTH, 0, MAKELPARAM(10, 0)), TRUE);
    EXPECT_EQ(send(t, LVM_GETCOLUMNWIDTH, 0), 10);
    EXPECT_EQ(t.column(2)->x, 35);
    WCHAR buffer[16] = {};
    LVCOLUMNW get{};
    get.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_FMT;
    get.pszText = buffer;
    get.cchTextMax = 16;
    EXPECT_EQ(send(t, LVM_GETCOLUMNW, 1, reinterpret_cast<LPARAM>(&get)), TRUE);
    EXPECT_EQ(std::u16string(buffer), u"Middle");
    EXPECT_EQ(get.cx, 25);
    EXPECT_EQ(get.fmt, LVCFMT_RIGHT);
    EXPECT_EQ(send(t, LVM_GETCOLUMNW, 3, reinterpret_cast<LPARAM>(&get)), FALSE);
    EXPECT_EQ(send(t, LVM_SETCOLUMNWIDTH, 7, 10), FALSE);
    // Auto size: at least the title's width plus padding.
    t.insertRow(u"", 0);
    t.setValueAt(u"a considerably longer cell text", 0, 2);
    send(t, LVM_SETCOLUMNWIDTH, 2, MAKELPARAM(LVSCW_AUTOSIZE, 0));
    EXPECT_GT(t.getColumnWidth(2), 60);
}

TEST(Table, ColoursAndStyles) {
    RecordingTable t;
    struct Case {
        COLORREF background;
        COLORREF alternate;
    } cases[] = {
        {RGB(240, 240, 240), RGB(255, 255, 255)},
        {RGB(16, 16, 16), RGB(40, 40, 40)},
        {RGB(231, 232, 0), RGB(255, 255, 24)},
        {RGB(255, 0, 100), RGB(255, 24, 124)},
    };
    for (const auto& c : cases) EXPECT_EQ(Table::alternateOf(c.background), c.alternate) << std::hex << c.background;
    send(t, LVM_SETBKCOLOR, 0, RGB(1, 2, 3));
    EXPECT_EQ(send(t, LVM_GETBKCOLOR), RGB(1, 2, 3));
    EXPECT_EQ(send(t, LVM_GETTEXTBKCOLOR), RGB(1, 2, 3));
    send(t, LVM_SETTEXTCOLOR, 0, RGB(9, 8, 7));
    EXPECT_EQ(send(t, LVM_GETTEXTCOLOR), RGB(9, 8, 7));
    EXPECT_EQ(send(t, LVM_GETEXTENDEDLISTVIEWSTYLE), static_cast<LRESULT>(LVS_EX_FULLROWSELECT));
    EXPECT_EQ(send(t, LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_GRIDLINES, LVS_EX_GRIDLINES),
              static_cast<LRESULT>(LVS_EX_FULLROWSELECT));
    EXPECT_EQ(send(t, LVM_GETEXTENDEDLISTVIEWSTYLE), static_cast<LRESULT>(LVS_EX_FULLROWSELECT | LVS_EX_GRIDLINES));
}

TEST(Table, CheckBoxesSurviveSelectionAndFollowRows) {
    RecordingTable t;
    t.setListExtendedStyle(LVS_EX_CHECKBOXES);
    addColumns(t, 2);
    addRows(t, 4);
    EXPECT_TRUE(t.column(0)->checkBoxes);
    EXPECT_FALSE(t.column(1)->checkBoxes);
    t.setChecked(2, true);
    t.selectRow(1);
    t.selectRow(3);
    EXPECT_TRUE(t.isChecked(2));
    EXPECT_EQ(send(t, LVM_GETITEMSTATE, 2, LVIS_STATEIMAGEMASK), 0x2000);
    EXPECT_EQ(send(t, LVM_GETITEMSTATE, 1, LVIS_STATEIMAGEMASK), 0x1000);
    t.insertRow(u"new", 0);
    EXPECT_TRUE(t.isChecked(3));
    t.setChecked(-1, true);  // a writer ignores -1
    EXPECT_FALSE(t.isChecked(-1));
    t.setChecked(4, true);
    EXPECT_TRUE(t.isChecked(-1));
    EXPECT_FALSE(t.isChecked(9));
}

TEST(Table, FindItemSearchesColumnZero) {
    RecordingTable t;
    addColumns(t, 2);
    for (const char16_t* s : {u"Apple", u"banana", u"apple pie", u"Cherry"}) t.insertRow(s, t.getRowCount());
    t.setItemValue(3, 77);
    LVFINDINFOW find{};
    find.flags = LVFI_STRING;
    find.psz = u"APPLE";
    EXPECT_EQ(send(t, LVM_FINDITEMW, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&find)), 0);
    EXPECT_EQ(send(t, LVM_FINDITEMW, 0, reinterpret_cast<LPARAM>(&find)), -1);
    find.flags = LVFI_PARTIAL | LVFI_STRING;
    EXPECT_EQ(send(t, LVM_FINDITEMW, 0, reinterpret_cast<LPARAM>(&find)), 2);
    find.flags = LVFI_STRING | LVFI_WRAP;
    EXPECT_EQ(send(t, LVM_FINDITEMW, 1, reinterpret_cast<LPARAM>(&find)), 0);
    find.flags = LVFI_PARAM;
    find.lParam = 77;
    EXPECT_EQ(send(t, LVM_FINDITEMW, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&find)), 3);
}

// Geometry ------------------------------------------------------------------------------------

TEST(Table, RectanglesAndHitTestsAgree) {
    RecordingTable t;
    t.width = 100;
    addColumns(t, 3, 60);
    send(t, LVM_SETCOLUMNWIDTH, 1, MAKELPARAM(0, 0));  // a hidden column
    addRows(t, 40);
    const int h = t.rowHeight();
    RECT r{};
    r.left = LVIR_BOUNDS;
    EXPECT_EQ(send(t, LVM_GETITEMRECT, 2, reinterpret_cast<LPARAM>(&r)), TRUE);
    EXPECT_EQ(r.top, 20 + 2 * h);
    EXPECT_EQ(r.bottom, 20 + 3 * h);
    EXPECT_EQ(r.right - r.left, 120);
    r = RECT{LVIR_BOUNDS, 2, 0, 0};
    EXPECT_EQ(send(t, LVM_GETSUBITEMRECT, 3, reinterpret_cast<LPARAM>(&r)), TRUE);
    EXPECT_EQ(r.left, 60);
    EXPECT_EQ(r.right, 120);
    r = RECT{LVIR_BOUNDS, 1, 0, 0};
    EXPECT_EQ(send(t, LVM_GETSUBITEMRECT, 3, reinterpret_cast<LPARAM>(&r)), FALSE);  // width 0
    EXPECT_EQ(send(t, LVM_GETITEMRECT, 40, reinterpret_cast<LPARAM>(&r)), FALSE);

    struct Case {
        POINT pt;
        int item;
        int subItem;
        UINT flags;
    } cases[] = {
        {{10, 5}, -1, -1, LVHT_ABOVE},
        {{10, 20}, 0, 0, LVHT_ONITEMLABEL},
        {{70, 20 + 3 * h + 1}, 3, 2, LVHT_ONITEMLABEL},
        {{130, 20 + 3 * h}, -1, -1, LVHT_NOWHERE},
        {{-1, 30}, -1, -1, LVHT_TOLEFT},
    };
    for (const auto& c : cases) {
        LVHITTESTINFO info{};
        info.pt = c.pt;
        EXPECT_EQ(send(t, LVM_SUBITEMHITTEST, 0, reinterpret_cast<LPARAM>(&info)), c.item) << c.pt.x << "," << c.pt.y;
        EXPECT_EQ(info.iSubItem, c.subItem);
        EXPECT_EQ(info.flags, c.flags);
    }
    // Scrolled down by 10 rows and right by 20 pixels.
    t.scrollToTopRow(10);
    t.scrollHorizontally(20);
    LVHITTESTINFO info{};
    info.pt = {45, 20 + h};
    EXPECT_EQ(send(t, LVM_HITTEST, 0, reinterpret_cast<LPARAM>(&info)), 11);
    EXPECT_EQ(info.iSubItem, 2);
    EXPECT_EQ(t.columnBorderAt(41), 0);
    EXPECT_EQ(t.columnBorderAt(100), 2);
}

TEST(Table, EnsureVisibleScrollsTheLeastNeeded) {
    RecordingTable t;
    addColumns(t, 1);
    addRows(t, 100);
    EXPECT_EQ(send(t, LVM_GETCOUNTPERPAGE), 10);
    EXPECT_EQ(send(t, LVM_ENSUREVISIBLE, 25), TRUE);
    EXPECT_EQ(send(t, LVM_GETTOPINDEX), 16);
    EXPECT_TRUE(t.ensureVisible(20));
    EXPECT_EQ(send(t, LVM_GETTOPINDEX), 16);
    EXPECT_TRUE(t.ensureVisible(3));
    EXPECT_EQ(send(t, LVM_GETTOPINDEX), 3);
    EXPECT_TRUE(t.ensureVisible(99));
    EXPECT_EQ(send(t, LVM_GETTOPINDEX), 90);
    EXPECT_FALSE(t.ensureVisible(100));
    t.shown = false;
    EXPECT_FALSE(t.ensureVisible(0));
    EXPECT_EQ(send(t, LVM_GETTOPINDEX), 90);
    // Removing rows keeps the top row inside the range.
    t.shown = true;
    for (int i = 0; i < 50; ++i) t.removeRow(0);
    EXPECT_EQ(send(t, LVM_GETTOPINDEX), 40);
}

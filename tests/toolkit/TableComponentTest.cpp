// The table window: list-view messages sent to it, the WM_NOTIFY records its
// parent receives in order, and mouse and keyboard input injected through
// the headless display.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <thread>

#include "ToolkitTestSupport.h"
#include "toolkit/TableComponent.h"

using namespace veltrix::test;

namespace {

// Client area at screen (kFrameX, kFrameY); the table fills 300 x 200 of it.
class NotifyFrame : public BaseWindow {
public:
    struct Note {
        UINT code;
        int item;
        int subItem;
        int key;
    };
    NotifyFrame() {
        createFrame();
        MoveWindow(handle(), kFrameX, kFrameY, 400, 300, TRUE);
        ShowWindow(handle(), SW_SHOW);
    }
    LRESULT onNotify(WPARAM, LPARAM lParam) override {
        auto* header = reinterpret_cast<NMHDR*>(lParam);
        const int code = static_cast<int>(header->code);
        // Mouse moves and paints are reported by every component; not ours to check here.
        if (code == EventCode::MouseMoved || code == EventCode::Painted || code == EventCode::FocusChanged) return 0;
        Note note{header->code, -1, -1, 0};
        if (header->code == LVN_KEYDOWN) {
            note.key = reinterpret_cast<NMLVKEYDOWN*>(lParam)->wVKey;
        } else {
            note.item = reinterpret_cast<NMLISTVIEW*>(lParam)->iItem;
            note.subItem = reinterpret_cast<NMLISTVIEW*>(lParam)->iSubItem;
        }
        notes.push_back(note);
        return 0;
    }
    std::vector<UINT> codes() const {
        std::vector<UINT> out;
        for (const auto& n : notes) out.push_back(n.code);
        return out;
    }
    std::vector<Note> notes;
};

struct ModelRecorder : TableModelListener {
    void tableChanged(TableModelEvent event) override { events.push_back(event); }
    std::vector<TableModelEvent> events;
};

struct TableWindow : ::testing::Test {
    void SetUp() override {
        headless::pumpMessages();
        ASSERT_TRUE(table.create(frame.handle()));
        SetWindowLongPtrW(table.handle(), GWLP_ID, 42);
        table.setBounds(0, 0, 300, 200);
        for (int i = 0; i < 3; ++i) {
            std::u16string title = i == 0 ? u"Sentence" : i == 1 ? u"Translation" : u"Note";
            LVCOLUMNW column{};
            column.mask = LVCF_TEXT | LVCF_WIDTH;
            column.pszText = title.data();
            column.cx = 100;
            send(LVM_INSERTCOLUMNW, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&column));
        }
        for (int i = 0; i < 40; ++i) {
            std::u16string text = u"row " + std::u16string(1, static_cast<char16_t>(u'A' + i % 26));
            LVITEMW item{};
            item.mask = LVIF_TEXT;
            item.iItem = i;
            item.pszText = text.data();
            send(LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item));
        }
        headless::pumpMessages();
        frame.notes.clear();
    }
    void TearDown() override {
        for (int key : {VK_CONTROL, VK_SHIFT})
            if (GetKeyState(key) < 0) headless::key(key, false);
        ReleaseCapture();
        headless::pumpMessages();
    }

    LRESULT send(UINT message, WPARAM w = 0, LPARAM l = 0) { return SendMessageW(table.handle(), message, w, l); }
    int firstSelected() { return static_cast<int>(send(LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED)); }
    // The middle of a row's cell in a column, in screen coordinates.
    POINT cellPoint(int row, int column, int dx = 0) {
        RECT r{LVIR_BOUNDS, column, 0, 0};
        send(LVM_GETSUBITEMRECT, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&r));
        return screenOf(table.handle(), r.left + 10 + dx, (r.top + r.bottom) / 2);
    }
    // A point in the row beside its text.
    POINT besideText(int row) { return cellPoint(row, 2, 60); }
    void click(POINT p) {
        headless::click(headless::Button::Left, p);
        headless::pumpMessages();
    }
    // Presses never pair into double clicks across tests' steps.
    void pause() { std::this_thread::sleep_for(std::chrono::milliseconds(GetDoubleClickTime() + 20)); }
    void press(int key) {
        headless::pressKey(key);
        headless::pumpMessages();
    }

    NotifyFrame frame;
    TableComponent table;
};

}  // namespace

TEST_F(TableWindow, AnswersListViewMessagesAsAListView) {
    WCHAR name[16] = {};
    GetClassNameW(table.handle(), name, 16);
    EXPECT_EQ(std::u16string(name), u"Table");
    EXPECT_EQ(send(WM_GETDLGCODE), 5);
    EXPECT_EQ(send(LVM_GETHEADER), reinterpret_cast<LRESULT>(table.handle()));
    EXPECT_EQ(send(HDM_GETITEMCOUNT), 3);
    EXPECT_EQ(send(LVM_GETITEMCOUNT), 40);
    EXPECT_EQ(send(LVM_GETCOUNTPERPAGE), (200 - 20) / table.rowHeight());
    EXPECT_EQ(firstSelected(), -1);

    LVITEMW item{};
    item.stateMask = LVIS_SELECTED;
    item.state = LVIS_SELECTED;
    send(LVM_SETITEMSTATE, 3, reinterpret_cast<LPARAM>(&item));
    EXPECT_EQ(firstSelected(), 3);
    EXPECT_EQ(send(LVM_GETITEMSTATE, 3, LVIS_SELECTED), LVIS_SELECTED);

    table.selectRow(7);
    EXPECT_EQ(firstSelected(), 7);
    EXPECT_EQ(send(LVM_DELETEITEM, 0), TRUE);
    EXPECT_EQ(firstSelected(), 6);
    ASSERT_EQ(frame.notes.size(), 2u);
    EXPECT_EQ(frame.notes[0].code, LVN_ITEMCHANGED);
    EXPECT_EQ(frame.notes[0].item, 7);
    EXPECT_EQ(frame.notes[1].code, LVN_DELETEITEM);
    EXPECT_EQ(frame.notes[1].item, 0);

    EXPECT_EQ(send(LVM_ENSUREVISIBLE, 30), TRUE);
    EXPECT_GT(send(LVM_GETTOPINDEX), 0);
    table.setBounds(0, 0, 300, 400);
    EXPECT_EQ(send(LVM_GETCOUNTPERPAGE), (400 - 20) / table.rowHeight());
    // A hidden table does not scroll.
    ShowWindow(table.handle(), SW_HIDE);
    EXPECT_EQ(send(LVM_ENSUREVISIBLE, 0), FALSE);
}

TEST_F(TableWindow, SelectionChangesReachTheModelListeners) {
    ModelRecorder recorder;
    table.getModel().addTableModelListener(&recorder);
    table.getModel().addTableModelListener(&recorder);
    table.selectRow(5);
    table.selectRow(5);
    table.removeAllRows();
    ASSERT_EQ(recorder.events.size(), 2u);
    const TableModelEvent& e = recorder.events[0];
    EXPECT_EQ(e.model, &table.getModel());
    EXPECT_EQ(e.code, 0);
    EXPECT_EQ(e.value, -101);
    EXPECT_EQ(e.column, 0);
    EXPECT_EQ(e.firstRow, 5);
    EXPECT_EQ(e.lastRow, 5);
    EXPECT_EQ(e.type, 3);
    EXPECT_EQ(recorder.events[1].firstRow, -1);
    EXPECT_EQ(frame.codes(), (std::vector<UINT>{LVN_ITEMCHANGED, LVN_ITEMCHANGED, LVN_DELETEALLITEMS}));
}

TEST_F(TableWindow, ClicksSelectAndCtrlClicksToggle) {
    click(cellPoint(2, 0));
    EXPECT_EQ(firstSelected(), 2);
    ASSERT_EQ(frame.codes(), (std::vector<UINT>{LVN_ITEMCHANGED, NM_CLICK}));
    EXPECT_EQ(frame.notes[1].item, 2);
    EXPECT_EQ(GetFocus(), table.handle());

    headless::key(VK_CONTROL, true);
    click(cellPoint(4, 1));
    click(cellPoint(6, 0));
    EXPECT_EQ(table.getSelectedRows(), (std::vector<int>{2, 4, 6}));
    pause();
    click(cellPoint(4, 1));
    EXPECT_EQ(table.getSelectedRows(), (std::vector<int>{2, 6}));
    headless::key(VK_CONTROL, false);

    // Shift extends from the row clicked last (the anchor, 4) to the pointer.
    pause();
    headless::key(VK_SHIFT, true);
    click(cellPoint(7, 1));
    headless::key(VK_SHIFT, false);
    EXPECT_EQ(table.getSelectedRows(), (std::vector<int>{4, 5, 6, 7}));

    // A right click on a multi-selection keeps it; on one row it selects.
    headless::click(headless::Button::Right, cellPoint(6, 0));
    headless::pumpMessages();
    EXPECT_EQ(table.getSelectedRows(), (std::vector<int>{4, 5, 6, 7}));
    EXPECT_EQ(frame.notes.back().code, NM_RCLICK);
    pause();
    click(cellPoint(2, 0, 20));
    headless::click(headless::Button::Right, cellPoint(6, 0));
    headless::pumpMessages();
    EXPECT_EQ(table.getSelectedRows(), std::vector<int>{6});
    EXPECT_EQ(frame.notes.back().code, NM_RCLICK);
    EXPECT_EQ(frame.notes.back().item, 6);
}

TEST_F(TableWindow, KeysNavigateAndReportToTheParent) {
    click(cellPoint(1, 0));
    frame.notes.clear();
    press(VK_DOWN);
    EXPECT_EQ(firstSelected(), 2);
    ASSERT_EQ(frame.notes.size(), 2u);
    EXPECT_EQ(frame.notes[0].code, LVN_KEYDOWN);
    EXPECT_EQ(frame.notes[0].key, VK_DOWN);
    EXPECT_EQ(frame.notes[1].code, LVN_ITEMCHANGED);
    EXPECT_EQ(frame.notes[1].item, 2);

    frame.notes.clear();
    press(VK_RETURN);
    ASSERT_EQ(frame.notes.size(), 1u);
    EXPECT_EQ(frame.notes[0].code, NM_RETURN);
    EXPECT_EQ(frame.notes[0].item, 2);

    press(VK_NEXT);
    EXPECT_EQ(firstSelected(), 7);
    press(VK_PRIOR);
    press(VK_UP);
    press(VK_UP);
    press(VK_UP);
    EXPECT_EQ(firstSelected(), 0);

    headless::key(VK_SHIFT, true);
    press(VK_DOWN);
    press(VK_DOWN);
    headless::key(VK_SHIFT, false);
    headless::pumpMessages();
    EXPECT_EQ(table.getSelectedRows(), (std::vector<int>{0, 1, 2}));

    // Page Down on the last page ends on the last row, scrolled into view.
    for (int i = 0; i < 10; ++i) press(VK_NEXT);
    EXPECT_EQ(firstSelected(), 39);
    const LRESULT top = send(LVM_GETTOPINDEX);
    EXPECT_LE(top, 39);
    EXPECT_GT(top + send(LVM_GETCOUNTPERPAGE), 39);

    headless::key(VK_CONTROL, true);
    press('A');
    headless::key(VK_CONTROL, false);
    EXPECT_EQ(static_cast<int>(table.getSelectedRows().size()), 40);

    // With a key listener the listener takes the keys instead of the parent.
    struct Keys : KeyListener {
        void keyPressed(KeyEvent event) override { keys.push_back(event.keyCode); }
        std::vector<int> keys;
    } keys;
    table.addListener("KeyListener", &keys);
    frame.notes.clear();
    press(VK_RETURN);
    press(VK_F1);
    EXPECT_EQ(keys.keys, (std::vector<int>{VK_RETURN, VK_F1}));
    EXPECT_TRUE(frame.notes.empty());
}

TEST_F(TableWindow, RubberBandSelectsTheRowsItTouches) {
    const POINT from = besideText(3);
    headless::mouseButton(headless::Button::Left, true, from);
    headless::pumpMessages();
    EXPECT_EQ(table.mouseMode(), TableComponent::MouseMode::RubberBand);
    const POINT to{from.x - 30, from.y + 3 * table.rowHeight()};
    headless::mouseMove(POINT{from.x, from.y + table.rowHeight()});
    headless::mouseMove(to);
    headless::pumpMessages();
    EXPECT_TRUE(table.band.active);
    headless::mouseButton(headless::Button::Left, false, to);
    headless::pumpMessages();
    EXPECT_FALSE(table.band.active);
    EXPECT_EQ(table.mouseMode(), TableComponent::MouseMode::None);
    EXPECT_EQ(table.getSelectedRows(), (std::vector<int>{3, 4, 5, 6}));
}

TEST_F(TableWindow, DraggingSelectedRowsMovesThem) {
    click(cellPoint(1, 0));
    headless::key(VK_CONTROL, true);
    click(cellPoint(2, 0));
    headless::key(VK_CONTROL, false);
    headless::pumpMessages();
    frame.notes.clear();
    // Press on the text of a selected row (elsewhere than the last click).
    const POINT start = cellPoint(2, 0, 5);
    headless::mouseButton(headless::Button::Left, true, start);
    headless::pumpMessages();
    EXPECT_EQ(table.mouseMode(), TableComponent::MouseMode::Dragging);
    ASSERT_FALSE(frame.notes.empty());
    EXPECT_EQ(frame.notes[0].code, LVN_BEGINDRAG);
    EXPECT_EQ(frame.notes[0].item, 2);
    // Drop on the upper half of row 6: the rows go before it.
    RECT r{LVIR_BOUNDS, 0, 0, 0};
    send(LVM_GETITEMRECT, 6, reinterpret_cast<LPARAM>(&r));
    const POINT target = screenOf(table.handle(), 10, r.top + 2);
    headless::mouseMove(target);
    headless::pumpMessages();
    EXPECT_EQ(table.dropRow, 6);
    headless::mouseButton(headless::Button::Left, false, target);
    headless::pumpMessages();
    std::u16string order;
    for (int i = 0; i < 7; ++i) order += table.getValueAt(i, 0).substr(4);
    EXPECT_EQ(order, u"ADEFBCG");
    EXPECT_EQ(table.getSelectedRows(), (std::vector<int>{4, 5}));
    // The owner hears of the new order after the selection moved with it.
    ASSERT_GE(frame.notes.size(), 3u);
    const auto& moved = frame.notes.back();
    EXPECT_EQ(moved.code, Table::kRowsMoved);
    EXPECT_EQ(moved.item, 4);
    EXPECT_EQ(moved.subItem, 2);
    EXPECT_EQ(frame.notes[frame.notes.size() - 2].code, LVN_ITEMCHANGED);

    // Dropped where they stand, nothing moves and nobody is told.
    frame.notes.clear();
    table.moveRowSet({4, 5}, 4);
    EXPECT_TRUE(frame.notes.empty());
}

TEST_F(TableWindow, APlainClickInsideAMultiSelectionSelectsTheClickedRowAlone) {
    click(cellPoint(1, 0));
    headless::key(VK_SHIFT, true);
    click(cellPoint(4, 0));
    headless::key(VK_SHIFT, false);
    ASSERT_EQ(table.getSelectedRows(), (std::vector<int>{1, 2, 3, 4}));
    pause();
    frame.notes.clear();
    // On the text of a selected row: a drag could begin, but none does.
    click(cellPoint(3, 0, 5));
    EXPECT_EQ(table.getSelectedRows(), std::vector<int>{3});
    EXPECT_EQ(firstSelected(), 3);
    EXPECT_EQ(frame.notes.back().code, LVN_ITEMCHANGED);
    EXPECT_EQ(frame.notes.back().item, 3);
    EXPECT_EQ(table.mouseMode(), TableComponent::MouseMode::None);

    // A tremor of a pixel or two is still a click, and moves no rows.
    headless::key(VK_SHIFT, true);
    click(cellPoint(6, 0));
    headless::key(VK_SHIFT, false);
    pause();
    const POINT press = cellPoint(5, 0, 5);
    headless::mouseButton(headless::Button::Left, true, press);
    headless::mouseMove(POINT{press.x + 2, press.y + 2});
    headless::mouseButton(headless::Button::Left, false, POINT{press.x + 2, press.y + 2});
    headless::pumpMessages();
    EXPECT_EQ(table.getSelectedRows(), std::vector<int>{5});
    EXPECT_EQ(table.getValueAt(5, 0), u"row F");
    EXPECT_EQ(table.getValueAt(3, 0), u"row D");
}

TEST_F(TableWindow, HeaderResizesSortsAndAutoSizes) {
    // Drag the border between the first two columns 30 pixels right.
    const POINT border = screenOf(table.handle(), 100, 10);
    headless::mouseButton(headless::Button::Left, true, border);
    headless::pumpMessages();
    EXPECT_EQ(table.mouseMode(), TableComponent::MouseMode::Sizing);
    EXPECT_EQ(headless::cursor(), reinterpret_cast<std::uintptr_t>(IDC_SIZEWE));
    headless::mouseMove(POINT{border.x + 30, border.y});
    headless::mouseButton(headless::Button::Left, false, POINT{border.x + 30, border.y});
    headless::pumpMessages();
    EXPECT_EQ(send(LVM_GETCOLUMNWIDTH, 0), 130);
    EXPECT_EQ(table.column(1)->x, 130);
    EXPECT_TRUE(frame.notes.empty());  // no NM_CLICK for sizing

    // A click on a title reports the column.
    pause();
    click(screenOf(table.handle(), 180, 10));
    ASSERT_FALSE(frame.notes.empty());
    EXPECT_EQ(frame.notes.back().code, LVN_COLUMNCLICK);
    EXPECT_EQ(frame.notes.back().subItem, 1);

    // A double click on a border fits the column to its content.
    table.setValueAt(u"a much longer text than the column is wide", 0, 0);
    pause();
    const POINT edge = screenOf(table.handle(), 130, 10);
    headless::click(headless::Button::Left, edge);
    headless::click(headless::Button::Left, edge);
    headless::pumpMessages();
    EXPECT_GT(send(LVM_GETCOLUMNWIDTH, 0), 150);
}

TEST_F(TableWindow, WheelAndDoubleClick) {
    SetFocus(table.handle());  // the wheel goes to the focus window
    headless::mouseWheel(-WHEEL_DELTA, screenOf(table.handle(), 150, 100));
    headless::pumpMessages();
    EXPECT_EQ(send(LVM_GETTOPINDEX), 3);
    headless::mouseWheel(2 * WHEEL_DELTA, screenOf(table.handle(), 150, 100));
    headless::pumpMessages();
    EXPECT_EQ(send(LVM_GETTOPINDEX), 0);

    const POINT p = cellPoint(4, 1);
    headless::click(headless::Button::Left, p);
    headless::click(headless::Button::Left, p);
    headless::pumpMessages();
    EXPECT_EQ(firstSelected(), 4);
    ASSERT_FALSE(frame.notes.empty());
    EXPECT_EQ(frame.notes.back().code, NM_DBLCLK);
    EXPECT_EQ(frame.notes.back().item, 4);
}

TEST_F(TableWindow, CheckBoxClicksToggleOnlyTheCheck) {
    send(LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_CHECKBOXES, LVS_EX_CHECKBOXES);
    RECT r{LVIR_BOUNDS, 0, 0, 0};
    send(LVM_GETITEMRECT, 3, reinterpret_cast<LPARAM>(&r));
    click(screenOf(table.handle(), 6, r.top + 6));
    EXPECT_TRUE(table.isChecked(3));
    EXPECT_EQ(firstSelected(), -1);
    EXPECT_TRUE(frame.notes.empty());
    pause();
    click(screenOf(table.handle(), 6, r.top + 6));
    EXPECT_FALSE(table.isChecked(3));
}

TEST_F(TableWindow, AutoScrollFollowsABandBelowTheTable) {
    const POINT from = besideText(2);
    headless::mouseButton(headless::Button::Left, true, from);
    headless::pumpMessages();
    const POINT below = screenOf(table.handle(), 250, 260);
    headless::mouseMove(below);
    const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(3);
    while (send(LVM_GETTOPINDEX) < 2 && std::chrono::steady_clock::now() < until) {
        headless::pumpMessages();
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    EXPECT_GE(send(LVM_GETTOPINDEX), 2);
    headless::mouseButton(headless::Button::Left, false, below);
    headless::pumpMessages();
    // The band reached the rows scrolled into view.
    const std::vector<int> rows = table.getSelectedRows();
    ASSERT_FALSE(rows.empty());
    EXPECT_EQ(rows.front(), 2);
    EXPECT_GE(rows.back(), static_cast<int>(send(LVM_GETTOPINDEX) + send(LVM_GETCOUNTPERPAGE) - 1));
}

TEST_F(TableWindow, PictureShowsClippedCellsAlternateRowsGridAndSelection) {
    send(LVM_DELETEALLITEMS);
    table.setBounds(0, 0, 400, 300);
    send(LVM_SETCOLUMNWIDTH, 0, MAKELPARAM(34, 0));  // narrow: its times are clipped
    send(LVM_SETCOLUMNWIDTH, 1, MAKELPARAM(170, 0));
    send(LVM_SETCOLUMNWIDTH, 2, MAKELPARAM(190, 0));
    send(LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_GRIDLINES, LVS_EX_GRIDLINES);
    const COLORREF background = RGB(226, 234, 244);
    send(LVM_SETBKCOLOR, 0, background);
    const char16_t* english[] = {u"Good morning, everyone.", u"Today we talk about the weather.",
                                 u"It will rain in the afternoon.", u"Take an umbrella with you."};
    const char16_t* japanese[] = {u"皆さん、おはようございます。", u"今日は天気について話します。",
                                  u"午後は雨が降るでしょう。", u"傘を持って行きましょう。"};
    for (int i = 0; i < 30; ++i) {
        std::u16string time = u"00:0" + std::u16string(1, static_cast<char16_t>(u'0' + i / 10)) + u":" +
                              std::u16string(1, static_cast<char16_t>(u'0' + i % 10)) + u"0";
        const int row = table.insertRow(time, i);
        table.setValueAt(english[i % 4], row, 1);
        table.setValueAt(japanese[i % 4], row, 2);
    }
    table.selectRow(3);
    headless::key(VK_CONTROL, true);
    headless::pumpMessages();
    table.selectRow(5);
    headless::key(VK_CONTROL, false);
    headless::pumpMessages();

    const int h = table.rowHeight();
    auto middleOf = [&](int row) { return 20 + row * h + h / 2; };
    const std::string folder = ::testing::TempDir();

    SetFocus(table.handle());
    headless::pumpMessages();
    ASSERT_TRUE(headless::savePicture(frame.handle(), folder + "table_focused.png"));
    EXPECT_EQ(headless::pixel(table.handle(), 386, middleOf(3)), GetSysColor(COLOR_HIGHLIGHT));
    EXPECT_EQ(headless::pixel(table.handle(), 386, middleOf(4)), background);
    EXPECT_EQ(headless::pixel(table.handle(), 386, middleOf(1)), Table::alternateOf(background));
    EXPECT_EQ(headless::pixel(table.handle(), 33, middleOf(2)), Table::kGridColour);
    EXPECT_EQ(headless::pixel(table.handle(), 300, 20 + 2 * h - 1), Table::kGridColour);

    SetFocus(frame.handle());
    headless::pumpMessages();
    ASSERT_TRUE(headless::savePicture(frame.handle(), folder + "table_unfocused.png"));
    EXPECT_EQ(headless::pixel(table.handle(), 386, middleOf(5)), Table::kUnfocusedSelectedBackground);
    EXPECT_EQ(headless::pixel(table.handle(), 386, middleOf(4)), background);

    // The narrow column's text stops at its border: the next column's
    // background starts right after the grid line.
    for (int y = 20 + 4 * h + 1; y < 20 + 5 * h - 1; ++y)
        EXPECT_EQ(headless::pixel(table.handle(), 35, y), background) << y;
}

TEST_F(TableWindow, ScrollBarPagesAndFollowsItsThumb) {
    const int page = static_cast<int>(send(LVM_GETCOUNTPERPAGE));
    const Scrollbar::Bar bar = table.verticalBar(table.headerHeight());
    ASSERT_TRUE(bar.shown);
    EXPECT_EQ(bar.track.left, 300 - Scrollbar::kBarThickness);
    EXPECT_EQ(bar.thumb.top, table.headerHeight());

    // A press on the track below the thumb turns one page, and is no click.
    click(screenOf(table.handle(), 295, 190));
    EXPECT_EQ(send(LVM_GETTOPINDEX), page);
    EXPECT_TRUE(frame.notes.empty());
    EXPECT_EQ(firstSelected(), -1);

    // Dragging the thumb to the bottom shows the last page.
    pause();
    const Scrollbar::Bar moved = table.verticalBar(table.headerHeight());
    const POINT grab = screenOf(table.handle(), 295, moved.thumb.top + 2);
    headless::mouseButton(headless::Button::Left, true, grab);
    headless::pumpMessages();
    EXPECT_EQ(table.mouseMode(), TableComponent::MouseMode::ScrollBar);
    headless::mouseMove(POINT{grab.x, grab.y + 400});
    headless::mouseButton(headless::Button::Left, false, POINT{grab.x, grab.y + 400});
    headless::pumpMessages();
    EXPECT_EQ(send(LVM_GETTOPINDEX), 40 - page);
    EXPECT_EQ(table.mouseMode(), TableComponent::MouseMode::None);
    // And back to the top.
    headless::mouseButton(headless::Button::Left, true, screenOf(table.handle(), 295, 195));
    headless::mouseMove(screenOf(table.handle(), 295, 0));
    headless::mouseButton(headless::Button::Left, false, screenOf(table.handle(), 295, 0));
    headless::pumpMessages();
    EXPECT_EQ(send(LVM_GETTOPINDEX), 0);

    // Columns wider than the view bring the horizontal bar.
    EXPECT_FALSE(table.horizontalBar().shown);
    send(LVM_SETCOLUMNWIDTH, 2, MAKELPARAM(200, 0));
    EXPECT_TRUE(table.horizontalBar().shown);
}

TEST_F(TableWindow, ATremorAfterACtrlClickKeepsTheRowDeselected) {
    click(cellPoint(2, 1));
    headless::key(VK_CONTROL, true);
    click(cellPoint(4, 1));
    const POINT p = cellPoint(2, 1, 30);
    headless::mouseButton(headless::Button::Left, true, p);
    headless::mouseMove(POINT{p.x + 1, p.y + 1});
    headless::mouseButton(headless::Button::Left, false, POINT{p.x + 1, p.y + 1});
    headless::key(VK_CONTROL, false);
    headless::pumpMessages();
    EXPECT_EQ(table.getSelectedRows(), std::vector<int>{4});
}

TEST_F(TableWindow, RowsFollowTheFontHeight) {
    const int before = table.rowHeight();
    table.setFontHeight(-30);
    EXPECT_GT(table.rowHeight(), before + 10);
    EXPECT_EQ(send(LVM_GETCOUNTPERPAGE), (200 - 20) / table.rowHeight());
    LVHITTESTINFO info{};
    info.pt = POINT{10, 20 + table.rowHeight() + 2};
    EXPECT_EQ(send(LVM_HITTEST, 0, reinterpret_cast<LPARAM>(&info)), 1);
}

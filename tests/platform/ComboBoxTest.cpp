// The "COMBOBOX" class: its list messages, the pop-up list with mouse and
// keys, the order of its notifications, and the edit child of a drop-down.
#include <gtest/gtest.h>

#include "ControlHost.h"

using namespace veltrix::test;
namespace headless = veltrix::platform::headless;
using headless::Button;

namespace {

constexpr DWORD kDropDownList = WS_CHILD | WS_VISIBLE | WS_VSCROLL | WS_TABSTOP | CBS_DROPDOWNLIST;
// The toolkit's drop-down box: 0x50210042.
constexpr DWORD kDropDown = WS_CHILD | WS_VISIBLE | WS_VSCROLL | WS_TABSTOP | CBS_DROPDOWN | CBS_AUTOHSCROLL;

struct Combo : ::testing::Test {
    ControlHost host;
    HWND combo = nullptr;
    void make(DWORD style, std::initializer_list<const char16_t*> items = {u"Apple", u"Banana", u"Cherry", u"りんご"}) {
        combo = host.create(u"COMBOBOX", u"", style, 20, 20, 160, 200);
        ASSERT_TRUE(combo);
        for (const char16_t* item : items) SendMessageW(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item));
        host.notifications().clear();
    }
    COMBOBOXINFO info() const {
        COMBOBOXINFO i{};
        i.cbSize = sizeof i;
        EXPECT_TRUE(GetComboBoxInfo(combo, &i));
        return i;
    }
    std::u16string item(int index) const {
        LRESULT n = SendMessageW(combo, CB_GETLBTEXTLEN, static_cast<WPARAM>(index), 0);
        if (n < 0) return u"<error>";
        std::u16string t(static_cast<std::size_t>(n) + 1, u'\0');
        SendMessageW(combo, CB_GETLBTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(t.data()));
        t.resize(static_cast<std::size_t>(n));
        return t;
    }
    bool dropped() const { return SendMessageW(combo, CB_GETDROPPEDSTATE, 0, 0) != 0; }
    // Screen point in the middle of a row of the opened list.
    POINT row(int index) const {
        HWND list = info().hwndList;
        LRESULT height = SendMessageW(combo, CB_GETITEMHEIGHT, 0, 0);
        return ControlHost::screen(list, 20, 1 + static_cast<int>(height) * index + static_cast<int>(height) / 2);
    }
};

TEST(SystemClasses, ExistBeforeAnyWindowIsMade) {
    for (const char16_t* name : {u"EDIT", u"Edit", u"COMBOBOX", u"SysDateTimePick32"}) {
        WNDCLASSEXW wc{};
        EXPECT_TRUE(GetClassInfoExW(nullptr, name, &wc)) << std::string(name, name + 4);
        EXPECT_TRUE(wc.lpfnWndProc);
    }
}

TEST_F(Combo, ListMessagesAnswerAndOutOfRangeIndexesGiveCbErr) {
    make(kDropDownList);
    EXPECT_EQ(SendMessageW(combo, CB_GETCOUNT, 0, 0), 4);
    EXPECT_EQ(SendMessageW(combo, CB_INSERTSTRING, 1, reinterpret_cast<LPARAM>(u"Apricot")), 1);
    EXPECT_EQ(SendMessageW(combo, CB_INSERTSTRING, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(u"Zucchini")), 5);
    EXPECT_EQ(item(1), u"Apricot");
    EXPECT_EQ(item(4), u"りんご");
    EXPECT_EQ(SendMessageW(combo, CB_GETCURSEL, 0, 0), CB_ERR);
    struct Case {
        UINT message;
        WPARAM index;
    };
    const Case bad[] = {
        {CB_GETLBTEXTLEN, 6}, {CB_GETLBTEXTLEN, static_cast<WPARAM>(-1)},
        {CB_DELETESTRING, 6}, {CB_GETITEMDATA, 99},
        {CB_SETITEMDATA, 6},  {CB_SETCURSEL, 6},
        {CB_INSERTSTRING, 9},
    };
    for (const Case& c : bad)
        EXPECT_EQ(SendMessageW(combo, c.message, c.index, reinterpret_cast<LPARAM>(u"x")), CB_ERR)
            << std::hex << c.message;
    WCHAR buffer[4] = {};
    EXPECT_EQ(SendMessageW(combo, CB_GETLBTEXT, 6, reinterpret_cast<LPARAM>(buffer)), CB_ERR);
    EXPECT_EQ(SendMessageW(combo, CB_ADDSTRING, 0, 0), CB_ERR);
    EXPECT_EQ(SendMessageW(combo, CB_GETCOUNT, 0, 0), 6);
    EXPECT_TRUE(host.takeCodes().empty());
}

TEST_F(Combo, ItemDataSelectionAndDeletionStayConsistent) {
    make(kDropDownList);
    EXPECT_EQ(SendMessageW(combo, CB_SETITEMDATA, 2, 0x1234), CB_OKAY);
    EXPECT_EQ(SendMessageW(combo, CB_GETITEMDATA, 2, 0), 0x1234);
    EXPECT_EQ(SendMessageW(combo, CB_SETCURSEL, 2, 0), 2);
    EXPECT_EQ(ControlHost::text(combo), u"Cherry");
    // A bad index clears the selection, as on Windows.
    EXPECT_EQ(SendMessageW(combo, CB_SETCURSEL, 9, 0), CB_ERR);
    EXPECT_EQ(SendMessageW(combo, CB_GETCURSEL, 0, 0), CB_ERR);
    EXPECT_EQ(ControlHost::text(combo), u"");
    SendMessageW(combo, CB_SETCURSEL, 2, 0);
    EXPECT_EQ(SendMessageW(combo, CB_DELETESTRING, 0, 0), 3);
    EXPECT_EQ(SendMessageW(combo, CB_GETCURSEL, 0, 0), 1);
    EXPECT_EQ(SendMessageW(combo, CB_GETITEMDATA, 1, 0), 0x1234);
    EXPECT_EQ(SendMessageW(combo, CB_DELETESTRING, 1, 0), 2);
    EXPECT_EQ(SendMessageW(combo, CB_GETCURSEL, 0, 0), CB_ERR);
    EXPECT_EQ(SendMessageW(combo, CB_RESETCONTENT, 0, 0), CB_OKAY);
    EXPECT_EQ(SendMessageW(combo, CB_GETCOUNT, 0, 0), 0);
    EXPECT_TRUE(host.takeCodes().empty());  // messages change the selection quietly
}

TEST_F(Combo, FindStringExactIgnoresCaseAndWrapsFromTheStart) {
    make(kDropDownList, {u"alpha", u"Beta", u"ALPHA", u"be"});
    auto find = [&](WPARAM start, const char16_t* text, UINT message = CB_FINDSTRINGEXACT) {
        return SendMessageW(combo, message, start, reinterpret_cast<LPARAM>(text));
    };
    EXPECT_EQ(find(static_cast<WPARAM>(-1), u"Alpha"), 0);
    EXPECT_EQ(find(0, u"alpha"), 2);
    EXPECT_EQ(find(2, u"alpha"), 0);
    EXPECT_EQ(find(static_cast<WPARAM>(-1), u"BE"), 3);
    EXPECT_EQ(find(static_cast<WPARAM>(-1), u"gamma"), CB_ERR);
    EXPECT_EQ(find(static_cast<WPARAM>(-1), u"be", CB_FINDSTRING), 1);
    EXPECT_EQ(find(77, u"al", CB_FINDSTRING), 0);
}

TEST_F(Combo, SortedBoxesInsertInOrderAndTextSelectsAnItem) {
    make(kDropDownList | CBS_SORT, {u"pear", u"Apple", u"banana"});
    EXPECT_EQ(item(0), u"Apple");
    EXPECT_EQ(item(1), u"banana");
    EXPECT_EQ(item(2), u"pear");
    EXPECT_EQ(SendMessageW(combo, CB_INSERTSTRING, 0, reinterpret_cast<LPARAM>(u"zebra")),
              0);  // insert keeps its place
    EXPECT_EQ(SetWindowTextW(combo, u"BANANA"), TRUE);
    EXPECT_EQ(SendMessageW(combo, CB_GETCURSEL, 0, 0), 2);
    EXPECT_EQ(SendMessageW(combo, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(u"cherry")), CB_ERR);
    EXPECT_EQ(SendMessageW(combo, CB_GETCURSEL, 0, 0), 2);
    EXPECT_EQ(ControlHost::text(combo), u"banana");
}

TEST_F(Combo, TheCreationHeightBecomesTheListHeight) {
    make(kDropDownList);
    RECT r;
    GetWindowRect(combo, &r);
    EXPECT_LT(r.bottom - r.top, 32);
    EXPECT_GT(r.bottom - r.top, 14);
    RECT dropped{};
    SendMessageW(combo, CB_GETDROPPEDCONTROLRECT, 0, reinterpret_cast<LPARAM>(&dropped));
    EXPECT_EQ(dropped.bottom - dropped.top, 200);
    MoveWindow(combo, 20, 20, 160, 300, TRUE);
    GetWindowRect(combo, &r);
    EXPECT_LT(r.bottom - r.top, 32);
}

TEST_F(Combo, ClickingOpensAndAnItemClickChoosesInWindowsOrder) {
    make(kDropDownList);
    headless::click(Button::Left, ControlHost::screen(combo, 50, 8));
    ControlHost::pump();
    ASSERT_TRUE(dropped());
    EXPECT_TRUE(IsWindowVisible(info().hwndList));
    EXPECT_EQ(GetFocus(), combo);
    EXPECT_EQ(GetActiveWindow(), host.frame());
    EXPECT_EQ(host.takeCodes(), (std::vector<int>{CBN_SETFOCUS, CBN_DROPDOWN}));
    headless::mouseMove(row(1));
    headless::click(Button::Left, row(1));
    ControlHost::pump();
    EXPECT_FALSE(dropped());
    EXPECT_FALSE(IsWindowVisible(info().hwndList));
    EXPECT_EQ(host.takeCodes(), (std::vector<int>{CBN_SELENDOK, CBN_CLOSEUP, CBN_SELCHANGE}));
    EXPECT_EQ(SendMessageW(combo, CB_GETCURSEL, 0, 0), 1);
    EXPECT_EQ(ControlHost::text(combo), u"Banana");
    EXPECT_EQ(GetFocus(), combo);
}

TEST_F(Combo, AClickOutsideCancels) {
    make(kDropDownList);
    SendMessageW(combo, CB_SETCURSEL, 0, 0);
    SetFocus(combo);
    SendMessageW(combo, CB_SHOWDROPDOWN, TRUE, 0);
    host.takeCodes();
    headless::click(Button::Left, ControlHost::screen(host.frame(), 380, 250));
    ControlHost::pump();
    EXPECT_FALSE(dropped());
    EXPECT_EQ(host.takeCodes(), (std::vector<int>{CBN_SELENDCANCEL, CBN_CLOSEUP}));
    EXPECT_EQ(SendMessageW(combo, CB_GETCURSEL, 0, 0), 0);
}

TEST_F(Combo, KeysMoveTheSelectionOpenChooseAndCancel) {
    make(kDropDownList);
    SetFocus(combo);
    host.takeCodes();
    ControlHost::chord({}, VK_DOWN);  // from no selection to the first item
    EXPECT_EQ(SendMessageW(combo, CB_GETCURSEL, 0, 0), 0);
    ControlHost::chord({}, VK_DOWN);
    EXPECT_EQ(SendMessageW(combo, CB_GETCURSEL, 0, 0), 1);
    EXPECT_EQ(host.takeCodes(), (std::vector<int>{CBN_SELENDOK, CBN_SELCHANGE, CBN_SELENDOK, CBN_SELCHANGE}));
    ControlHost::chord({}, VK_F1 + 3);
    ASSERT_TRUE(dropped());
    ControlHost::chord({}, VK_DOWN);
    ControlHost::chord({}, VK_DOWN);
    EXPECT_EQ(SendMessageW(combo, CB_GETCURSEL, 0, 0), 3);
    ControlHost::chord({}, VK_ESCAPE);
    EXPECT_FALSE(dropped());
    EXPECT_EQ(SendMessageW(combo, CB_GETCURSEL, 0, 0), 1);  // back to before the opening
    EXPECT_EQ(host.takeCodes(),
              (std::vector<int>{CBN_DROPDOWN, CBN_SELCHANGE, CBN_SELCHANGE, CBN_SELENDCANCEL, CBN_CLOSEUP}));
    ControlHost::chord({VK_MENU}, VK_DOWN);
    ASSERT_TRUE(dropped());
    ControlHost::chord({}, VK_UP);
    ControlHost::chord({}, VK_RETURN);
    EXPECT_FALSE(dropped());
    EXPECT_EQ(SendMessageW(combo, CB_GETCURSEL, 0, 0), 0);
    EXPECT_EQ(host.takeCodes(),
              (std::vector<int>{CBN_DROPDOWN, CBN_SELCHANGE, CBN_SELENDOK, CBN_CLOSEUP, CBN_SELCHANGE}));
    ControlHost::chord({}, VK_UP);  // at the first item already: nothing
    EXPECT_TRUE(host.takeCodes().empty());
    headless::typeText(u"c");
    ControlHost::pump();
    EXPECT_EQ(SendMessageW(combo, CB_GETCURSEL, 0, 0), 2);
}

TEST_F(Combo, TheWheelStepsAClosedBox) {
    make(kDropDownList);
    SendMessageW(combo, CB_SETCURSEL, 1, 0);
    SetFocus(combo);
    headless::mouseWheel(-WHEEL_DELTA, ControlHost::screen(combo, 10, 5));
    ControlHost::pump();
    EXPECT_EQ(SendMessageW(combo, CB_GETCURSEL, 0, 0), 2);
    headless::mouseWheel(3 * WHEEL_DELTA, ControlHost::screen(combo, 10, 5));
    ControlHost::pump();
    EXPECT_EQ(SendMessageW(combo, CB_GETCURSEL, 0, 0), 0);
}

TEST_F(Combo, TheWheelScrollsAnOpenList) {
    make(kDropDownList, {u"0", u"1", u"2", u"3", u"4", u"5", u"6", u"7", u"8", u"9", u"10", u"11", u"12", u"13"});
    SetFocus(combo);
    SendMessageW(combo, CB_SHOWDROPDOWN, TRUE, 0);
    ControlHost::pump();
    headless::mouseWheel(-WHEEL_DELTA, row(1));
    ControlHost::pump();
    EXPECT_EQ(SendMessageW(combo, CB_GETCURSEL, 0, 0), CB_ERR);  // scrolling chooses nothing
    headless::mouseMove(row(0));
    headless::click(Button::Left, row(0));
    ControlHost::pump();
    EXPECT_EQ(SendMessageW(combo, CB_GETCURSEL, 0, 0), 3);
}

TEST_F(Combo, ADropDownHasAnEditChildThatReportsTyping) {
    make(kDropDown);
    COMBOBOXINFO i = info();
    ASSERT_NE(i.hwndItem, combo);
    WCHAR cls[16] = {};
    GetClassNameW(i.hwndItem, cls, 16);
    EXPECT_EQ(std::u16string(cls), u"EDIT");
    EXPECT_EQ(GetDlgCtrlID(i.hwndItem), 1001);
    SetFocus(combo);
    EXPECT_EQ(GetFocus(), i.hwndItem);
    host.takeCodes();
    headless::typeText(u"日本");
    ControlHost::pump();
    EXPECT_EQ(ControlHost::text(combo), u"日本");
    EXPECT_EQ(host.takeCodes(), (std::vector<int>{CBN_EDITUPDATE, CBN_EDITCHANGE, CBN_EDITUPDATE, CBN_EDITCHANGE}));
    DWORD start = 0, end = 0;
    SendMessageW(combo, CB_GETEDITSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    EXPECT_EQ(end, 2u);
    SendMessageW(combo, CB_SETCURSEL, 2, 0);
    EXPECT_EQ(ControlHost::text(i.hwndItem), u"Cherry");
    EXPECT_TRUE(host.takeCodes().empty());  // setting the field's text is quiet
    ControlHost::chord({}, VK_DOWN);        // the field passes the list keys on
    EXPECT_EQ(ControlHost::text(i.hwndItem), u"りんご");
    EXPECT_EQ(host.takeCodes(), (std::vector<int>{CBN_SELENDOK, CBN_SELCHANGE}));
    EXPECT_EQ(SendMessageW(combo, CB_GETEDITSEL, 0, 0), MAKELRESULT(0, 3));
}

TEST_F(Combo, ADropDownOpensFromItsButtonOnly) {
    make(kDropDown);
    headless::click(Button::Left, ControlHost::screen(combo, 20, 8));
    ControlHost::pump();
    EXPECT_FALSE(dropped());
    EXPECT_EQ(GetFocus(), info().hwndItem);
    headless::click(Button::Left, ControlHost::screen(combo, 150, 8));
    ControlHost::pump();
    EXPECT_TRUE(dropped());
    headless::click(Button::Left, row(3));
    ControlHost::pump();
    EXPECT_EQ(ControlHost::text(combo), u"りんご");
}

TEST_F(Combo, DestroyingTheBoxDestroysItsList) {
    make(kDropDownList);
    SendMessageW(combo, CB_SHOWDROPDOWN, TRUE, 0);
    HWND list = info().hwndList;
    ASSERT_TRUE(IsWindow(list));
    DestroyWindow(combo);
    EXPECT_FALSE(IsWindow(list));
    EXPECT_EQ(GetCapture(), nullptr);
}

}  // namespace

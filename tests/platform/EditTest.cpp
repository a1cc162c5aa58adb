// The "EDIT" class driven through the headless display: typing, keys,
// mouse, the clipboard, notifications, the edit messages and painting.
#include <gtest/gtest.h>

#include "ControlHost.h"

using namespace veltrix::test;
namespace headless = veltrix::platform::headless;
using headless::Button;

namespace {

constexpr DWORD kField = WS_CHILD | WS_VISIBLE | WS_BORDER | ES_AUTOHSCROLL;
constexpr DWORD kArea = WS_CHILD | WS_VISIBLE | WS_BORDER | ES_MULTILINE | ES_AUTOVSCROLL | ES_AUTOHSCROLL;

struct Edit : ::testing::Test {
    ControlHost host;
    HWND edit = nullptr;
    void make(DWORD style, LPCWSTR text = u"", int width = 200, int height = 24) {
        edit = host.create(u"EDIT", text, style, 10, 10, width, height);
        ASSERT_TRUE(edit);
        SetFocus(edit);
        ControlHost::pump();
        host.notifications().clear();
    }
    std::u16string text() const { return ControlHost::text(edit); }
    std::pair<DWORD, DWORD> selection() const {
        DWORD start = 0, end = 0;
        SendMessageW(edit, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
        return {start, end};
    }
    void type(const std::u16string& s) {
        headless::typeText(s);
        ControlHost::pump();
    }
    POINT charPoint(std::size_t position) const {
        LRESULT r = SendMessageW(edit, EM_POSFROMCHAR, position, 0);
        return ControlHost::screen(edit, GET_X_LPARAM(r), GET_Y_LPARAM(r) + 4);
    }
    static std::u16string clipboard() {
        std::u16string text;
        if (!OpenClipboard(nullptr)) return text;
        if (HANDLE h = GetClipboardData(CF_UNICODETEXT)) {
            text = static_cast<const char16_t*>(GlobalLock(h));
            GlobalUnlock(h);
        }
        CloseClipboard();
        return text;
    }
    static void setClipboard(const std::u16string& text) {
        HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, (text.size() + 1) * 2);
        auto* p = static_cast<char16_t*>(GlobalLock(block));
        std::copy(text.begin(), text.end(), p);
        p[text.size()] = 0;
        GlobalUnlock(block);
        OpenClipboard(nullptr);
        EmptyClipboard();
        SetClipboardData(CF_UNICODETEXT, block);
        CloseClipboard();
    }
};

TEST_F(Edit, TypingSendsUpdateThenChangeForEveryCharacter) {
    make(kField);
    type(u"ab");
    EXPECT_EQ(text(), u"ab");
    EXPECT_EQ(host.takeCodes(), (std::vector<int>{EN_UPDATE, EN_CHANGE, EN_UPDATE, EN_CHANGE}));
    EXPECT_EQ(selection(), std::make_pair(DWORD{2}, DWORD{2}));
}

TEST_F(Edit, JapaneseTextArrivesAsCharactersAndAsImeCharacters) {
    make(kField);
    type(u"日本語");
    SendMessageW(edit, 0x0286 /* WM_IME_CHAR */, u'で', 1);
    SendMessageW(edit, 0x0286, u'す', 1);
    EXPECT_EQ(text(), u"日本語です");
    EXPECT_EQ(GetWindowTextLengthW(edit), 5);
    // A character beyond the basic plane comes as two units and stays whole.
    type(u"𠮷");
    ControlHost::chord({}, VK_LEFT);
    EXPECT_EQ(selection(), std::make_pair(DWORD{5}, DWORD{5}));
    ControlHost::chord({}, VK_DELETE);
    EXPECT_EQ(text(), u"日本語です");
}

TEST_F(Edit, SetTextNotifiesForOneLineFieldsOnlyAndPutsTheCaretFirst) {
    make(kField);
    SetWindowTextW(edit, u"hello");
    EXPECT_EQ(host.takeCodes(), (std::vector<int>{EN_UPDATE, EN_CHANGE}));
    EXPECT_EQ(selection(), std::make_pair(DWORD{0}, DWORD{0}));
    EXPECT_FALSE(SendMessageW(edit, EM_CANUNDO, 0, 0));
    DestroyWindow(edit);
    make(kArea, u"", 200, 80);
    SetWindowTextW(edit, u"one\r\ntwo");
    EXPECT_TRUE(host.takeCodes().empty());
    EXPECT_EQ(text(), u"one\r\ntwo");
}

TEST_F(Edit, FocusChangesAreNotified) {
    make(kField);
    HWND other = host.create(u"EDIT", u"", kField, 10, 50, 100, 24, 8);
    SetFocus(other);
    SetFocus(edit);
    std::vector<Notification> n = host.notifications();
    ASSERT_EQ(n.size(), 4u);
    EXPECT_EQ(n[0].from, edit);
    EXPECT_EQ(n[0].code, EN_KILLFOCUS);
    EXPECT_EQ(n[1].from, other);
    EXPECT_EQ(n[1].code, EN_SETFOCUS);
    EXPECT_EQ(n[2].code, EN_KILLFOCUS);
    EXPECT_EQ(n[3].from, edit);
    EXPECT_EQ(n[3].code, EN_SETFOCUS);
}

TEST_F(Edit, ShiftArrowsHomeAndEndSelect) {
    make(kField, u"hello world");
    ControlHost::chord({}, VK_END);
    ControlHost::chord({VK_SHIFT}, VK_LEFT);
    ControlHost::chord({VK_SHIFT}, VK_LEFT);
    EXPECT_EQ(selection(), std::make_pair(DWORD{9}, DWORD{11}));
    ControlHost::chord({VK_SHIFT, VK_CONTROL}, VK_LEFT);
    EXPECT_EQ(selection(), std::make_pair(DWORD{6}, DWORD{11}));
    ControlHost::chord({VK_SHIFT}, VK_HOME);
    EXPECT_EQ(selection(), std::make_pair(DWORD{0}, DWORD{11}));
    ControlHost::chord({}, VK_RIGHT);  // collapses to the end of the selection
    EXPECT_EQ(selection(), std::make_pair(DWORD{11}, DWORD{11}));
}

TEST_F(Edit, ClipboardRoundTripsThroughCutCopyPasteAndUndo) {
    make(kField, u"英語 and Japanese");
    ControlHost::chord({VK_CONTROL}, 'A');
    EXPECT_EQ(selection(), std::make_pair(DWORD{0}, DWORD{15}));
    SendMessageW(edit, EM_SETSEL, 0, 2);
    ControlHost::chord({VK_CONTROL}, 'C');
    EXPECT_EQ(clipboard(), u"英語");
    SendMessageW(edit, EM_SETSEL, 2, 6);
    ControlHost::chord({VK_CONTROL}, 'X');
    EXPECT_EQ(clipboard(), u" and");
    EXPECT_EQ(text(), u"英語 Japanese");
    SendMessageW(edit, EM_SETSEL, 99, 99);
    ControlHost::chord({VK_CONTROL}, 'V');
    EXPECT_EQ(text(), u"英語 Japanese and");
    ControlHost::chord({VK_CONTROL}, 'Z');
    EXPECT_EQ(text(), u"英語 Japanese");
    ControlHost::chord({VK_CONTROL}, 'Z');
    EXPECT_EQ(text(), u"英語 Japanese and");
}

TEST_F(Edit, PastingIntoAOneLineFieldKeepsTheFirstLine) {
    make(kField);
    setClipboard(u"first line\r\nsecond line");
    SendMessageW(edit, WM_PASTE, 0, 0);
    EXPECT_EQ(text(), u"first line");
    DestroyWindow(edit);
    make(kArea, u"", 200, 80);
    SendMessageW(edit, WM_PASTE, 0, 0);
    EXPECT_EQ(text(), u"first line\r\nsecond line");
    EXPECT_EQ(SendMessageW(edit, EM_GETLINECOUNT, 0, 0), 2);
}

// The toolkit subclasses the control: the clipboard keys must reach it as messages.
WNDPROC originalProc = nullptr;
int pastesSeen = 0;
LRESULT refusingPaste(HWND w, UINT m, WPARAM wp, LPARAM lp) {
    if (m == WM_PASTE) {
        ++pastesSeen;
        return 0;
    }
    return CallWindowProcW(originalProc, w, m, wp, lp);
}

TEST_F(Edit, ClipboardKeysReachASubclassingProcedureAsMessages) {
    make(kField, u"keep");
    setClipboard(u"pasted");
    originalProc =
        reinterpret_cast<WNDPROC>(SetWindowLongPtrW(edit, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(refusingPaste)));
    pastesSeen = 0;
    ControlHost::chord({VK_CONTROL}, 'V');
    ControlHost::chord({VK_SHIFT}, VK_INSERT);
    EXPECT_EQ(pastesSeen, 2);
    EXPECT_EQ(text(), u"keep");
    SetWindowLongPtrW(edit, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(originalProc));
}

TEST_F(Edit, ReadOnlyRefusesEditsButCopies) {
    make(kField | ES_READONLY, u"fixed");
    type(u"x");
    ControlHost::chord({}, VK_BACK);
    ControlHost::chord({}, VK_DELETE);
    SendMessageW(edit, EM_SETSEL, 0, -1);
    ControlHost::chord({VK_CONTROL}, 'X');
    ControlHost::chord({VK_CONTROL}, 'V');
    EXPECT_EQ(text(), u"fixed");
    EXPECT_TRUE(host.takeCodes().empty());
    ControlHost::chord({VK_CONTROL}, 'C');
    EXPECT_EQ(clipboard(), u"fixed");
    SendMessageW(edit, EM_SETREADONLY, FALSE, 0);
    EXPECT_FALSE(GetWindowLongW(edit, GWL_STYLE) & ES_READONLY);
    type(u"!");
    EXPECT_EQ(text(), u"!");
}

TEST_F(Edit, NumberFieldsRefuseOtherCharacters) {
    make(kField | ES_NUMBER);
    type(u"1a2-3");
    EXPECT_EQ(text(), u"123");
    setClipboard(u"45x");
    SendMessageW(edit, WM_PASTE, 0, 0);
    EXPECT_EQ(text(), u"123");
}

TEST_F(Edit, LimitRefusesTextAndSaysSo) {
    make(kField);
    SendMessageW(edit, EM_LIMITTEXT, 3, 0);
    EXPECT_EQ(SendMessageW(edit, EM_GETLIMITTEXT, 0, 0), 3);
    type(u"abcd");
    EXPECT_EQ(text(), u"abc");
    std::vector<int> codes = host.takeCodes();
    ASSERT_FALSE(codes.empty());
    EXPECT_EQ(codes.back(), EN_MAXTEXT);
}

TEST_F(Edit, SetSelMessagesFollowWindows) {
    make(kField, u"0123456789");
    struct Case {
        WPARAM start;
        LPARAM end;
        DWORD wantStart, wantEnd;
    };
    const Case cases[] = {
        {0, -1, 0, 10},                        // all
        {5, 2, 2, 5},                          // reported in order
        {3, 99, 3, 10},                        // clamped
        {static_cast<WPARAM>(-1), 0, 10, 10},  // -1 keeps the caret and drops the selection
        {static_cast<WPARAM>(-2), 4, 4, 10},   // other negative starts mean the end
    };
    for (const Case& c : cases) {
        SendMessageW(edit, EM_SETSEL, c.start, c.end);
        EXPECT_EQ(selection(), std::make_pair(c.wantStart, c.wantEnd)) << c.start << "," << c.end;
    }
    SendMessageW(edit, EM_SETSEL, 5, 2);
    ControlHost::chord({VK_SHIFT}, VK_LEFT);  // the caret was at 2
    EXPECT_EQ(selection(), std::make_pair(DWORD{1}, DWORD{5}));
}

TEST_F(Edit, LineMessagesAnswerForMultiLineText) {
    make(kArea, u"", 200, 80);
    SetWindowTextW(edit, u"ab\r\ncde\r\n");
    EXPECT_EQ(SendMessageW(edit, EM_GETLINECOUNT, 0, 0), 3);
    EXPECT_EQ(SendMessageW(edit, EM_LINEINDEX, 1, 0), 4);
    EXPECT_EQ(SendMessageW(edit, EM_LINEINDEX, 3, 0), -1);
    EXPECT_EQ(SendMessageW(edit, EM_LINELENGTH, 5, 0), 3);
    EXPECT_EQ(SendMessageW(edit, EM_LINELENGTH, 500, 0), 0);
    EXPECT_EQ(SendMessageW(edit, EM_LINEFROMCHAR, 6, 0), 1);
    WCHAR buffer[8] = {};
    buffer[0] = 2;  // room for two characters only
    EXPECT_EQ(SendMessageW(edit, EM_GETLINE, 1, reinterpret_cast<LPARAM>(buffer)), 2);
    EXPECT_EQ(std::u16string(buffer, 2), u"cd");
    EXPECT_EQ(buffer[2], 0);
    buffer[0] = 8;
    EXPECT_EQ(SendMessageW(edit, EM_GETLINE, 9, reinterpret_cast<LPARAM>(buffer)), 0);
    EXPECT_EQ(SendMessageW(edit, EM_GETLINE, 0, 0), 0);
    SendMessageW(edit, EM_SETSEL, 5, 5);
    ControlHost::chord({}, VK_UP);
    EXPECT_EQ(selection().first, 1u);
    ControlHost::chord({}, VK_DOWN);
    ControlHost::chord({}, VK_DOWN);
    EXPECT_EQ(selection().first, 9u);
}

TEST_F(Edit, ReturnAndTabGoIntoMultiLineTextOnly) {
    make(kArea, u"", 200, 80);
    type(u"a");
    ControlHost::chord({}, VK_RETURN);
    ControlHost::chord({}, VK_TAB);
    type(u"b");
    EXPECT_EQ(text(), u"a\r\n\tb");
    ControlHost::chord({}, VK_BACK);
    ControlHost::chord({}, VK_BACK);
    ControlHost::chord({}, VK_BACK);
    EXPECT_EQ(text(), u"a");
    DestroyWindow(edit);
    make(kField);
    type(u"a");
    ControlHost::chord({}, VK_RETURN);
    ControlHost::chord({}, VK_TAB);
    EXPECT_EQ(text(), u"a");
}

TEST_F(Edit, ReplaceSelRecordsUndoOnlyWhenAsked) {
    make(kField, u"abc");
    SendMessageW(edit, EM_SETSEL, 1, 2);
    SendMessageW(edit, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(u"XY"));
    EXPECT_EQ(text(), u"aXYc");
    EXPECT_EQ(host.takeCodes(), (std::vector<int>{EN_UPDATE, EN_CHANGE}));
    EXPECT_FALSE(SendMessageW(edit, EM_CANUNDO, 0, 0));
    SendMessageW(edit, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(u"Z"));
    EXPECT_TRUE(SendMessageW(edit, EM_CANUNDO, 0, 0));
    EXPECT_TRUE(SendMessageW(edit, EM_UNDO, 0, 0));
    EXPECT_EQ(text(), u"aXYc");
    SendMessageW(edit, EM_REPLACESEL, TRUE, 0);  // a null text is an empty one
    EXPECT_EQ(text(), u"aXYc");
}

TEST_F(Edit, MouseClicksDragsAndDoubleClicksSelect) {
    make(kField, u"one two 日本語");
    headless::click(Button::Left, charPoint(4));
    ControlHost::pump();
    EXPECT_EQ(selection(), std::make_pair(DWORD{4}, DWORD{4}));
    headless::mouseButton(Button::Left, true, charPoint(1));
    headless::mouseMove(charPoint(6));
    headless::mouseButton(Button::Left, false, charPoint(6));
    ControlHost::pump();
    EXPECT_EQ(selection(), std::make_pair(DWORD{1}, DWORD{6}));
    EXPECT_EQ(GetCapture(), nullptr);
    POINT p = charPoint(9);
    p.x += 2;
    headless::click(Button::Left, p);
    headless::click(Button::Left, p);
    ControlHost::pump();
    EXPECT_EQ(selection(), std::make_pair(DWORD{8}, DWORD{11}));
    EXPECT_EQ(headless::cursor(), reinterpret_cast<std::uintptr_t>(IDC_IBEAM));
    // A double click held and dragged selects whole words.
    POINT two = charPoint(5);
    headless::click(Button::Left, two);
    headless::mouseButton(Button::Left, true, two);
    headless::mouseMove(charPoint(1));
    ControlHost::pump();
    EXPECT_EQ(selection(), std::make_pair(DWORD{0}, DWORD{7}));
    headless::mouseButton(Button::Left, false, charPoint(1));
    ControlHost::pump();
    EXPECT_EQ(GetCapture(), nullptr);
}

TEST_F(Edit, LongTextScrollsToKeepTheCaretVisible) {
    make(kField, u"", 80);
    type(u"the quick brown fox jumps over the lazy dog");
    RECT client;
    GetClientRect(edit, &client);
    LRESULT caret = SendMessageW(edit, EM_POSFROMCHAR, 43, 0);
    EXPECT_GE(GET_X_LPARAM(caret), 0);
    EXPECT_LT(GET_X_LPARAM(caret), client.right);
    EXPECT_LT(GET_X_LPARAM(SendMessageW(edit, EM_POSFROMCHAR, 0, 0)), 0);
    ControlHost::chord({}, VK_HOME);
    EXPECT_EQ(GET_X_LPARAM(SendMessageW(edit, EM_POSFROMCHAR, 0, 0)), 3);
}

TEST_F(Edit, AlignmentAndMarginsPlaceTheText) {
    make(kField | ES_RIGHT, u"42", 100);
    RECT client;
    GetClientRect(edit, &client);
    int right = GET_X_LPARAM(SendMessageW(edit, EM_POSFROMCHAR, 2, 0));
    EXPECT_GE(right, client.right - 5);
    EXPECT_LE(right, client.right - 3);
    DestroyWindow(edit);
    make(kField | ES_CENTER, u"42", 100);
    int left = GET_X_LPARAM(SendMessageW(edit, EM_POSFROMCHAR, 0, 0));
    right = GET_X_LPARAM(SendMessageW(edit, EM_POSFROMCHAR, 2, 0));
    EXPECT_NEAR(left + right, client.right, 3);
    DestroyWindow(edit);
    make(kField, u"42", 100);
    SendMessageW(edit, EM_SETMARGINS, EC_LEFTMARGIN | EC_RIGHTMARGIN, MAKELPARAM(10, 6));
    EXPECT_EQ(SendMessageW(edit, EM_GETMARGINS, 0, 0), MAKELRESULT(10, 6));
    EXPECT_EQ(GET_X_LPARAM(SendMessageW(edit, EM_POSFROMCHAR, 0, 0)), 10);
    EXPECT_EQ(SendMessageW(edit, EM_POSFROMCHAR, 3, 0), -1);
}

TEST_F(Edit, MultiLineTextScrollsToTheCaretLineAndWithTheWheel) {
    make(kArea, u"", 200, 60);
    for (int i = 0; i < 12; ++i) {
        type(u"line");
        ControlHost::chord({}, VK_RETURN);
    }
    LRESULT first = SendMessageW(edit, EM_GETFIRSTVISIBLELINE, 0, 0);
    EXPECT_GT(first, 8);
    LRESULT caret = SendMessageW(edit, EM_POSFROMCHAR, SendMessageW(edit, EM_LINEINDEX, 12, 0), 0);
    RECT client;
    GetClientRect(edit, &client);
    EXPECT_LT(GET_Y_LPARAM(caret), client.bottom);
    headless::mouseWheel(WHEEL_DELTA, ControlHost::screen(edit, 10, 10));
    ControlHost::pump();
    EXPECT_EQ(SendMessageW(edit, EM_GETFIRSTVISIBLELINE, 0, 0), first - 3);
    ControlHost::chord({VK_CONTROL}, VK_HOME);
    EXPECT_EQ(SendMessageW(edit, EM_GETFIRSTVISIBLELINE, 0, 0), 0);
    EXPECT_EQ(SendMessageW(edit, EM_SCROLL, SB_LINEDOWN, 0), MAKELRESULT(1, 1));
    SendMessageW(edit, WM_VSCROLL, SB_PAGEDOWN, 0);
    EXPECT_GE(SendMessageW(edit, EM_GETFIRSTVISIBLELINE, 0, 0), 1 + 2);  // a page is the rows that show
    SendMessageW(edit, WM_VSCROLL, SB_BOTTOM, 0);
    EXPECT_EQ(SendMessageW(edit, EM_GETFIRSTVISIBLELINE, 0, 0), 12);
    SendMessageW(edit, WM_VSCROLL, SB_LINEDOWN, 0);  // no further than the last line
    EXPECT_EQ(SendMessageW(edit, EM_GETFIRSTVISIBLELINE, 0, 0), 12);
}

TEST_F(Edit, PaintsTheSelectionInTheFocusColourAndAsksTheParentForColours) {
    make(kField, u"MMMM");
    SendMessageW(edit, EM_SETSEL, 0, 4);
    ControlHost::pump();
    LRESULT end = SendMessageW(edit, EM_POSFROMCHAR, 3, 0);
    COLORREF inSelection = headless::pixel(edit, GET_X_LPARAM(end) + 2, GET_Y_LPARAM(end));
    EXPECT_EQ(inSelection, RGB(0x00, 0x78, 0xD4));
    host.setEditColour(RGB(0xFF, 0xF0, 0xC0));
    SendMessageW(edit, EM_SETSEL, 0, 0);
    InvalidateRect(edit, nullptr, TRUE);
    ControlHost::pump();
    RECT client;
    GetClientRect(edit, &client);
    EXPECT_EQ(headless::pixel(edit, client.right - 2, 1), RGB(0xFF, 0xF0, 0xC0));
}

}  // namespace

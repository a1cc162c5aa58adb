// The editor driven as an edit control: messages in, text and notifications
// out, in order.
#include <gtest/gtest.h>

#include <algorithm>

#include "EditorWindowFixture.h"
#include "platform/api/GdiHandles.h"
#include "support/TempDir.h"

using namespace veltrix::test;
using Events = std::vector<std::string>;

namespace {

LPARAM wide(const char16_t* text) { return reinterpret_cast<LPARAM>(text); }

std::pair<DWORD, DWORD> selection(TextEditor& editor) {
    DWORD start = 99, end = 99;
    SendMessageW(editor.getHandle(), EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    return {start, end};
}

using Sel = std::pair<DWORD, DWORD>;

TEST_F(EditorWindow, SelectReplaceAndReadBackWithNotificationsInOrder) {
    send(WM_SETTEXT, 0, wide(u"Hello world"));
    EXPECT_EQ(takeEvents(),
              (Events{"modifiedChanged", "EN_CHANGE", "caretMoved", "textChanged", "EN_UPDATE", "caretMoved"}));
    EXPECT_EQ(windowText(), u"Hello world");
    EXPECT_EQ(send(WM_GETTEXTLENGTH), 11);

    send(EM_SETSEL, 6, 11);
    EXPECT_EQ(takeEvents(), (Events{"caretMoved"}));
    EXPECT_EQ(selection(editor), (Sel{6, 11}));
    EXPECT_EQ(send(EM_GETSEL), MAKELRESULT(6, 11));

    send(EM_REPLACESEL, TRUE, wide(u"there, 日本"));
    // Already modified: no EN_CHANGE this time.
    EXPECT_EQ(takeEvents(), (Events{"caretMoved", "textChanged", "EN_UPDATE"}));
    EXPECT_EQ(windowText(), u"Hello there, 日本");
    EXPECT_EQ(selection(editor), (Sel{15, 15}));

    send(EM_SETMODIFY, FALSE);
    EXPECT_EQ(takeEvents(), (Events{"modifiedChanged", "EN_CHANGE"}));
    EXPECT_EQ(send(EM_GETMODIFY), FALSE);
    send(EM_SETMODIFY, FALSE);
    EXPECT_TRUE(takeEvents().empty());

    ASSERT_EQ(send(EM_CANUNDO), TRUE);
    send(EM_UNDO);
    EXPECT_EQ(windowText(), u"Hello world");
    EXPECT_EQ(selection(editor), (Sel{11, 11}));
    EXPECT_EQ(send(EM_GETMODIFY), TRUE);
    EXPECT_EQ(send(EM_CANREDO), TRUE);
    send(EM_REDO);
    EXPECT_EQ(windowText(), u"Hello there, 日本");
}

TEST_F(EditorWindow, SelectionEndsAreClampedAndOrdered) {
    send(WM_SETTEXT, 0, wide(u"0123456789"));
    struct Case {
        int anchor, caret;
        int wantAnchor, wantCaret;
    };
    const Case cases[] = {
        {0, -1, 0, 10}, {5, 2, 5, 2}, {2, 5, 2, 5}, {100, 200, 10, 10}, {-1, 3, 10, 3}, {7, 7, 7, 7},
    };
    for (const Case& c : cases) {
        send(EM_SETSEL, static_cast<WPARAM>(c.anchor), c.caret);
        EXPECT_EQ(editor.anchor(), c.wantAnchor);
        EXPECT_EQ(editor.caret(), c.wantCaret);
        EXPECT_EQ(selection(editor), (Sel{static_cast<DWORD>(std::min(c.wantAnchor, c.wantCaret)),
                                          static_cast<DWORD>(std::max(c.wantAnchor, c.wantCaret))}));
    }
    CHARRANGE range{8, 3};
    send(EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&range));
    CHARRANGE back{};
    send(EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&back));
    EXPECT_EQ(back.cpMin, 3);
    EXPECT_EQ(back.cpMax, 8);
}

TEST_F(EditorWindow, UnrecordedReplacementNeitherModifiesNorUndoes) {
    send(EM_REPLACESEL, FALSE, wide(u"quiet"));
    EXPECT_EQ(windowText(), u"quiet");
    EXPECT_EQ(send(EM_CANUNDO), FALSE);
    EXPECT_EQ(send(EM_GETMODIFY), FALSE);
    EXPECT_EQ(takeEvents(), (Events{"caretMoved", "textChanged", "EN_UPDATE"}));
}

TEST_F(EditorWindow, ReadOnlyEditsAreMadeButNotRecorded) {
    send(EM_SETREADONLY, TRUE);
    EXPECT_TRUE(editor.readOnly());
    send(EM_REPLACESEL, TRUE, wide(u"shown"));
    EXPECT_EQ(windowText(), u"shown");
    EXPECT_EQ(send(EM_CANUNDO), FALSE);
    // Typing does nothing in a read-only editor.
    SetFocus(editor.getHandle());
    veltrix::platform::headless::typeText(u"x");
    veltrix::platform::headless::pumpMessages();
    EXPECT_EQ(windowText(), u"shown");
}

TEST_F(EditorWindow, LineQueries) {
    send(WM_SETTEXT, 0, wide(u"ab\r\ncd\ne"));
    EXPECT_EQ(send(EM_LINEINDEX, 0), 0);
    EXPECT_EQ(send(EM_LINEINDEX, 1), 4);
    EXPECT_EQ(send(EM_LINEINDEX, 2), 7);
    EXPECT_EQ(send(EM_LINEINDEX, 3), -1);
    send(EM_SETSEL, 5, 5);
    EXPECT_EQ(send(EM_LINEINDEX, static_cast<WPARAM>(-1)), 4);
    EXPECT_EQ(send(EM_LINELENGTH, 5), 3);
    EXPECT_EQ(send(EM_LINELENGTH, 0), 4);
    EXPECT_EQ(send(EM_LINEFROMCHAR, 7), 2);
    EXPECT_EQ(send(EM_LINEFROMCHAR, static_cast<WPARAM>(-1)), 1);
    EXPECT_EQ(send(EM_GETLINECOUNT), 3);

    char16_t buffer[16] = {};
    buffer[0] = 15;
    EXPECT_EQ(send(EM_GETLINE, 1, reinterpret_cast<LPARAM>(buffer)), 3);
    EXPECT_EQ(std::u16string(buffer, 3), u"cd\n");
    buffer[0] = 15;
    EXPECT_EQ(send(EM_GETLINE, 9, reinterpret_cast<LPARAM>(buffer)), 0);
    // A buffer smaller than the line gets what fits.
    buffer[0] = 2;
    EXPECT_EQ(send(EM_GETLINE, 0, reinterpret_cast<LPARAM>(buffer)), 2);
    EXPECT_EQ(std::u16string(buffer, 2), u"ab");

    char16_t small[4] = {};
    EXPECT_EQ(send(WM_GETTEXT, 4, reinterpret_cast<LPARAM>(small)), 3);
    EXPECT_EQ(std::u16string(small), u"ab\r");
}

TEST_F(EditorWindow, DialogCodesMarginsLimitAndAnsweredZero) {
    EXPECT_EQ(send(WM_GETDLGCODE), DLGC_WANTALLKEYS);
    send(EM_SETMARGINS, EC_LEFTMARGIN | EC_RIGHTMARGIN, MAKELPARAM(10, 12));
    EXPECT_EQ(send(EM_GETMARGINS), MAKELRESULT(10, 12));
    RECT rect{};
    send(EM_GETRECT, 0, reinterpret_cast<LPARAM>(&rect));
    EXPECT_EQ(rect.left, 10);
    EXPECT_EQ(rect.top, 2);
    EXPECT_EQ(rect.right, kWidth - 12);
    RECT narrower{20, 5, kWidth - 30, kHeight - 6};
    send(EM_SETRECT, 0, reinterpret_cast<LPARAM>(&narrower));
    EXPECT_EQ(editor.margins().left, 20);
    EXPECT_EQ(editor.margins().top, 5);
    EXPECT_EQ(editor.margins().right, 30);
    EXPECT_EQ(editor.margins().bottom, 6);

    EXPECT_EQ(send(EM_GETLIMITTEXT), -1);
    send(EM_LIMITTEXT, 40);
    EXPECT_EQ(send(EM_GETLIMITTEXT), 40);
    for (UINT message : {EM_SETOPTIONS, EM_GETHANDLE, EM_SETHANDLE, EM_FMTLINES, EM_GETPASSWORDCHAR}) {
        EXPECT_EQ(send(message, 1, 1), 0) << message;
    }
    EXPECT_EQ(send(EM_SETBKGNDCOLOR, 0, RGB(1, 2, 3)), static_cast<LRESULT>(GetSysColor(COLOR_WINDOW)));
    EXPECT_EQ(editor.color(ColorSlot::Background), RGB(1, 2, 3));
}

TEST_F(EditorWindow, FieldModeIsOneUnwrappedLineInAFrame) {
    editor.fieldMode();
    EXPECT_EQ(editor.style() & (WS_VSCROLL | ES_MULTILINE | ES_NOHIDESEL), 0u);
    EXPECT_FALSE(editor.wordWrap());
    EXPECT_EQ(send(WM_GETDLGCODE), DLGC_WANTARROWS | DLGC_HASSETSEL);
    std::u16string longLine(400, u'w');
    send(WM_SETTEXT, 0, wide(longLine.c_str()));
    EXPECT_EQ(send(EM_GETLINECOUNT), 1);
    veltrix::platform::headless::pumpMessages();
    EXPECT_EQ(veltrix::platform::headless::pixel(editor.getHandle(), 0, 0), RGB(150, 170, 250));
    EXPECT_EQ(veltrix::platform::headless::pixel(editor.getHandle(), kWidth - 1, kHeight / 2), RGB(150, 170, 250));
}

TEST_F(EditorWindow, ReWrappingAfterAnEditTouchesOnlyTheAffectedLines) {
    std::u16string text;
    for (int i = 0; i < 40; ++i)
        text +=
            u"A line of text that wraps once or twice in a narrow editor window, as long lines of a "
            u"lesson's transcript do.\r\n";
    send(WM_SETTEXT, 0, wide(text.c_str()));
    LineTable& lines = const_cast<TextDocument&>(editor.document()).lines();
    const int rowsBefore = editor.totalRows();
    // A line far from the edit keeps what it has.
    const LineTable::WrapList kept = lines.wrapList(20);
    ASSERT_GE(kept.size(), 3u);
    LineTable::WrapList marked = kept;
    marked.back() = -77;
    lines.setLayout(20, marked);
    send(EM_SETSEL, 3, 3);
    send(EM_REPLACESEL, TRUE, wide(u"short "));
    EXPECT_EQ(lines.wrapList(20).back(), -77);
    lines.setLayout(20, kept);
    // The edited line was re-wrapped: every row start lies inside it.
    EXPECT_GE(lines.rowCount(0), 1);
    EXPECT_EQ(lines.wrapList(0).back(), lines.lineStart(1) - lines.lineStart(0) - 1);
    EXPECT_GE(editor.totalRows(), rowsBefore);
    EXPECT_EQ(lines.firstRow(1), lines.rowCount(0));
}

TEST_F(EditorWindow, OpeningAFile) {
    TempDir folder;
    folder.write("study.txt", "\xEF\xBB\xBFListen carefully.\r\n\xE8\x81\x9E\xE3\x81\x8D\xE3\x81\xBE\xE3\x81\x99\r\n");
    send(WM_SETTEXT, 0, wide(u"old"));
    takeEvents();
    EXPECT_FALSE(editor.openFile(folder.file("missing.txt")));
    EXPECT_EQ(windowText(), u"old");
    EXPECT_TRUE(takeEvents().empty());

    ASSERT_TRUE(editor.openFile(folder.file("study.txt")));
    EXPECT_EQ(windowText(), u"Listen carefully.\r\n聞きます\r\n");
    EXPECT_EQ(send(EM_GETMODIFY), FALSE);
    EXPECT_EQ(send(EM_CANUNDO), FALSE);
    EXPECT_EQ(selection(editor), (Sel{0, 0}));
    EXPECT_EQ(takeEvents(), (Events{"modifiedChanged", "EN_CHANGE", "caretMoved"}));
}

TEST_F(EditorWindow, ScrollMessages) {
    std::u16string text;
    for (int i = 0; i < 200; ++i) text += u"row\r\n";
    send(WM_SETTEXT, 0, wide(text.c_str()));
    takeEvents();
    const int visible = editor.scrollPosition().visibleRows;
    ASSERT_GT(visible, 4);
    send(EM_LINESCROLL, 0, 5);
    EXPECT_EQ(send(EM_GETFIRSTVISIBLELINE), 5);
    send(EM_LINESCROLL, 0, -50);
    EXPECT_EQ(send(EM_GETFIRSTVISIBLELINE), 0);
    EXPECT_EQ(send(EM_SCROLL, SB_PAGEDOWN), MAKELRESULT(visible, TRUE));
    // Scrolling re-places the caret on the screen; the parent hears one EN_VSCROLL.
    const Events events = takeEvents();
    EXPECT_EQ(std::count(events.begin(), events.end(), "EN_VSCROLL"), 1);
    EXPECT_EQ(events.back(), "EN_VSCROLL");
    send(WM_VSCROLL, SB_BOTTOM);
    EXPECT_EQ(send(EM_GETTHUMB), 201 - visible);
    send(WM_VSCROLL, MAKEWPARAM(SB_THUMBTRACK, 10));
    EXPECT_EQ(send(EM_GETFIRSTVISIBLELINE), 10);

    // The caret's row comes into view above the last visible row.
    send(EM_SETSEL, 150 * 5, 150 * 5);
    send(EM_SCROLLCARET);
    EXPECT_EQ(send(EM_GETFIRSTVISIBLELINE), 150 - (visible - 2));
    // And a quarter of the way down.
    editor.scrollCaretToQuarter();
    EXPECT_EQ(send(EM_GETFIRSTVISIBLELINE), 150 - visible / 4);

    // The wheel scrolls three rows a notch.
    send(EM_LINESCROLL, 0, -500);
    SetFocus(editor.getHandle());
    veltrix::platform::headless::mouseWheel(-WHEEL_DELTA, screen(50, 50));
    veltrix::platform::headless::pumpMessages();
    EXPECT_EQ(send(EM_GETFIRSTVISIBLELINE), 3);
}

TEST_F(EditorWindow, HitTestingBothWays) {
    send(WM_SETTEXT, 0, wide(u"ab\r\ncd"));
    const LRESULT a = send(EM_POSFROMCHAR, 0);
    const LRESULT b = send(EM_POSFROMCHAR, 1);
    const LRESULT c = send(EM_POSFROMCHAR, 4);
    EXPECT_EQ(GET_X_LPARAM(a), 2);
    EXPECT_EQ(GET_Y_LPARAM(a), 2);
    EXPECT_GT(GET_X_LPARAM(b), GET_X_LPARAM(a));
    EXPECT_EQ(GET_Y_LPARAM(c), 2 + editor.rowHeight());
    const LRESULT hit = send(EM_CHARFROMPOS, 0, MAKELPARAM(GET_X_LPARAM(b) + 1, GET_Y_LPARAM(c) + 3));
    EXPECT_EQ(LOWORD(static_cast<DWORD_PTR>(hit)), 5);
    EXPECT_EQ(HIWORD(static_cast<DWORD_PTR>(hit)), 1);
    // A point above the text is on the row above the first: the top row.
    EXPECT_EQ(LOWORD(static_cast<DWORD_PTR>(send(EM_CHARFROMPOS, 0, MAKELPARAM(200, 0)))), 2);
}

TEST_F(EditorWindow, FontMessages) {
    const int before = editor.fontHeight();
    LOGFONTW big{};
    big.lfHeight = -30;
    UniqueFont font(CreateFontIndirectW(&big));
    send(WM_SETFONT, reinterpret_cast<WPARAM>(font.get()), TRUE);
    font.reset();  // the editor keeps a font of its own
    EXPECT_GT(editor.fontHeight(), before);
    EXPECT_EQ(editor.rowHeight(), editor.fontHeight() + 4);
    EXPECT_EQ(editor.font().lfHeight, -30);
    HFONT own = reinterpret_cast<HFONT>(send(WM_GETFONT));
    LOGFONTW read{};
    ASSERT_NE(GetObjectW(own, sizeof read, &read), 0);
    EXPECT_EQ(read.lfHeight, -30);

    CHARFORMATW format{};
    format.cbSize = sizeof format;
    format.dwMask = CFM_SIZE | CFM_BOLD | CFM_COLOR;
    format.yHeight = 100;  // 5 pixels: raised to the smallest height
    format.dwEffects = CFE_BOLD;
    format.crTextColor = RGB(10, 20, 30);
    send(EM_SETCHARFORMAT, 0, reinterpret_cast<LPARAM>(&format));
    EXPECT_EQ(editor.font().lfHeight, 8);
    EXPECT_EQ(editor.font().lfWeight, FW_BOLD);
    EXPECT_EQ(editor.color(ColorSlot::Text), RGB(10, 20, 30));
}

}  // namespace

namespace {

TEST_F(EditorWindow, IsAToolkitWindowOfItsOwnClassWithTheIBeam) {
    EXPECT_EQ(BaseWindow::fromHandle(editor.getHandle()), &editor);
    WCHAR name[32] = {};
    GetClassNameW(editor.getHandle(), name, 32);
    EXPECT_EQ(std::u16string(name), u"TextEditor");
    WNDCLASSEXW info{};
    info.cbSize = sizeof info;
    ASSERT_TRUE(GetClassInfoExW(GetModuleHandleW(nullptr), u"TextEditor", &info));
    EXPECT_EQ(info.hCursor, LoadCursorW(nullptr, IDC_IBEAM));
    EXPECT_EQ(editor.style(), TextEditor::kDefaultStyle);
    EXPECT_TRUE(editor.wordWrap());
    // Destroying the window detaches it; the editor can be made again.
    editor.destroyWindow();
    EXPECT_EQ(editor.getHandle(), nullptr);
    ASSERT_TRUE(editor.createAt(frame, 0, 0, 100, 50));
    EXPECT_EQ(windowText(), u"");
}

}  // namespace

// What the editor paints: line-end marks, the selection with and without the
// focus, the caret, and characters drawn as boxes.
#include <gtest/gtest.h>

#include "EditorWindowFixture.h"

using namespace veltrix::test;
namespace headless = veltrix::platform::headless;

namespace {

struct EditorPaint : EditorWindow {
    void setText(const char16_t* text) {
        send(WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text));
        headless::pumpMessages();
    }
};

TEST_F(EditorPaint, ALineBreakUnlikeTheDocumentsIsAWhiteArrowOnAnOrangeBox) {
    // Two "\r\n" against one lone "\n": the document uses "\r\n".
    setText(u"ab\r\ncd\nef\r\ngh");
    ASSERT_EQ(editor.document().lineEnding(), line_ending::kCrLf);
    const POINT foreign = pointOf(6);  // the lone "\n" after "cd"
    const int top = foreign.y + editor.fontHeight() - 8;
    EXPECT_EQ(at(foreign.x, top), RGB(255, 96, 32));
    EXPECT_EQ(at(foreign.x + 7, top + 7), RGB(255, 96, 32));
    // The down arrow: its stem is the third column of the 6 x 6 mark.
    EXPECT_EQ(at(foreign.x + 1 + 2, top + 1), RGB(255, 255, 255));
    EXPECT_EQ(at(foreign.x + 1 + 0, top + 1), RGB(255, 96, 32));

    // The document's own break is a plain return arrow in the end-of-line colour.
    const POINT own = pointOf(2);
    const int markTop = own.y + editor.fontHeight() - 7;
    EXPECT_EQ(at(own.x + 1 + 5, markTop), editor.color(ColorSlot::EndOfLine));
    EXPECT_EQ(at(own.x + 1 + 0, markTop), editor.color(ColorSlot::Background));
    // Without marks the own break vanishes; the foreign one stays.
    editor.setEndOfLineMarks(false);
    headless::pumpMessages();
    EXPECT_EQ(at(own.x + 1 + 5, markTop), editor.color(ColorSlot::Background));
    EXPECT_EQ(at(foreign.x, top), RGB(255, 96, 32));
}

TEST_F(EditorPaint, SelectionHidesWithoutFocusUnlessAskedNotTo) {
    setText(u"selected words here");
    send(EM_SETSEL, 0, 8);
    SetFocus(editor.getHandle());
    headless::pumpMessages();
    const POINT inside = pointOf(1);
    EXPECT_EQ(at(inside.x, inside.y + 1), editor.color(ColorSlot::Highlight));
    takeEvents();
    SetFocus(frame);
    headless::pumpMessages();
    const auto events = takeEvents();
    EXPECT_NE(std::find(events.begin(), events.end(), "EN_KILLFOCUS"), events.end());
    EXPECT_EQ(at(inside.x, inside.y + 1), editor.color(ColorSlot::Background));

    recreate(TextEditor::kDefaultStyle | ES_NOHIDESEL);
    setText(u"selected words here");
    send(EM_SETSEL, 0, 8);
    headless::pumpMessages();
    EXPECT_EQ(at(inside.x, inside.y + 1), editor.color(ColorSlot::Highlight));
}

TEST_F(EditorPaint, TheCaretShowsOnlyWithTheFocus) {
    setText(u"caret");
    send(EM_SETSEL, 2, 2);
    headless::pumpMessages();
    const POINT caret = pointOf(2);
    EXPECT_EQ(at(caret.x, caret.y + editor.fontHeight() / 2), editor.color(ColorSlot::Background));
    SetFocus(editor.getHandle());
    headless::pumpMessages();
    EXPECT_EQ(at(caret.x, caret.y + editor.fontHeight() / 2), editor.color(ColorSlot::Text));
    EXPECT_EQ(at(caret.x + 1, caret.y + editor.fontHeight() / 2), editor.color(ColorSlot::Text));
}

TEST_F(EditorPaint, FindMatchesAndSurrogates) {
    setText(u"find me, find me \U0001F600 end");
    editor.setFindHighlight(u"find", 0);
    headless::pumpMessages();
    const POINT second = pointOf(9);
    EXPECT_EQ(at(second.x + 1, second.y + 1), editor.color(ColorSlot::FindBackground));
    // The plain search is case-sensitive.
    editor.setFindHighlight(u"FIND", 0);
    headless::pumpMessages();
    EXPECT_EQ(at(second.x + 1, second.y + 1), editor.color(ColorSlot::Background));
    // In regular-expression mode the pattern marks every match, here ignoring case.
    editor.setFindHighlight(u"F[a-z]+D", TextEditor::kFindRegex | TextEditor::kFindIgnoreCase);
    headless::pumpMessages();
    EXPECT_EQ(at(second.x + 1, second.y + 1), editor.color(ColorSlot::FindBackground));
    // Each half of a surrogate pair is a pink box with an inner box in the text colour.
    const POINT high = pointOf(17);
    EXPECT_EQ(at(high.x, high.y), RGB(232, 158, 185));
    EXPECT_EQ(at(high.x + 3, high.y + 3), editor.color(ColorSlot::Text));
}

TEST_F(EditorPaint, TheIBeamShowsOverTheEditor) {
    headless::mouseMove(screen(40, 40));
    headless::pumpMessages();
    EXPECT_EQ(headless::cursor(), 32513u);
}

}  // namespace

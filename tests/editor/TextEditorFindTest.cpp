// The find highlight and Replace All of the editor: matches marked on every
// row they cover, one step budget per paint and per Replace All, and a
// pattern that backtracks without end stopped with "took too long".
//
// Fault this caught: the highlight compiled the pattern for every painted
// row and gave each search its own budget, and a back-reference compared its
// whole capture within one step, so "^(.*)\1$" over a long line ran for
// minutes while painting; Replace All had no total budget.
#include <gtest/gtest.h>

#include <string>

#include "EditorWindowFixture.h"

using namespace veltrix::test;
namespace headless = veltrix::platform::headless;

namespace {

struct EditorFind : EditorWindow {
    COLORREF cellColour(int position) {
        const POINT p = pointOf(position);
        return at(p.x + 1, p.y + 1);
    }
    void setText(const std::u16string& text) {
        send(WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
        headless::pumpMessages();
    }
};

TEST_F(EditorFind, AMatchOverTwoRowsIsMarkedOnBoth) {
    // One long line of short words: the pattern's matches run across the
    // row breaks of the wrapped line.
    std::u16string text;
    for (int i = 0; i < 60; ++i) text += u"ab cd ";
    setText(text);
    ASSERT_GT(editor.totalRows(), 2);
    const RowSpan second = editor.layout().rowSpan(1);
    editor.setFindHighlight(u"b cd a", TextEditor::kFindRegex);
    headless::pumpMessages();
    const COLORREF find = editor.color(ColorSlot::FindBackground);
    // The first position of the second row lies inside some match, which
    // began on the row above whenever the row starts inside a match.
    int inside = second.start;
    while (text[static_cast<std::size_t>(inside)] != u'c') ++inside;
    EXPECT_EQ(cellColour(inside), find);
    EXPECT_EQ(cellColour(1), find);
    EXPECT_EQ(cellColour(0), editor.color(ColorSlot::Background));
    EXPECT_EQ(editor.findHighlightStatus(), MatchStatus::found);
}

TEST_F(EditorFind, ABackReferenceOverALongLineStopsThePaintWithTookTooLong) {
    // Every capture up to half the line matches its copy, then "$" fails:
    // without counting the comparisons this is some 10^11 unit compares.
    const std::u16string line = std::u16string(400'000, u'a') + u"b";
    setText(line);
    editor.setFindHighlight(u"^(.*)\\1$", TextEditor::kFindRegex);
    headless::pumpMessages();
    EXPECT_EQ(editor.findHighlightStatus(), MatchStatus::stepLimit);
    EXPECT_EQ(cellColour(3), editor.color(ColorSlot::Background));
    // Later paints do not search again; a new highlight does.
    InvalidateRect(editor.getHandle(), nullptr, FALSE);
    headless::pumpMessages();
    EXPECT_EQ(editor.findHighlightStatus(), MatchStatus::stepLimit);
    editor.setFindHighlight(u"a+b", TextEditor::kFindRegex);
    headless::pumpMessages();
    EXPECT_EQ(editor.findHighlightStatus(), MatchStatus::found);
    EXPECT_EQ(cellColour(3), editor.color(ColorSlot::FindBackground));
}

TEST_F(EditorFind, ReplaceAllIsOneRecordedEditOrNothing) {
    setText(u"ab-cd\r\nef-gh");
    send(EM_EMPTYUNDOBUFFER);
    send(EM_SETMODIFY, FALSE);
    EXPECT_EQ(editor.replaceAll(u"(\\w+)-(\\w+)", u"$2 $1", 0), MatchStatus::found);
    EXPECT_EQ(windowText(), u"cd ab\r\ngh ef");
    EXPECT_EQ(editor.caret(), 0);
    EXPECT_TRUE(editor.modified());
    // With multiLine every line's start is a "^".
    EXPECT_EQ(editor.replaceAll(u"^", u"> ", 0), MatchStatus::found);
    EXPECT_EQ(windowText(), u"> cd ab\r\n> gh ef");
    send(EM_UNDO);
    send(EM_UNDO);
    EXPECT_EQ(windowText(), u"ab-cd\r\nef-gh");
    EXPECT_FALSE(editor.modified());

    EXPECT_EQ(editor.replaceAll(u"", u"x", 0), MatchStatus::notFound);
    EXPECT_EQ(editor.replaceAll(u"zz", u"x", 0), MatchStatus::notFound);
    EXPECT_EQ(editor.replaceAll(u"AB", u"x", TextEditor::kFindIgnoreCase), MatchStatus::found);
    EXPECT_EQ(windowText(), u"x-cd\r\nef-gh");
}

TEST_F(EditorFind, ReplaceAllThatTakesTooLongChangesNothing) {
    const std::u16string line = std::u16string(400'000, u'a') + u"b";
    setText(line);
    send(EM_EMPTYUNDOBUFFER);
    EXPECT_EQ(editor.replaceAll(u"^(.*)\\1$", u"", 0), MatchStatus::stepLimit);
    EXPECT_EQ(describe(MatchStatus::stepLimit), u"The search took too long and was stopped.");
    EXPECT_EQ(static_cast<int>(send(WM_GETTEXTLENGTH)), static_cast<int>(line.size()));
    EXPECT_EQ(send(EM_CANUNDO), FALSE);
}

}  // namespace

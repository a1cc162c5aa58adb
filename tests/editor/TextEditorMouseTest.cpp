// The editor's mouse through the headless display: double and triple
// clicks, margin selection, auto-scroll while dragging outside, and drag and
// drop of the selection and of text from outside.
#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "EditorWindowFixture.h"

using namespace veltrix::test;
namespace headless = veltrix::platform::headless;

namespace {

struct EditorMouse : FocusedEditorWindow {
    void clickAt(POINT point) {
        headless::click(headless::Button::Left, point);
        headless::pumpMessages();
    }
    // A drag with the left button from one screen point to another,
    // released there; Ctrl held throughout when copying.
    void drag(POINT from, POINT to, bool copying = false) {
        if (copying) headless::key(VK_CONTROL, true);
        headless::mouseButton(headless::Button::Left, true, from);
        headless::mouseMove(POINT{(from.x + to.x) / 2, (from.y + to.y) / 2});
        headless::mouseMove(to);
        headless::mouseButton(headless::Button::Left, false, to);
        headless::pumpMessages();
        if (copying) headless::key(VK_CONTROL, false);
        headless::pumpMessages();
    }
    static void wait(int milliseconds) { std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds)); }
};

TEST_F(EditorMouse, DoubleClickSelectsAWordAndATripleClickTheSentence) {
    setText(u"He reads. She writes letters home. They listen.");
    clickAt(cellOf(16));
    clickAt(cellOf(16));
    EXPECT_EQ(editor.selectedText(), u"writes");
    clickAt(cellOf(16));
    EXPECT_EQ(editor.selectedText(), u"She writes letters home. ");
    EXPECT_EQ(editor.mouseMode(), 0);
    // On a word's first character the word itself is chosen.
    clickAt(cellOf(29));
    wait(350);
    headless::pumpMessages();
    clickAt(cellOf(29));
    EXPECT_EQ(editor.selectedText(), u"home");
    // Once the 300 ms are over, a third click is a plain click.
    wait(350);
    headless::pumpMessages();
    clickAt(cellOf(29));
    EXPECT_EQ(editor.selectedText(), u"");
    EXPECT_EQ(editor.caret(), 29);
}

TEST_F(EditorMouse, TheLeftMarginSelectsWholeLines) {
    editor.setMargins(EditorSides{20, 2, 0, 0});
    setText(u"one\r\ntwo\r\nthree\r\nfour");
    const POINT two = pointOf(5);
    const POINT four = pointOf(17);
    drag(screen(5, two.y + 3), screen(5, four.y + 3));
    EXPECT_EQ(editor.selectedText(), u"two\r\nthree\r\nfour");
    EXPECT_EQ(editor.anchor(), 5);
    drag(screen(5, four.y + 3), screen(5, two.y + 3));
    EXPECT_EQ(editor.anchor(), 21);
    EXPECT_EQ(editor.caret(), 5);
    EXPECT_EQ(GetCapture(), nullptr);
    wait(600);  // no double click
    clickAt(screen(5, four.y + 3));
    EXPECT_EQ(editor.selectedText(), u"four");
}

TEST_F(EditorMouse, DraggingBelowTheTextScrollsAndExtends) {
    std::u16string text;
    for (int i = 0; i < 120; ++i) text += u"row of text\r\n";
    setText(text.c_str());
    headless::mouseButton(headless::Button::Left, true, cellOf(2));
    headless::pumpMessages();
    headless::mouseMove(screen(40, kHeight + 60));
    headless::pumpMessages();
    for (int i = 0; i < 30 && editor.scrollPosition().firstRow < 3; ++i) {
        wait(20);
        headless::pumpMessages();
    }
    EXPECT_GE(editor.scrollPosition().firstRow, 3);
    EXPECT_EQ(editor.anchor(), 2);
    EXPECT_GT(editor.caret(), editor.document().lineStart(editor.scrollPosition().visibleRows));
    // Back inside, the scrolling stops; the release ends the drag.
    headless::mouseButton(headless::Button::Left, false, screen(40, 40));
    headless::pumpMessages();
    const int row = editor.scrollPosition().firstRow;
    wait(60);
    headless::pumpMessages();
    EXPECT_EQ(editor.scrollPosition().firstRow, row);
    EXPECT_EQ(editor.mouseMode(), 0);
}

TEST_F(EditorMouse, DraggingTheSelectionMovesItInOneUndoStep) {
    setText(u"abc def");
    send(EM_SETSEL, 0, 3);
    const POINT end = pointOf(7);
    drag(cellOf(1), screen(end.x + 1, end.y + 3));
    EXPECT_EQ(windowText(), u" defabc");
    EXPECT_EQ(editor.selectedText(), u"abc");
    EXPECT_EQ(editor.selectionStart(), 4);
    chord(VK_CONTROL, 'Z');
    EXPECT_EQ(windowText(), u"abc def");
    // Backwards, and as a copy with Ctrl held.
    send(EM_SETSEL, 4, 7);
    drag(cellOf(5), cellOf(0));
    EXPECT_EQ(windowText(), u"defabc ");
    EXPECT_EQ(editor.selectedText(), u"def");
    send(EM_SETSEL, 0, 3);
    drag(cellOf(1), cellOf(6), true);
    EXPECT_EQ(windowText(), u"defabcdef ");
    EXPECT_EQ(editor.selectionStart(), 6);
    EXPECT_EQ(editor.selectedText(), u"def");
    // A click inside the selection drops it onto itself: it collapses there.
    send(EM_SETSEL, 0, 6);
    clickAt(cellOf(2));
    EXPECT_EQ(windowText(), u"defabcdef ");
    EXPECT_EQ(editor.selectedText(), u"");
    EXPECT_EQ(editor.caret(), 2);
    EXPECT_EQ(editor.mouseMode(), 0);
}

TEST_F(EditorMouse, TextDroppedFromOutsideIsInsertedAndSelected) {
    setText(u"one two");
    headless::dropText(u"new \r\n", cellOf(4), frame);
    headless::pumpMessages();
    EXPECT_EQ(windowText(), u"one new \r\ntwo");
    EXPECT_EQ(editor.selectedText(), u"new \r\n");
    chord(VK_CONTROL, 'Z');
    EXPECT_EQ(windowText(), u"one two");
    // A one-line field drops line breaks and TABs; a read-only one takes nothing.
    editor.fieldMode();
    setText(u"ab");
    headless::dropText(u"x\r\n\ty", cellOf(1), frame);
    headless::pumpMessages();
    EXPECT_EQ(windowText(), u"axyb");
    send(EM_SETREADONLY, TRUE);
    headless::dropText(u"z", cellOf(1), frame);
    headless::pumpMessages();
    EXPECT_EQ(windowText(), u"axyb");
}

}  // namespace

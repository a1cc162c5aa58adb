// The minimal input of the editor through the headless display: typing,
// caret keys, Shift selection, clicks, dragging and the clipboard keys.
#include <gtest/gtest.h>

#include "EditorWindowFixture.h"
#include "support/TempDir.h"
#include "toolkit/Bitmap.h"

using namespace veltrix::test;
namespace headless = veltrix::platform::headless;

namespace {

using EditorInput = FocusedEditorWindow;

TEST_F(EditorInput, FocusIsReported) {
    SetFocus(nullptr);
    headless::pumpMessages();
    takeEvents();
    SetFocus(editor.getHandle());
    headless::pumpMessages();
    const auto events = takeEvents();
    EXPECT_NE(std::find(events.begin(), events.end(), "EN_SETFOCUS"), events.end());
}

TEST_F(EditorInput, TypingEditingAndUndo) {
    type(u"Listen 聞く");
    EXPECT_EQ(windowText(), u"Listen 聞く");
    EXPECT_TRUE(editor.modified());
    press(VK_LEFT, 2);
    type(u"and ");
    EXPECT_EQ(windowText(), u"Listen and 聞く");
    press(VK_BACK);
    press(VK_DELETE);
    EXPECT_EQ(windowText(), u"Listen andく");
    press(VK_HOME);
    press(VK_RETURN);
    EXPECT_EQ(windowText(), u"\r\nListen andく");
    // Left and Right step over "\r\n" as one character.
    press(VK_LEFT);
    EXPECT_EQ(editor.caret(), 0);
    press(VK_RIGHT);
    EXPECT_EQ(editor.caret(), 2);
    // Backspace right after "\r\n" takes the pair.
    press(VK_BACK);
    EXPECT_EQ(windowText(), u"Listen andく");
    // Each typed character is its own undo step.
    chord(VK_CONTROL, 'Z');
    EXPECT_EQ(windowText(), u"\r\nListen andく");
    chord(VK_CONTROL, 'Y');
    EXPECT_EQ(windowText(), u"Listen andく");
}

TEST_F(EditorInput, ShiftExtendsAndVerticalMovesKeepTheColumn) {
    send(WM_SETTEXT, 0, reinterpret_cast<LPARAM>(u"first line\r\nsecond line\r\nend"));
    send(EM_SETSEL, 3, 3);
    headless::key(VK_SHIFT, true);
    press(VK_RIGHT, 3);
    headless::key(VK_SHIFT, false);
    EXPECT_EQ(editor.anchor(), 3);
    EXPECT_EQ(editor.caret(), 6);
    // Without Shift the selection collapses at the moved caret.
    press(VK_DOWN);
    EXPECT_EQ(editor.anchor(), editor.caret());
    EXPECT_EQ(editor.document().lineOfPosition(editor.caret()), 1);
    press(VK_DOWN);
    EXPECT_EQ(editor.caret(), 28);  // "end" is shorter: its end
    press(VK_UP);
    EXPECT_EQ(editor.document().lineOfPosition(editor.caret()), 1);
    EXPECT_NEAR(pointOf(editor.caret()).x, pointOf(6).x, editor.rowHeight());
    press(VK_END);
    EXPECT_EQ(editor.caret(), 23);
    chord(VK_CONTROL, VK_HOME);
    EXPECT_EQ(editor.caret(), 0);
    chord(VK_CONTROL, 'A');
    EXPECT_EQ(editor.selectionStart(), 0);
    EXPECT_EQ(editor.selectionEnd(), 28);
}

TEST_F(EditorInput, ClickingInTheRightHalfOfACharacterPutsTheCaretAfterIt) {
    send(WM_SETTEXT, 0, reinterpret_cast<LPARAM>(u"WWW 日本"));
    struct Case {
        int position;
        int percent;  // across the character
        int expected;
    };
    const Case cases[] = {{0, 25, 0}, {0, 75, 1}, {1, 40, 1}, {1, 60, 2}, {4, 30, 4}, {4, 80, 5}};
    for (const Case& c : cases) {
        const POINT left = pointOf(c.position);
        const POINT right = pointOf(c.position + 1);
        const int x = left.x + (right.x - left.x) * c.percent / 100;
        headless::click(headless::Button::Left, screen(x, left.y + 3));
        headless::pumpMessages();
        EXPECT_EQ(editor.caret(), c.expected) << c.position << " at " << c.percent << "%";
        // A click far away, so that the next one is no double click.
        headless::click(headless::Button::Left, screen(kWidth - 60, kHeight - 20));
        headless::pumpMessages();
    }
}

TEST_F(EditorInput, DraggingSelects) {
    send(WM_SETTEXT, 0, reinterpret_cast<LPARAM>(u"drag across these words"));
    const POINT from = pointOf(5);
    const POINT to = pointOf(11);
    headless::mouseButton(headless::Button::Left, true, screen(from.x + 1, from.y + 3));
    headless::mouseMove(screen(to.x + 1, to.y + 3));
    headless::mouseButton(headless::Button::Left, false, screen(to.x + 1, to.y + 3));
    headless::pumpMessages();
    EXPECT_EQ(editor.anchor(), 5);
    EXPECT_EQ(editor.caret(), 11);
    EXPECT_EQ(editor.selectedText(), u"across");
    EXPECT_EQ(GetCapture(), nullptr);
}

TEST_F(EditorInput, ClipboardKeys) {
    send(WM_SETTEXT, 0, reinterpret_cast<LPARAM>(u"copy 写す"));
    send(EM_SETSEL, 5, 7);
    chord(VK_CONTROL, 'C');
    send(EM_SETSEL, 0, 0);
    chord(VK_CONTROL, 'V');
    EXPECT_EQ(windowText(), u"写すcopy 写す");
    send(EM_SETSEL, 0, 2);
    chord(VK_CONTROL, 'X');
    EXPECT_EQ(windowText(), u"copy 写す");
    EXPECT_EQ(send(EM_CANPASTE, CF_UNICODETEXT), TRUE);
    send(EM_SETSEL, 0, 4);
    send(WM_CLEAR);
    EXPECT_EQ(windowText(), u" 写す");
    send(WM_PASTE);
    EXPECT_EQ(windowText(), u"写す 写す");
}

TEST_F(EditorInput, OneLineFieldsDropLineBreaksFromPastedText) {
    editor.fieldMode();
    send(WM_SETTEXT, 0, reinterpret_cast<LPARAM>(u"a\r\nb\tc"));
    send(EM_SETSEL, 0, -1);
    send(WM_COPY);
    send(EM_SETSEL, -1, -1);
    send(WM_PASTE);
    EXPECT_EQ(windowText(), u"a\r\nb\tcabc");
    // Enter does nothing in a one-line field.
    press(VK_RETURN);
    EXPECT_EQ(windowText(), u"a\r\nb\tcabc");
}

}  // namespace

namespace {

TEST_F(EditorInput, DroppedFilesOpenOrBecomeTheBackground) {
    TempDir folder;
    folder.write("dropped.txt", "dropped text");
    folder.write("other.txt", "other");
    Bitmap picture;
    ASSERT_TRUE(picture.create(4, 4));
    ASSERT_TRUE(picture.saveAs(folder.file("Back.PNG")));

    headless::dropFiles({folder.file("dropped.txt"), folder.file("other.txt")}, screen(30, 30));
    headless::pumpMessages();
    EXPECT_EQ(windowText(), u"");  // several files are ignored

    headless::dropFiles({folder.file("dropped.txt")}, screen(30, 30));
    headless::pumpMessages();
    EXPECT_EQ(windowText(), u"dropped text");
    EXPECT_FALSE(editor.hasBackgroundImage());
    EXPECT_EQ(editor.mouseMode(), 0) << "the drop is over";

    headless::dropFiles({folder.file("Back.PNG")}, screen(30, 30));
    headless::pumpMessages();
    EXPECT_TRUE(editor.hasBackgroundImage());
    EXPECT_EQ(windowText(), u"dropped text");
}

}  // namespace

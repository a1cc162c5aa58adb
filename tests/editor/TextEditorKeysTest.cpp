// The editor's key table through the window's messages on the headless
// display: the Ctrl chords, word and sentence moves, the editing keys with
// "\r\n" as one character, block indent, automatic indent and paging.
#include <gtest/gtest.h>

#include "EditorWindowFixture.h"

using namespace veltrix::test;
namespace headless = veltrix::platform::headless;

namespace {

struct EditorKeys : FocusedEditorWindow {
    // The letter key pressed with Ctrl and a held key (and Shift for a capital).
    std::u16string composed(int heldKey, int letter, bool capital) {
        setText(u"");
        headless::key(VK_CONTROL, true);
        headless::key(heldKey, true);
        if (capital) headless::key(VK_SHIFT, true);
        headless::pressKey(letter);
        if (capital) headless::key(VK_SHIFT, false);
        headless::key(heldKey, false);
        headless::key(VK_CONTROL, false);
        headless::pumpMessages();
        return windowText();
    }
};

TEST_F(EditorKeys, CtrlChordsComposeAccentedLetters) {
    EXPECT_EQ(composed('7', 'E', false), u"é");
    EXPECT_EQ(composed('7', 'E', true), u"É");
    EXPECT_EQ(composed('7', 'O', false), u"ó");
    EXPECT_EQ(composed('7', 'O', true), u"Ó");
    EXPECT_EQ(composed('7', 'Z', false), u"ź");
    EXPECT_EQ(composed('7', 'N', true), u"Ń");
    EXPECT_EQ(composed(VK_OEM_3, 'A', false), u"à");
    EXPECT_EQ(composed(VK_OEM_3, 'U', true), u"Ù");
    EXPECT_EQ(composed('6', 'A', false), u"æ");
    EXPECT_EQ(composed('6', 'A', true), u"Æ");
    EXPECT_EQ(composed(VK_MENU, 'C', false), u"©");
    EXPECT_EQ(composed(VK_MENU, 'R', false), u"®");
    EXPECT_EQ(composed(VK_MENU, 'T', false), u"™");
    EXPECT_EQ(composed(VK_MENU, VK_OEM_PERIOD, false), u"…");
    // A letter without an accent of that kind composes nothing.
    EXPECT_EQ(composed('7', 'B', false), u"");
    // The composed letter replaces the selection in one undo step.
    setText(u"cafe");
    send(EM_SETSEL, 3, 4);
    headless::key(VK_CONTROL, true);
    headless::key('7', true);
    headless::pressKey('E');
    headless::key('7', false);
    headless::key(VK_CONTROL, false);
    headless::pumpMessages();
    EXPECT_EQ(windowText(), u"café");
    chord(VK_CONTROL, 'Z');
    EXPECT_EQ(windowText(), u"cafe");
    // Nothing is composed into a read-only editor.
    send(EM_SETREADONLY, TRUE);
    EXPECT_EQ(composed('7', 'E', false), u"");
}

TEST_F(EditorKeys, CtrlChordsTransformTheSelectionAndKeepItSelected) {
    setText(u"Straße ÀÉ αβ ok");
    send(EM_SETSEL, 0, 12);
    chord({VK_CONTROL, VK_SHIFT}, 'U');
    EXPECT_EQ(windowText(), u"STRAßE ÀÉ ΑΒ ok");
    EXPECT_EQ(editor.selectionStart(), 0);
    EXPECT_EQ(editor.selectionEnd(), 12);
    chord(VK_CONTROL, 'U');
    EXPECT_EQ(windowText(), u"straße àé αβ ok");
    send(EM_SETSEL, 13, 15);
    chord(VK_CONTROL, VK_OEM_PLUS);
    EXPECT_EQ(windowText(), u"straße àé αβ pl");
    chord(VK_CONTROL, VK_OEM_MINUS);
    chord(VK_CONTROL, VK_OEM_MINUS);
    EXPECT_EQ(windowText(), u"straße àé αβ nj");
    EXPECT_EQ(editor.selectedText(), u"nj");
    // Space is raised but never lowered below itself.
    send(EM_SETSEL, 12, 13);
    chord(VK_CONTROL, VK_OEM_MINUS);
    EXPECT_EQ(editor.selectedText(), u" ");
    chord(VK_CONTROL, VK_OEM_PLUS);
    EXPECT_EQ(editor.selectedText(), u"!");
    // Without a selection the chords do nothing.
    send(EM_SETSEL, 3, 3);
    chord(VK_CONTROL, 'U');
    EXPECT_EQ(windowText(), u"straße àé αβ!nj");
}

TEST_F(EditorKeys, CrLfIsOneCharacterForMovesAndDeletes) {
    setText(u"a\r\nb");
    send(EM_SETSEL, 3, 3);
    press(VK_BACK);
    EXPECT_EQ(windowText(), u"ab");
    setText(u"a\r\nb");
    send(EM_SETSEL, 1, 1);
    press(VK_RIGHT);
    EXPECT_EQ(editor.caret(), 3);
    press(VK_LEFT);
    EXPECT_EQ(editor.caret(), 1);
    press(VK_DELETE);
    EXPECT_EQ(windowText(), u"ab");
    // Delete at the end and Backspace at the start change nothing.
    press(VK_END);
    press(VK_DELETE);
    press(VK_HOME);
    press(VK_BACK);
    EXPECT_EQ(windowText(), u"ab");
    // Ctrl+End goes past a final line break.
    setText(u"one\r\ntwo\r\n");
    chord(VK_CONTROL, VK_END);
    EXPECT_EQ(editor.caret(), 10);
    send(EM_SETSEL, 6, 6);
    press(VK_END);
    EXPECT_EQ(editor.caret(), 8);
    press(VK_HOME);
    EXPECT_EQ(editor.caret(), 5);
}

TEST_F(EditorKeys, WordMovesAndWordDeletes) {
    setText(u"Listen to 日本語 now");
    chord(VK_CONTROL, VK_RIGHT);
    EXPECT_EQ(editor.caret(), 6);
    chord(VK_CONTROL, VK_RIGHT);
    EXPECT_EQ(editor.caret(), 9);
    chord({VK_CONTROL, VK_SHIFT}, VK_RIGHT);
    EXPECT_EQ(editor.selectedText(), u" 日本語");
    // A move starts from the caret, not from the selection's edge.
    chord(VK_CONTROL, VK_LEFT);
    EXPECT_EQ(editor.caret(), 10);
    EXPECT_EQ(editor.anchor(), 10);
    chord(VK_CONTROL, VK_BACK);
    EXPECT_EQ(windowText(), u"Listen 日本語 now");
    chord(VK_CONTROL, VK_DELETE);
    EXPECT_EQ(windowText(), u"Listen  now");
    // A custom word-break procedure replaces the default one.
    static auto everyCharacter = [](LPWSTR, int position, int length, int code) {
        return code == WB_LEFT ? std::max(0, position - 1) : std::min(length, position + 1);
    };
    send(EM_SETWORDBREAKPROC, 0, reinterpret_cast<LPARAM>(+everyCharacter));
    chord(VK_CONTROL, VK_RIGHT);
    EXPECT_EQ(editor.caret(), 8);
}

TEST_F(EditorKeys, TabIndentsAndOutdentsWholeLines) {
    setText(u"one\r\ntwo\r\nthree");
    send(EM_SETSEL, 1, 6);
    press(VK_TAB);
    EXPECT_EQ(windowText(), u"\tone\r\n\ttwo\r\nthree");
    EXPECT_EQ(editor.selectedText(), u"\tone\r\n\ttwo");
    chord(VK_SHIFT, VK_TAB);
    EXPECT_EQ(windowText(), u"one\r\ntwo\r\nthree");
    EXPECT_EQ(editor.selectedText(), u"one\r\ntwo");
    // A selection ending at a line start ends at the line before.
    send(EM_SETSEL, 0, 10);
    press(VK_TAB);
    EXPECT_EQ(windowText(), u"\tone\r\n\ttwo\r\nthree");
    chord(VK_CONTROL, 'Z');
    EXPECT_EQ(windowText(), u"one\r\ntwo\r\nthree");
    // With LF breaks only, the selection is replaced by one TAB.
    setText(u"one\ntwo");
    send(EM_SETSEL, 1, 5);
    press(VK_TAB);
    EXPECT_EQ(windowText(), u"o\two");
}

TEST_F(EditorKeys, EnterIndentsAndBraceOutdents) {
    setText(u"\tif {");
    send(EM_SETSEL, -1, -1);
    press(VK_RETURN);
    EXPECT_EQ(windowText(), u"\tif {\r\n\t\t");
    setText(u"x\r\n\t\t");
    send(EM_SETSEL, -1, -1);
    type(u"}");
    EXPECT_EQ(windowText(), u"x\r\n\t}");
    // Elsewhere "}" is typed as it is.
    type(u"}");
    EXPECT_EQ(windowText(), u"x\r\n\t}}");
    // Escape and control characters are never typed.
    press(VK_ESCAPE);
    EXPECT_EQ(windowText(), u"x\r\n\t}}");
}

TEST_F(EditorKeys, ReadOnlyKeepsTheTextButMoves) {
    setText(u"fixed text");
    send(EM_SETREADONLY, TRUE);
    send(EM_SETSEL, 0, 5);
    press(VK_BACK);
    press(VK_DELETE);
    press(VK_RETURN);
    type(u"x\t}");
    chord(VK_CONTROL, 'X');
    chord(VK_CONTROL, 'V');
    chord(VK_SHIFT, VK_DELETE);
    EXPECT_EQ(windowText(), u"fixed text");
    chord(VK_CONTROL, VK_RIGHT);
    EXPECT_EQ(editor.caret(), 10);
}

TEST_F(EditorKeys, SentenceNavigation) {
    setText(u"First one. Second one. Third.");
    chord(VK_CONTROL, VK_DOWN);
    EXPECT_EQ(editor.selectedText(), u"First one. ");
    EXPECT_EQ(editor.caret(), 11);
    chord(VK_CONTROL, VK_DOWN);
    EXPECT_EQ(editor.selectedText(), u"Second one. ");
    chord(VK_CONTROL, VK_DOWN);
    EXPECT_EQ(editor.selectedText(), u"Third.");
    chord(VK_CONTROL, VK_DOWN);  // nothing after the last
    EXPECT_EQ(editor.selectedText(), u"Third.");
    chord(VK_CONTROL, VK_UP);
    EXPECT_EQ(editor.selectionStart(), 11);
    // Ctrl+Shift moves the caret to the boundaries, extending.
    send(EM_SETSEL, 0, 0);
    chord({VK_CONTROL, VK_SHIFT}, VK_DOWN);
    EXPECT_EQ(editor.caret(), 11);
    chord({VK_CONTROL, VK_SHIFT}, VK_DOWN);
    EXPECT_EQ(editor.caret(), 23);
    EXPECT_EQ(editor.anchor(), 0);
    chord({VK_CONTROL, VK_SHIFT}, VK_UP);
    EXPECT_EQ(editor.caret(), 11);
    chord({VK_CONTROL, VK_SHIFT}, VK_UP);
    EXPECT_EQ(editor.caret(), 0);
}

TEST_F(EditorKeys, PagingKeepsTheScreenRowAndStopsAtTheEnds) {
    std::u16string text;
    for (int i = 0; i < 200; ++i) text += u"line " + std::u16string(1, static_cast<char16_t>(u'A' + i % 26)) + u"\r\n";
    setText(text.c_str());
    const int visible = editor.scrollPosition().visibleRows;
    ASSERT_GT(visible, 5);
    send(EM_SETSEL, 0, 0);
    press(VK_NEXT);
    EXPECT_EQ(editor.scrollPosition().firstRow, visible);
    EXPECT_EQ(editor.layout().rowOfPosition(editor.caret()), visible);
    press(VK_DOWN, 2);
    press(VK_NEXT);
    EXPECT_EQ(editor.layout().rowOfPosition(editor.caret()) - editor.scrollPosition().firstRow, 2);
    chord(VK_SHIFT, VK_PRIOR);
    EXPECT_EQ(editor.anchor(), editor.document().lineStart(2 * visible + 2));
    press(VK_PRIOR, 3);
    EXPECT_EQ(editor.scrollPosition().firstRow, 0);
    EXPECT_EQ(editor.caret(), 0);
    press(VK_NEXT, 100);
    EXPECT_EQ(editor.caret(), static_cast<int>(text.size()));
}

TEST_F(EditorKeys, TabInAOneLineFieldMovesTheFocus) {
    editor.fieldMode();
    TextEditor next;
    ASSERT_TRUE(next.createAt(frame, 0, 200, 100, 20));
    SetFocus(editor.getHandle());
    headless::pumpMessages();
    press(VK_TAB);
    EXPECT_EQ(windowText(), u"");
    EXPECT_EQ(GetFocus(), next.getHandle());
}

}  // namespace

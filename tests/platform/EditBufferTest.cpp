// The edit control's text model: lines, limits, undo and words.
#include <gtest/gtest.h>

#include "platform/controls/EditBuffer.h"

using namespace veltrix::platform::controls;

namespace {

TEST(EditBuffer, LineTableFollowsCrLfAndLoneLf) {
    struct Case {
        std::u16string text;
        std::size_t lines;
        std::size_t line;
        std::size_t index;
        std::size_t length;
    };
    const Case cases[] = {
        {u"", 1, 0, 0, 0},           {u"abc", 1, 0, 0, 3},    {u"ab\r\ncde", 2, 1, 4, 3},
        {u"ab\r\ncde", 2, 0, 0, 2},  {u"ab\r\n", 2, 1, 4, 0}, {u"a\nbc\r\nd", 3, 1, 2, 2},
        {u"a\nbc\r\nd", 3, 2, 6, 1}, {u"a\rb", 1, 0, 0, 3},  // a lone CR is no break
    };
    for (const Case& c : cases) {
        EditBuffer b(LineMode::Multi);
        b.setText(c.text);
        EXPECT_EQ(b.lineCount(), c.lines);
        EXPECT_EQ(b.lineIndex(c.line), c.index);
        EXPECT_EQ(b.lineLength(c.line), c.length);
        EXPECT_EQ(b.lineFromPosition(c.index), c.line);
    }
    EditBuffer b(LineMode::Multi);
    b.setText(u"ab\r\ncd");
    EXPECT_EQ(b.lineIndex(2), EditBuffer::npos);
    EXPECT_EQ(b.lineLength(9), 0u);
    EXPECT_EQ(b.lineFromPosition(99), 1u);
}

TEST(EditBuffer, SingleLineTakesOnlyTheFirstLineOfInsertedText) {
    EditBuffer b(LineMode::Single);
    b.setText(u"first\r\nsecond");
    EXPECT_EQ(b.text(), u"first\r\nsecond");  // a text set whole comes back whole
    EXPECT_EQ(b.lineCount(), 1u);
    b.setText(u"first");
    b.select(5, 5);
    EXPECT_TRUE(b.replaceSelection(u" one\ntwo", UndoRecording::On));
    EXPECT_EQ(b.text(), u"first one");
    EXPECT_EQ(b.lineCount(), 1u);
}

TEST(EditBuffer, LimitCutsInsertedTextWithoutSplittingASurrogatePair) {
    EditBuffer b(LineMode::Single);
    b.setLimit(4);
    b.setText(u"ab");
    b.select(2, 2);
    EXPECT_TRUE(b.replaceSelection(u"c\U0001F600", UndoRecording::On));  // c + a pair would make 5
    EXPECT_EQ(b.text(), u"abc");
    EXPECT_FALSE(b.replaceSelection(u"\U0001F600", UndoRecording::On));
    EXPECT_EQ(b.text(), u"abc");
    EXPECT_TRUE(b.replaceSelection(u"d", UndoRecording::On));
    EXPECT_FALSE(b.replaceSelection(u"e", UndoRecording::On));
    EXPECT_EQ(b.text(), u"abcd");
    // Replacing a selection frees its room first.
    b.select(0, 4);
    EXPECT_TRUE(b.replaceSelection(u"wxyz!", UndoRecording::On));
    EXPECT_EQ(b.text(), u"wxyz");
}

TEST(EditBuffer, UndoIsOneLevelAndUndoingTwiceRedoes) {
    EditBuffer b(LineMode::Single);
    b.setText(u"hello");
    EXPECT_FALSE(b.canUndo());
    b.select(0, 5);
    b.replaceSelection(u"bye", UndoRecording::On);
    ASSERT_TRUE(b.canUndo());
    EXPECT_TRUE(b.undo());
    EXPECT_EQ(b.text(), u"hello");
    EXPECT_EQ(b.selectionStart(), 0u);
    EXPECT_EQ(b.selectionEnd(), 5u);
    EXPECT_TRUE(b.undo());
    EXPECT_EQ(b.text(), u"bye");
    // An edit that is not recorded leaves nothing to undo.
    b.replaceSelection(u"!", UndoRecording::Off);
    EXPECT_FALSE(b.canUndo());
    EXPECT_FALSE(b.undo());
}

TEST(EditBuffer, TypingJoinsOneUndoStepUntilTheCaretMoves) {
    EditBuffer b(LineMode::Single);
    b.setText(u"x");
    b.moveCaret(1, false);
    for (char16_t c : std::u16string(u"abc"))
        b.replaceSelection(std::u16string(1, c), UndoRecording::On, EditKind::Typing);
    EXPECT_EQ(b.text(), u"xabc");
    b.undo();
    EXPECT_EQ(b.text(), u"x");
    b.undo();
    b.moveCaret(0, false);
    b.replaceSelection(u"1", UndoRecording::On, EditKind::Typing);
    b.moveCaret(5, false);
    b.replaceSelection(u"2", UndoRecording::On, EditKind::Typing);
    b.undo();
    EXPECT_EQ(b.text(), u"1xabc");
}

TEST(EditBuffer, DeletingStepsOverSurrogatePairsAndLineBreaksWhole) {
    EditBuffer b(LineMode::Multi);
    b.setText(u"a\U0001F600\r\nb");
    b.moveCaret(b.length() - 1, false);  // before b
    EXPECT_TRUE(b.deleteBackward());
    EXPECT_EQ(b.text(), u"a\U0001F600b");
    EXPECT_TRUE(b.deleteBackward());
    EXPECT_EQ(b.text(), u"ab");
    b.moveCaret(0, false);
    EXPECT_FALSE(b.deleteBackward());
    b.moveCaret(2, false);
    EXPECT_FALSE(b.deleteForward());
}

TEST(EditBuffer, WordsFollowCharacterClassesInEnglishAndJapanese) {
    EditBuffer b(LineMode::Single);
    b.setText(u"Hello, world 日本語のテキストです");
    struct Case {
        std::size_t at;
        std::u16string word;
    };
    const Case cases[] = {
        {2, u"Hello"}, {8, u"world"}, {13, u"日本語"}, {16, u"の"}, {18, u"テキスト"}, {22, u"です"},
    };
    for (const Case& c : cases) {
        std::size_t start = b.wordStart(c.at);
        std::size_t end = b.wordEnd(c.at);
        EXPECT_EQ(b.text().substr(start, end - start), c.word) << c.at;
    }
    EXPECT_EQ(b.nextWord(0), 5u);  // to the comma
    EXPECT_EQ(b.nextWord(5), 7u);  // comma and the space after it
    EXPECT_EQ(b.previousWord(12), 7u);
    EXPECT_EQ(b.previousWord(0), 0u);
}

}  // namespace

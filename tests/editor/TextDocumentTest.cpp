// The document's slots on small texts: line table, line-ending choice and the
// answers for positions and lines that do not exist.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "editor/TextDocument.h"

namespace {

std::vector<int> startsOf(const TextDocument& document) {
    std::vector<int> starts;
    for (int line = 0; line <= document.lineCount(); ++line) starts.push_back(document.lineStart(line));
    return starts;
}

TEST(TextDocument, StartsEmptyWithOneLineAndDefaults) {
    TextDocument document;
    EXPECT_EQ(document.length(), 0);
    EXPECT_EQ(document.lineCount(), 1);
    EXPECT_EQ(document.lineLength(0), 0);
    EXPECT_EQ(document.lineOfPosition(0), 0);
    EXPECT_EQ(startsOf(document), (std::vector<int>{0, 0}));
    EXPECT_EQ(document.path(), u"Untitled.txt");
    EXPECT_EQ(document.encoding(), 1);
    EXPECT_EQ(document.lineEnding(), line_ending::kCrLf);
    EXPECT_EQ(document.lineEndingText(), u"\r\n");
    EXPECT_EQ(document.lineEndingsFound(), 0u);
}

TEST(TextDocument, MixedBreaksGiveOneLinePerBreakAndTieUsesCrLf) {
    TextDocument document;
    document.setText(u"a\r\nb\rc\nd");
    EXPECT_EQ(startsOf(document), (std::vector<int>{0, 3, 5, 7, 8}));
    EXPECT_EQ(document.lineCount(), 4);
    EXPECT_EQ(document.lineEndingsFound(), 7u);
    EXPECT_EQ(document.lineEnding(), line_ending::kCrLf);
}

struct EndingCase {
    const char16_t* text;
    std::uint32_t found;
    std::uint32_t inUse;
};

TEST(TextDocument, LineEndingInUseIsTheMajority) {
    const EndingCase cases[] = {
        {u"x\ny\nz\r\n", line_ending::kLf | line_ending::kCrLf, line_ending::kLf},
        {u"x\ry\rz\n", line_ending::kCr | line_ending::kLf, line_ending::kCr},
        {u"x\r\ny\r\nz\n", line_ending::kLf | line_ending::kCrLf, line_ending::kCrLf},
        {u"x\ry\n", line_ending::kCr | line_ending::kLf, line_ending::kCrLf},
        {u"no break", 0, line_ending::kCrLf},
        {u"\r", line_ending::kCr, line_ending::kCr},
        {u"\n\n", line_ending::kLf, line_ending::kLf},
    };
    for (const EndingCase& c : cases) {
        TextDocument document;
        document.setText(c.text);
        EXPECT_EQ(document.lineEndingsFound(), c.found) << std::string(c.text, c.text + 3);
        EXPECT_EQ(document.lineEnding(), c.inUse);
    }
}

TEST(TextDocument, EditsKeepTheLineEndingChosenAtLoad) {
    TextDocument document;
    document.setText(u"a\nb\n");
    document.replace(0, 0, u"\r\n\r\n\r\n");
    EXPECT_EQ(document.lineEnding(), line_ending::kLf);
    EXPECT_EQ(document.lineEndingText(), u"\n");
    document.clear();
    EXPECT_EQ(document.lineEnding(), line_ending::kCrLf);
}

TEST(TextDocument, ReplaceAcrossABreakJoinsTheLines) {
    TextDocument document;
    document.setText(u"ab\r\ncd");
    document.replace(1, 4, u"X");
    EXPECT_EQ(document.text(), u"aXcd");
    EXPECT_EQ(startsOf(document), (std::vector<int>{0, 4}));
}

TEST(TextDocument, InsertingABreakSplitsTheLine) {
    TextDocument document;
    document.setText(u"ab");
    document.replace(1, 1, u"\r\n");
    EXPECT_EQ(document.text(), u"a\r\nb");
    EXPECT_EQ(startsOf(document), (std::vector<int>{0, 3, 4}));
}

TEST(TextDocument, ReplaceOnAnEmptyTextAppendsWhateverTheRange) {
    TextDocument document;
    document.replace(5, 9, u"new\n");
    EXPECT_EQ(document.text(), u"new\n");
    EXPECT_EQ(startsOf(document), (std::vector<int>{0, 4, 4}));
}

TEST(TextDocument, ReplaceClampsARangeOutsideTheText) {
    TextDocument document;
    document.setText(u"abc");
    document.replace(-4, 1, u"X");
    EXPECT_EQ(document.text(), u"Xbc");
    document.replace(2, 99, u"Y");
    EXPECT_EQ(document.text(), u"XbY");
    document.replace(99, 1, u"Z");
    EXPECT_EQ(document.text(), u"XbYZ");
}

// The pair rules at an edit's edges: each of these once left a line start
// where a rescan has none, or missed one.
TEST(TextDocument, EditsThatSplitOrJoinCrLfPairsMoveTheLineStart) {
    struct Case {
        const char16_t* before;
        int start, end;
        const char16_t* inserted;
        std::vector<int> starts;
    };
    const Case cases[] = {
        {u"a\r\nb", 2, 2, u"X", {0, 2, 4, 5}},   // between CR and LF
        {u"a\r\nb", 2, 3, u"", {0, 2, 3}},       // the LF of a pair
        {u"a\r\nb", 1, 2, u"", {0, 2, 3}},       // the CR of a pair
        {u"a\rX\nb", 2, 3, u"", {0, 3, 4}},      // lone CR and lone LF meet
        {u"a\rb", 2, 2, u"\nc", {0, 3, 5}},      // a LF typed behind a lone CR
        {u"a\nb", 1, 1, u"\r", {0, 3, 4}},       // a CR typed before a lone LF
        {u"a\r\nb", 3, 3, u"\n", {0, 3, 4, 5}},  // behind a pair
        {u"\r\n\r\n", 1, 3, u"", {0, 2, 2}},     // the middle of two pairs
        {u"x\r", 2, 2, u"\n", {0, 3, 3}},        // completes the pair at the end
    };
    for (const Case& c : cases) {
        TextDocument document;
        document.setText(c.before);
        document.replace(c.start, c.end, c.inserted);
        EXPECT_EQ(startsOf(document), c.starts) << "edit at " << c.start;
    }
}

TEST(TextDocument, LineOfPositionGivesTheLineAStartBelongsTo) {
    TextDocument document;
    document.setText(u"ab\ncd\n");
    const int expected[] = {0, 0, 0, 1, 1, 1, 2};
    for (int position = 0; position <= 6; ++position) EXPECT_EQ(document.lineOfPosition(position), expected[position]);
    EXPECT_EQ(document.lineOfPosition(-5), 0);
    EXPECT_EQ(document.lineOfPosition(100), 2);
    EXPECT_EQ(document.positionToLineColumn(4).line, 1);
    EXPECT_EQ(document.positionToLineColumn(4).column, 1);
}

TEST(TextDocument, QueriesOutsideTheTextAnswerEmpty) {
    TextDocument document;
    document.setText(u"one\r\ntwo");
    EXPECT_EQ(document.charAt(8), u'\0');
    EXPECT_EQ(document.charAt(-1), u'\0');
    EXPECT_EQ(document.charAt(3), u'\r');
    EXPECT_EQ(document.textRange(9, 12), u"");
    EXPECT_EQ(document.textRange(6, 12), u"wo");
    EXPECT_EQ(document.textRange(-3, 2), u"on");
    EXPECT_EQ(document.textRange(4, 2), u"");
    EXPECT_EQ(document.lineText(0), u"one\r\n");
    EXPECT_EQ(document.lineText(1), u"two");
    EXPECT_EQ(document.lineText(2), u"");
    EXPECT_EQ(document.lineLength(0), 5);
    EXPECT_EQ(document.lineLength(7), 0);
    EXPECT_EQ(document.lineStartIfAny(1), 5);
    EXPECT_EQ(document.lineStartIfAny(2), -1);
    EXPECT_EQ(document.lineStartIfAny(-1), -1);
    EXPECT_EQ(document.lineStartOfPosition(7), 5);
    EXPECT_EQ(document.lineStartOfPosition(8), 5);
    EXPECT_EQ(document.lineStartOfPosition(9), -1);
    EXPECT_EQ(document.lineStartOfPosition(-1), -1);

    std::u16string buffer = u"kept";
    EXPECT_EQ(document.copyLine(0, buffer), 5);
    EXPECT_EQ(buffer, u"one\r\n");
    buffer = u"kept";
    EXPECT_EQ(document.copyLine(4, buffer), 0);
    EXPECT_EQ(buffer, u"kept");
}

TEST(TextDocument, ClearedLineTableAnswersAsEmpty) {
    TextDocument document;
    document.setText(u"a\nb");
    document.clearLines();
    EXPECT_EQ(document.lineCount(), 0);
    EXPECT_EQ(document.lineStart(0), 0);
    EXPECT_EQ(document.lineOfPosition(2), 0);
    EXPECT_EQ(document.lineText(0), u"");
    document.replace(0, 0, u"x\n");  // the text changes; the table stays empty
    EXPECT_EQ(document.text(), u"x\na\nb");
    EXPECT_EQ(document.lineCount(), 0);
    document.setText(document.text());
    EXPECT_EQ(document.lineCount(), 3);
}

TEST(TextDocument, RowOfPositionFollowsTheWrapList) {
    TextDocument document;
    document.setText(u"0123456789abcdefghij\nxyz");
    document.lines().setLayout(0, {0, 10, 21});
    ASSERT_EQ(document.lines().firstRow(1), 2);
    EXPECT_EQ(document.rowOfPosition(0, 0), 0);
    EXPECT_EQ(document.rowOfPosition(0, 9), 0);
    EXPECT_EQ(document.rowOfPosition(0, 10), 1);
    EXPECT_EQ(document.rowOfPosition(0, 21), 1);  // the line's end stays on the last row
    EXPECT_EQ(document.rowOfPosition(0, 40), 1);
    EXPECT_EQ(document.rowOfPosition(1, 2), 2);  // not laid out: the first row
    EXPECT_EQ(document.rowOfPosition(5, 0), 0);
}

TEST(TextDocument, LineOfRowFindsTheLineOwningTheRow) {
    TextDocument document;
    document.setText(u"a\nb\nc");
    document.lines().setLayout(0, {0, 1, 1, 2});  // three rows: the others start at 3 and 4
    const int expected[] = {0, 0, 0, 1, 2, 2};
    for (int row = 0; row < 6; ++row) EXPECT_EQ(document.lineOfPosition(row, LineLookup::ByRow), expected[row]);
}

}  // namespace

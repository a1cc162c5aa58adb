// Word wrap, justification and the x arithmetic of the layout, with fixed
// widths: ASCII 10 pixels, everything else 20, TAB stops every 80.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "editor/TextDocument.h"
#include "editor/TextLayout.h"

namespace {

struct Layout : ::testing::Test {
    TextDocument document;
    veltrix::CharWidthCache widths{[](std::u16string_view c) { return c[0] < 0x80 ? 10 : 20; }, 80};
    TextLayout layout{document, widths};

    void lay(std::u16string_view text, int wrapWidth) {
        document.setText(text);
        layout.setWrapWidth(wrapWidth);
        layout.layoutAll();
    }
    std::vector<std::u16string> rows() {
        std::vector<std::u16string> result;
        for (int row = 0; row < layout.totalRows(); ++row) {
            const RowSpan span = layout.rowSpan(row);
            result.push_back(document.textRange(span.start, span.end));
        }
        return result;
    }
};

using Rows = std::vector<std::u16string>;

TEST_F(Layout, WrapsAtWordsAndBreaksWhatCannotFit) {
    struct Case {
        const char16_t* text;
        int width;
        Rows rows;
    };
    const Case cases[] = {
        // The word that overflows moves to the next row whole.
        {u"the quick fox", 100, {u"the quick ", u"fox"}},
        // "the end" wrapped after "the": the space stays on the first row.
        {u"the end", 40, {u"the ", u"end"}},
        {u"the end", 50, {u"the ", u"end"}},
        // A word longer than the row breaks at the character that overflows.
        {u"abcdefghij", 40, {u"abcd", u"efgh", u"ij"}},
        {u"ab abcdefghij", 40, {u"ab ", u"abcd", u"efgh", u"ij"}},
        // Japanese breaks between any two characters.
        {u"日本語の文章です", 60, {u"日本語", u"の文章", u"です"}},
        // Digits and punctuation are not word characters.
        {u"12345678", 30, {u"123", u"456", u"78"}},
        // After a space, Japanese breaks between characters...
        {u"ab 英語", 50, {u"ab 英", u"語"}},
        // ...but an English word right before the overflow moves with it.
        {u"xy ab英", 50, {u"xy ", u"ab英"}},
        // Line breaks end rows; an empty line is one empty row.
        {u"ab\r\n\r\ncd", 100, {u"ab", u"", u"cd"}},
        // A trailing space that overflows hangs at the end of the last row.
        {u"abcd ", 40, {u"abcd "}},
        // A character never fits less than alone.
        {u"日本", 10, {u"日", u"本"}},
    };
    for (const Case& c : cases) {
        lay(c.text, c.width);
        EXPECT_EQ(rows(), c.rows) << "case of width " << c.width << ", " << rows().size() << " rows";
    }
}

TEST_F(Layout, StoresRowsInTheLineTable) {
    lay(u"aaaa bbbb cccc\ndd\n", 60);
    const LineTable& lines = document.lines();
    ASSERT_EQ(lines.lineCount(), 3);
    EXPECT_EQ(lines.wrapList(0), (std::vector<std::int32_t>{0, 5, 10, 15}));
    EXPECT_EQ(lines.rowCount(0), 3);
    EXPECT_EQ(lines.firstRow(1), 3);
    EXPECT_TRUE(lines.wrapList(1).empty());  // one row needs no list
    EXPECT_EQ(lines.rowCount(1), 1);
    EXPECT_EQ(lines.firstRow(2), 4);
    EXPECT_EQ(lines.firstRow(3), 5);
    EXPECT_EQ(layout.totalRows(), 5);
    EXPECT_EQ(layout.lineOfRow(2), 0);
    EXPECT_EQ(layout.lineOfRow(3), 1);
    EXPECT_EQ(layout.lineOfRow(99), 2);
}

TEST_F(Layout, JustifiesEveryRowButTheLastOfItsLine) {
    // "go to the " is 100 wide with its spaces; the wrap width is 125.
    lay(u"go to the end", 125);
    ASSERT_EQ(rows(), (Rows{u"go to the ", u"end"}));
    const RowSpan first = layout.rowSpan(0);
    // Two inner spaces share the 25 spare pixels: (125 - (100 - 2 * 10)) / 2.
    EXPECT_EQ(layout.spaceWidth(first), 22);
    EXPECT_EQ(layout.xOfPosition(first, 3), 42);
    EXPECT_EQ(layout.spaceWidth(layout.rowSpan(1)), 10);

    layout.setJustify(Justify::Off);
    EXPECT_EQ(layout.spaceWidth(first), 10);
    EXPECT_EQ(layout.xOfPosition(first, 3), 30);
}

TEST_F(Layout, TabsAdvanceToTheNextStopFromTheRowStart) {
    lay(u"a\tb\t\tc", 1000);
    const RowSpan row = layout.rowSpan(0);
    EXPECT_EQ(layout.xOfPosition(row, 1), 10);
    EXPECT_EQ(layout.xOfPosition(row, 2), 80);
    EXPECT_EQ(layout.xOfPosition(row, 4), 160);
    EXPECT_EQ(layout.xOfPosition(row, 5), 240);
}

TEST_F(Layout, HitTestingTakesTheNearerBoundary) {
    lay(u"abc日本", 1000);
    const RowSpan row = layout.rowSpan(0);
    struct Case {
        int x;
        int position;
    };
    const Case cases[] = {{-5, 0}, {0, 0},  {4, 0},  {5, 1},  {14, 1}, {15, 2},
                          {29, 3}, {39, 3}, {40, 4}, {59, 4}, {60, 5}, {500, 5}};
    for (const Case& c : cases) EXPECT_EQ(layout.positionAtX(row, c.x), c.position) << "x " << c.x;
}

TEST_F(Layout, PositionsAtRowBoundariesBelongToTheNextRowExceptAtTheLineEnd) {
    lay(u"aaaa bbbb\r\ncc", 60);
    ASSERT_EQ(rows(), (Rows{u"aaaa ", u"bbbb", u"cc"}));
    EXPECT_EQ(layout.rowOfPosition(4), 0);
    EXPECT_EQ(layout.rowOfPosition(5), 1);
    EXPECT_EQ(layout.rowOfPosition(9), 1);   // before the "\r\n"
    EXPECT_EQ(layout.rowOfPosition(11), 2);  // start of "cc"
    EXPECT_EQ(layout.rowOfPosition(13), 2);  // end of the text
    // Clicking past the end of a wrapped row stays on that row.
    EXPECT_EQ(layout.positionAtX(layout.rowSpan(0), 500), 4);
}

TEST_F(Layout, RelayoutTouchesOnlyTheGivenLines) {
    lay(u"one\ntwo two two\nthree\nfour four", 60);
    ASSERT_EQ(layout.totalRows(), 7);
    // A marker in a line that the relayout must not visit.
    LineTable::WrapList marked = document.lines().wrapList(3);
    ASSERT_EQ(marked.size(), 3u);
    marked.back() = 777;
    document.lines().setLayout(3, marked);
    document.replace(4, 4, u"xxxxx ");
    EXPECT_TRUE(layout.relayout(1, 1));
    EXPECT_EQ(document.lines().wrapList(3).back(), 777);
    EXPECT_EQ(document.lines().wrapList(1), (std::vector<std::int32_t>{0, 6, 10, 14, 18}));
    EXPECT_EQ(document.lines().firstRow(2), 5);
    EXPECT_EQ(layout.totalRows(), 8);
    EXPECT_FALSE(layout.relayout(1, 1));
}

TEST_F(Layout, SurrogatesAndBreaksHaveFixedWidths) {
    veltrix::CharWidthCache cache([](std::u16string_view c) { return c[0] == u'\u3000' ? 24 : 7; }, 56);
    EXPECT_EQ(cache.width(u'\r'), 0);
    EXPECT_EQ(cache.width(u'\n'), 0);
    EXPECT_EQ(cache.width(0xD83D), 24);
    EXPECT_EQ(cache.width(0xDE00), 24);
    EXPECT_EQ(cache.width(u'a'), 7);
    EXPECT_EQ(cache.tabCell(), 56);
}

}  // namespace

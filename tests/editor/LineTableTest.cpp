// The incremental line table against a rescan of the text after every edit,
// and the stepped line look-up against a plain search, on tables big enough
// for the coarse steps to matter.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "editor/TextDocument.h"

namespace {

std::vector<int> startsOf(const TextDocument& document) {
    std::vector<int> starts;
    for (int line = 0; line <= document.lineCount(); ++line) starts.push_back(document.lineStart(line));
    return starts;
}

// The line starts as a fresh document computes them from the text alone.
std::vector<int> rescanned(const std::u16string& text) {
    TextDocument fresh;
    fresh.setText(text);
    return startsOf(fresh);
}

// Independent of the document's code: every position behind a break.
std::vector<int> countedByHand(const std::u16string& text) {
    std::vector<int> starts{0};
    const int n = static_cast<int>(text.size());
    for (int i = 0; i < n; ++i) {
        if (text[static_cast<std::size_t>(i)] == u'\n' ||
            (text[static_cast<std::size_t>(i)] == u'\r' &&
             (i + 1 == n || text[static_cast<std::size_t>(i) + 1] != u'\n')))
            starts.push_back(i + 1);
    }
    starts.push_back(n);
    return starts;
}

std::u16string randomPiece(std::mt19937& random, int maxLength) {
    static const std::u16string kAlphabet[] = {u"\r", u"\n", u"\r\n", u"a", u"b", u"あ", u" "};
    std::uniform_int_distribution<int> length(0, maxLength);
    std::uniform_int_distribution<int> pick(0, 6);
    std::u16string piece;
    for (int k = length(random); k > 0; --k) piece += kAlphabet[pick(random)];
    return piece;
}

TEST(LineTable, EqualsARescanAfterEveryRandomEdit) {
    std::mt19937 random(20261209);
    TextDocument document;
    std::u16string shadow;
    for (int step = 0; step < 6000; ++step) {
        const int n = static_cast<int>(shadow.size());
        std::uniform_int_distribution<int> anywhere(0, n);
        int start = anywhere(random);
        int end = start;
        std::u16string inserted;
        switch (step % 3) {
            case 0:
                inserted = randomPiece(random, 6);
                break;  // insert
            case 1:
                end = std::min(n, start + anywhere(random) % 8);
                break;  // delete
            default:
                end = std::min(n, start + anywhere(random) % 8);
                inserted = randomPiece(random, 4);  // replace
        }
        // Keep the text from growing without bound so deletions reach old breaks.
        if (n > 400) end = std::min(n, start + 40);
        document.replace(start, end, inserted);
        shadow.replace(static_cast<std::size_t>(start), static_cast<std::size_t>(end - start), inserted);
        ASSERT_EQ(document.text(), shadow);
        ASSERT_EQ(startsOf(document), countedByHand(shadow)) << "after step " << step;
    }
}

TEST(LineTable, EqualsARescanInALongTextWithCoarseSteps) {
    // Over a thousand lines make the look-up take steps of ten or more.
    std::mt19937 random(7);
    TextDocument document;
    std::u16string text;
    for (int i = 0; i < 3000; ++i) text += (i % 3 == 0) ? u"line\r\n" : (i % 3 == 1) ? u"x\n" : u"yz\r";
    document.setText(text);
    for (int step = 0; step < 2000; ++step) {
        const int n = document.length();
        std::uniform_int_distribution<int> anywhere(0, n);
        const int start = anywhere(random);
        const int end = std::min(n, start + static_cast<int>(random() % 6));
        document.replace(start, end, randomPiece(random, 5));
        if (step % 50 == 0) {
            ASSERT_EQ(startsOf(document), rescanned(document.text())) << "after step " << step;
        }
    }
    EXPECT_EQ(startsOf(document), rescanned(document.text()));
}

TEST(LineTable, SteppedLookupMatchesAPlainSearch) {
    for (int lines : {1, 2, 99, 100, 101, 250, 5000, 120000}) {
        TextDocument document;
        std::u16string text;
        for (int i = 0; i < lines - 1; ++i) text += (i % 2) ? u"ab\n" : u"\r\n";
        document.setText(text);
        ASSERT_EQ(document.lineCount(), lines);
        const std::vector<int> starts = startsOf(document);
        const int n = document.length();
        for (int position = -1; position <= n + 1; position += (lines > 5000 ? 7 : 1)) {
            auto after = std::upper_bound(starts.begin(), starts.end() - 1, position);
            int expected = static_cast<int>(after - starts.begin()) - 1;
            expected = std::clamp(expected, 0, lines - 1);
            ASSERT_EQ(document.lineOfPosition(position), expected) << lines << " lines, position " << position;
        }
    }
}

}  // namespace

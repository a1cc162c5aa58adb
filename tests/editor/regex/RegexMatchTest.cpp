// Matching: every element's semantics, boundaries, directions, repeated
// searches and UTF-16 positions, table-driven.
#include "RegexTestSupport.h"

using namespace regex;

namespace {

using Spans = std::vector<std::pair<int, int>>;

TEST(RegexMatch, ElementTable) {
    const MatchCase cases[] = {
        // Alternatives and groups.
        {u"(a)|b", 0, u"b", {0, 1, -1, -1}},
        {u"(a|ab)c", 0, u"abc", {0, 3, 0, 2}},
        {u"(?>a|ab)c", 0, u"abc", {}},
        {u"(?>a|ab)c", 0, u"ac", {0, 2}},
        {u"cat|dog|bird", 0, u"a bird", {2, 6}},
        {u"a(|b)c", 0, u"ac", {0, 2, 1, 1}},
        {u"(a)*", 0, u"aaa", {0, 3, 2, 3}},
        {u"(a|b)*c", 0, u"abbac", {0, 5, 3, 4}},
        // Quantifiers.
        {u"a+?", 0, u"aaa", {0, 1}},
        {u"<.*?>", 0, u"<a><b>", {0, 3}},
        {u"<.*>", 0, u"<a><b>", {0, 6}},
        {u"a{2,3}", 0, u"aaaa", {0, 3}},
        {u"a{2,}?", 0, u"aaaa", {0, 2}},
        {u"a*+a", 0, u"aaa", {}},
        {u"a++b", 0, u"aab", {0, 3}},
        {u"(?:ab)?c", 0, u"abc", {0, 3}},
        {u"(?:ab)??c", 0, u"abc", {0, 3}},
        {u"x*?y", 0, u"xxy", {0, 3}},
        {u"(a+)+b", 0, u"aab", {0, 3, 0, 2}},
        // An iteration that can only match empty is taken back, so group 1 takes no part.
        {u"(a*)*b", 0, u"b", {0, 1, -1, -1}},
        {u"(a*)+b", 0, u"aab", {0, 3}},
        {u"(?:a|b)*?c", 0, u"abac", {0, 4}},
        {u"(a|ab)(c|bcd)(d*)", 0, u"abcd", {0, 4, 0, 1, 1, 4, 4, 4}},
        // Greedy repeats keep the iteration count when the last iteration finds
        // another way, and do not add iterations after it: "(a|ab)*c" cannot
        // take "ab" and then "a" at 0, so the first match is at 2.
        {u"(a|ab)*c", 0, u"abac", {2, 4, 2, 3}},
        // Dot, classes and shorthands.
        {u".", 0, u"\n", {}},
        {u".", singleLine, u"\n", {0, 1}},
        {u"\\d+", 0, u"ab١23", {3, 5}},
        {u"\\D+", 0, u"12ab3", {2, 4}},
        {u"\\w+", 0, u"日本語abc_1", {3, 8}},
        {u"\\W+", 0, u"ab日本cd", {2, 4}},
        {u"\\s", 0, u"a\fb", {}},
        {u"\\s", rightToLeft, u"a\fb", {1, 2}},
        {u"\\s", rightToLeft, u"a\vb", {1, 2}},
        {u"\\S+", 0, u"  ab ", {2, 4}},
        // Case.
        {u"abc", ignoreCase, u"xAbC", {1, 4}},
        {u"straße", ignoreCase, u"STRAßE", {0, 6}},
        {u"é", ignoreCase, u"É", {}},
        {u"日本", ignoreCase, u"にほん日本", {3, 5}},
        // Boundaries.
        {u"^a", 0, u"ba", {}},
        {u"a$", 0, u"a\n", {}},
        {u"a\\Z", 0, u"a\n", {0, 1}},
        {u"a\\Z", 0, u"a\r\n", {0, 1}},
        {u"a\\z", 0, u"a\n", {}},
        {u"\\Aa", multiLine, u"b\na", {}},
        {u"^a", multiLine, u"b\na", {2, 3}},
        {u"^a", multiLine, u"b\ra", {2, 3}},
        {u"a$", multiLine, u"a\r\nb", {0, 1}},
        {u"\\bcd", 0, u"abcd cd", {5, 7}},
        {u"\\Bcd", 0, u"abcd cd", {2, 4}},
        {u"\\bab", 0, u"日本ab", {2, 4}},
        {u"本\\b", 0, u"日本ab", {1, 2}},
        {u"日\\B", 0, u"日本ab", {0, 1}},
        // Look-around.
        {u"a(?=b)", 0, u"acab", {2, 3}},
        {u"a(?!b)", 0, u"abac", {2, 3}},
        {u"(?<=ab+)c", 0, u"ac abbbc", {7, 8}},
        {u"(?<!a)c", 0, u"acbc", {3, 4}},
        {u"(?=(a+))a", 0, u"aaa", {0, 1, 0, 3}},
        {u"(?!(a))b", 0, u"b", {0, 1, -1, -1}},
        {u"(?<=(日本))語", 0, u"日本語", {2, 3, 0, 2}},
        // Back-references.
        {u"(a+)b\\1", 0, u"aabaa", {0, 5, 0, 2}},
        {u"(a+)b\\1", 0, u"aaba", {1, 4, 1, 2}},
        {u"(a)\\1", ignoreCase, u"aA", {0, 2}},
        {u"(?<q>[\"'])x\\k<q>", 0, u"'x' \"x\"", {0, 3}},
        {u"(?<q>.)\\k'q'", 0, u"abb", {1, 3}},
        {u"(a)\\g1", 0, u"aa", {0, 2}},
        {u"(a)\\g<1>", 0, u"aa", {0, 2}},
        {u"\\1(a)", 0, u"aa", {}},
        {u"(a)|\\1b", 0, u"b", {}},
        {u"(日本)\\1", 0, u"日本日本", {0, 4}},
        // Conditionals.
        {u"(a)?(?(1)b|c)", 0, u"ab", {0, 2}},
        {u"(a)?(?(1)b|c)", 0, u"c", {0, 1}},
        {u"(?(?=a)ab|cd)", 0, u"cd", {0, 2}},
        {u"(?(?=a)ab|cd)", 0, u"ab", {0, 2}},
        {u"(?<n>x)?(?(n)y|z)", 0, u"xy", {0, 2}},
        {u"(?<n>x)?(?(n)y|z)", 0, u"z", {0, 1}},
        {u"(?(a)ab|cd)", 0, u"ab", {0, 2}},
        {u"(?(a)ab|cd)", 0, u"cd", {0, 2}},
        {u"(?(1)a)b", 0, u"b", {0, 1}},
        {u"(?(?<=x)a|b)", 0, u"xa", {1, 2}},
        // Recursion.
        {u"\\((?:[^()]|(?R))*\\)", 0, u"x(a(b)c)", {1, 8}},
        {u"(a(?1)?b)", 0, u"aaabbb", {0, 6, 0, 6}},
        {u"(?<p>a(?&p)?b)", 0, u"ab", {0, 2}},
        {u"(?<p>a(?R<p>)?b)", 0, u"aabb", {0, 4, 0, 4}},
        {u"x(?9)y", 0, u"xy", {0, 2}},
        {u"(?R<none>)a", 0, u"a", {0, 1}},
        // \G with and without the option.
        {u"\\Ga", global, u"ba", {}},
        {u"\\Ga", 0, u"ba", {1, 2}},
        // Surrogate pairs are two units; "." takes one.
        {u".", 0, u"\U0001D11E", {0, 1}},
        {u"^.$", 0, u"\U0001D11E", {}},
        {u"^..$", 0, u"\U0001D11E", {0, 2}},
        {u"\U0001D11E+", 0, u"\U0001D11E\xDD1E\xDD1E", {0, 4}},
        {u"[\U0001D11E]", 0, u"x\xDD1E", {1, 2}},
        // Japanese subjects.
        {u"です$", 0, u"これは日本語です", {6, 8}},
        {u"日本(語|人)", 0, u"日本人と日本語", {0, 3, 2, 3}},
        {u"[、。]", 0, u"はい、そうです。", {2, 3}},
        {u"(\\w+)\\s*=\\s*「(.*?)」", 0, u"title = 「吾輩は猫である」", {0, 17, 0, 5, 9, 16}},
        // Right-to-left.
        {u"ab", rightToLeft, u"abab", {2, 4}},
        {u"(a)(b)", rightToLeft, u"abab", {2, 4, 2, 3, 3, 4}},
        {u"a+", rightToLeft, u"baaa", {1, 4}},
        {u"a+?", rightToLeft, u"baaa", {3, 4}},
        {u"^a", rightToLeft, u"aba", {0, 1}},
        {u"a$", rightToLeft, u"aba", {2, 3}},
        {u"(?<=a)b", rightToLeft, u"abab", {3, 4}},
        {u"b(?=a)", rightToLeft, u"baba", {2, 3}},
        // Right-to-left, a back-reference is matched before a group to its left.
        {u"(a+)b\\1", rightToLeft, u"aabaa", {}},
        {u"\\1b(a+)", rightToLeft, u"aabaa", {0, 5, 3, 5}},
        {u"日本", rightToLeft, u"日本と日本", {3, 5}},
        {u"ab", rightToLeft, u"abab", {0, 2}, 3},
        {u"ab", rightToLeft, u"abab", {2, 4}, 99},
    };
    for (const MatchCase& row : cases) expectCase(row);
}

TEST(RegexMatch, RepeatedSearchesWalkThroughTheText) {
    struct Row {
        std::u16string_view pattern;
        int options;
        std::u16string_view subject;
        int start;
        Spans expected;
    };
    const Row rows[] = {
        {u"a*", 0, u"baaab", -1, {{0, 0}, {1, 4}, {4, 4}, {5, 5}}},
        {u"", 0, u"ab", -1, {{0, 0}, {1, 1}, {2, 2}}},
        {u"$", multiLine, u"ab\r\ncd", -1, {{2, 2}, {6, 6}}},
        {u"^", multiLine, u"ab\r\ncd", -1, {{0, 0}, {4, 4}}},
        {u"^", multiLine, u"ab\ncd\n", -1, {{0, 0}, {3, 3}, {6, 6}}},
        {u"\\Ga", global, u"aaba", -1, {{0, 1}, {1, 2}}},
        {u"\\Ga", global, u"aaba", 3, {{3, 4}}},
        {u"日本", 0, u"日本と日本", -1, {{0, 2}, {3, 5}}},
        {u"ab", rightToLeft, u"ababab", -1, {{4, 6}, {2, 4}, {0, 2}}},
        {u"a*", rightToLeft, u"baab", -1, {{4, 4}, {1, 3}, {1, 1}, {0, 0}}},
        {u"x", 0, u"xx", 5, {}},
        {u"x", 0, u"xx", 1, {{1, 2}}},
    };
    for (const Row& row : rows) {
        RegexPattern pattern(row.pattern, row.options);
        EXPECT_EQ(allMatches(pattern, row.subject, row.start), row.expected)
            << "pattern \"" << utf8(row.pattern) << "\" subject \"" << utf8(row.subject) << "\"";
    }
}

TEST(RegexMatch, ResultLayoutAndContext) {
    RegexPattern pattern(u"(a)(x)?(b)", 0);
    MatchContext context = pattern.prepareMatch(u"zab", 0);
    MatchResult result = pattern.match(context);
    EXPECT_EQ(result.entries(), (std::vector<int>{1, 3, 1, 3, 1, 2, -1, -1, 2, 3}));
    EXPECT_EQ(result.at(100), -1);
    EXPECT_EQ(result.status(), MatchStatus::found);
    EXPECT_EQ(context.searchStart, 3);
    EXPECT_EQ(context.previousSearchStart, 0);
    EXPECT_FALSE(pattern.match(context).found());
    EXPECT_EQ(pattern.match(context).status(), MatchStatus::notFound);

    // A context is refilled for another text and starts over.
    pattern.prepareMatch(u"abab", 1, context);
    EXPECT_EQ(context.previousSearchStart, -1);
    EXPECT_EQ(groupsOf(pattern.match(context)), (std::vector<int>{2, 4, 2, 3, -1, -1, 3, 4}));

    // A backward search from p finds the match whose end is nearest at or before p.
    RegexPattern backwards(u"a.", rightToLeft);
    EXPECT_EQ(groupsOf(backwards.match(u"a1a2a3", 4)), (std::vector<int>{2, 4}));
    EXPECT_EQ(groupsOf(backwards.match(u"a1a2a3", 5)), (std::vector<int>{2, 4}));
}

TEST(RegexMatch, PatternsFromTheFindPane) {
    // The find pane always compiles with multiLine, and with ignoreCase and
    // rightToLeft as its options say; a whole document is searched.
    const std::u16string document = u"Hello world.\r\nこんにちは、世界。\r\nHELLO again";
    RegexPattern find(u"^hello", multiLine | ignoreCase);
    EXPECT_EQ(allMatches(find, document), (Spans{{0, 5}, {25, 30}}));
    RegexPattern up(u"^hello", multiLine | ignoreCase | rightToLeft);
    EXPECT_EQ(allMatches(up, document), (Spans{{25, 30}, {0, 5}}));
    RegexPattern japanese(u"世界", multiLine);
    EXPECT_EQ(allMatches(japanese, document), (Spans{{20, 22}}));
}

}  // namespace

namespace {

// Where a repeat's follower is only known from a recursion's caller, or is
// read leftwards, the repeat must still give back what the follower needs.
TEST(RegexMatch, RepeatsGiveBackWhereARecursionOrABackwardSearchNeedsIt) {
    const MatchCase rows[] = {
        // Inside the recursion "(\w+)" is followed by "\w", not by "@"; the
        // recursion's capture is the group's latest.
        {u"(\\w+)@(?1)\\w", 0, u"ab@cd", {0, 5, 3, 4}},
        {u"(\\w+)@(\\w+)", rightToLeft, u"ab@cd ef@gh", {6, 11, 6, 8, 9, 11}},
        {u"\\d\\w+", rightToLeft, u"a1bc", {1, 4}},
        {u"\\1 (\\w+)", rightToLeft, u"ab b", {1, 4, 3, 4}},
        {u"[a-c]+B", ignoreCase, u"abB", {0, 3}},
    };
    for (const MatchCase& row : rows) expectCase(row);
    RegexPattern backwards(u"[0-9]+-", rightToLeft);
    EXPECT_EQ(allMatches(backwards, u"12-34-"), (Spans{{3, 6}, {0, 3}}));
}

}  // namespace

// How pattern texts are read: tokens, escapes, quantifier counts, classes,
// groups and their numbers, inline options, and malformed input that must
// still compile to something sensible.
#include "RegexTestSupport.h"

using namespace regex;

namespace {

TEST(RegexCompile, SyntaxTable) {
    const MatchCase cases[] = {
        // A quantifier takes one character of a literal run.
        {u"ab*", 0, u"ac", {0, 1}},
        {u"ab*", 0, u"abbbc", {0, 4}},
        {u"abc+", 0, u"xabccc", {1, 6}},
        // Counts.
        {u"x{,3}", 0, u"xxx", {0, 0}},
        {u"x{2,1}", 0, u"xxx", {0, 2}},
        {u"x{2}", 0, u"xxx", {0, 2}},
        {u"x{2,}", 0, u"xxxxy", {0, 4}},
        {u"x{ 1 , 2 }", 0, u"xxx", {0, 2}},
        {u"x{2}?", 0, u"xxx", {0, 2}},
        {u"x{2}+", 0, u"xxx", {0, 2}},
        {u"x{1,3}?", 0, u"xxx", {0, 1}},
        {u"x{1,3}+x", 0, u"xxx", {}},
        {u"a{b}c", 0, u"ac", {1, 2}},
        {u"x{0}y", 0, u"xy", {1, 2}},
        {u"x{1234567}", 0, u"x", {}},
        // A quantifier with nothing before it is a literal.
        {u"*a", 0, u"*a", {0, 2}},
        {u"+", 0, u"a+", {1, 2}},
        {u"}", 0, u"}", {0, 1}},
        {u"a**", 0, u"aa*", {0, 3}},
        // Escapes.
        {u"\\x41", 0, u"A", {0, 1}},
        {u"\\u0041", 0, u"A", {0, 1}},
        {u"\\x4G", 0, u"\x04G", {0, 2}},
        {u"\\x{65e5}", 0, u"日", {0, 1}},
        {u"\\u{1D11E}", 0, u"\xD11E", {0, 1}},
        {u"\\xZ", 0, u"xZ", {0, 2}},
        {u"\\t\\n\\r\\f\\v\\a\\e", 0, u"\t\n\r\f\v\a\x1B", {0, 7}},
        {u"\\.\\*\\[", 0, u"a.*[", {1, 4}},
        {u"a\\", 0, u"a\\", {0, 2}},
        {u"(?#note)a", 0, u"ba", {1, 2}},
        {u"a(?#unclosed", 0, u"a", {0, 1}},
        // Quote mode.
        {u"\\Qa.b\\E+", 0, u"axb a.bb", {4, 8}},
        {u"\\Qa.b", 0, u"axb a.b", {4, 7}},
        {u"\\Uabc\\E", 0, u"abc ABC", {4, 7}},
        {u"\\LABC", 0, u"ABC abc", {4, 7}},
        {u"\\Q(x)*\\E", 0, u"(x)*", {0, 4}},
        // Extended: white space and comments skipped everywhere.
        {u"a b # comment\n c", extended, u"abc", {0, 3}},
        {u"[a b]+", extended, u"x ab", {2, 4}},
        {u"a b", 0, u"a b", {0, 3}},
        {u"[a#b]\n]", extended, u"#ba", {2, 3}},
        {u"a\\ b", extended, u"a b", {0, 3}},
        // Classes.
        {u"[a-]", 0, u"-", {0, 1}},
        {u"[-a]+", 0, u"b-a", {1, 3}},
        {u"[]", 0, u"abc", {}},
        {u"[^]", 0, u"\n", {0, 1}},
        {u"[a-c]", ignoreCase, u"B", {0, 1}},
        {u"[Q]", ignoreCase, u"q", {0, 1}},
        {u"[^a-c]", ignoreCase, u"ABCd", {3, 4}},
        {u"[\\d_]+", 0, u"ab1_2c", {2, 5}},
        {u"[\\w]+", 0, u"日本abc", {2, 5}},
        {u"[\\s]", 0, u"a\fb c", {3, 4}},
        {u"[.*+?]+", 0, u"a.*+?b", {1, 5}},
        {u"[\\b]", 0, u"a\bb", {1, 2}},
        {u"[\\]]", 0, u"a]", {1, 2}},
        {u"[ぁ-ん]+", 0, u"カタカナとひらがな", {4, 9}},
        {u"[一-龯]+", 0, u"これは日本語です", {3, 6}},
        // POSIX classes, inside brackets and alone.
        {u"[[:alpha:]]+", 0, u"12ab3", {2, 4}},
        {u"[[:^digit:]]+", 0, u"12ab3", {2, 4}},
        {u"[:digit:]+", 0, u"ab123", {2, 5}},
        {u"[[:space:]]", 0, u"a\vb", {1, 2}},
        {u"[[:blank:]]", 0, u"a\n\tb", {2, 3}},
        {u"[[:upper:][:digit:]]+", 0, u"abC1d", {2, 4}},
        {u"[[:xdigit:]]+", 0, u"xyzBEEFg", {3, 7}},
        {u"[[:punct:]]", 0, u"ab!", {2, 3}},
        {u"[[:alnum:]]", 0, u"日本a", {2, 3}},
        {u"[[:ascii:]]", 0, u"日本a", {2, 3}},
        {u"[[:foo:]]", 0, u"abc", {}},
        {u"[[:^foo:]]", 0, u"abc", {}},
        // Groups and numbering.
        {u"(?<x>a)(b)", 0, u"ab", {0, 2, 1, 2, 0, 1}},
        {u"(?<2>a)", 0, u"a", {0, 1, -1, -1, 0, 1}},
        {u"(?'x'a)(?P<y>b)(?P'z'c)", 0, u"abc", {0, 3, 0, 1, 1, 2, 2, 3}},
        {u"(?<x>a)|(?<x>b)", 0, u"b", {0, 1, 0, 1}},
        {u"(a)(?:b)(c)", 0, u"abc", {0, 3, 0, 1, 2, 3}},
        {u"((a)(b))", 0, u"ab", {0, 2, 0, 2, 0, 1, 1, 2}},
        // Inline options hold for the rest of the group, later branches included.
        {u"a(?i)b|c", 0, u"aB", {0, 2}},
        {u"a(?i)b|c", 0, u"C", {0, 1}},
        {u"(?:a(?i)b)c", 0, u"aBC", {}},
        {u"(?i:a)b", 0, u"Ab", {0, 2}},
        {u"(?i:a)b", 0, u"AB", {}},
        {u"(?i)a(?-i)b", 0, u"AB Ab", {3, 5}},
        {u"(?s:.)", 0, u"\n", {0, 1}},
        {u"(?m)^b", 0, u"a\nb", {2, 3}},
        {u"(?i(a))b", 0, u"Ab", {0, 2}},
        {u"(?x)a", 0, u"xa", {1, 2}},
        // Malformed input.
        {u"ab)cd", 0, u"abcd", {0, 2}},
        {u"(ab", 0, u"xab", {1, 3, 1, 3}},
        {u"[ab", 0, u"xb", {1, 2}},
        {u"(?", 0, u"a", {0, 0}},
        {u"(?<name", 0, u"a", {0, 0}},
        {u"\\k<nobody>", 0, u"abc", {}},
        {u"a\\G", 0, u"ba", {1, 2}},
    };
    for (const MatchCase& row : cases) expectCase(row);
}

TEST(RegexCompile, GroupNumbersAndNames) {
    RegexPattern named(u"(?<x>a)(b)(?<y>c)(d)", 0);
    EXPECT_EQ(named.highestGroup(), 4);
    EXPECT_EQ(named.groupNumberOf(u"x"), 3);
    EXPECT_EQ(named.groupNumberOf(u"Y"), 4);
    EXPECT_EQ(named.groupNumberOf(u"z"), -1);

    RegexPattern digits(u"(?<5>a)(b)", 0);
    EXPECT_EQ(digits.highestGroup(), 5);
    EXPECT_EQ(groupsOf(digits.match(u"ab")), (std::vector<int>{0, 2, 1, 2, -1, -1, -1, -1, -1, -1, 0, 1}));

    // Same name, same number; an absurd digit name is an ordinary name.
    RegexPattern same(u"(?<n>a)|(?<N>b)", 0);
    EXPECT_EQ(same.highestGroup(), 1);
    // Named groups are numbered in the order they open, nested ones too.
    RegexPattern nested(u"(?<outer>(?<inner>x)y)(z)", 0);
    EXPECT_EQ(nested.groupNumberOf(u"outer"), 2);
    EXPECT_EQ(nested.groupNumberOf(u"inner"), 3);
    EXPECT_EQ(groupsOf(nested.match(u"xyz")), (std::vector<int>{0, 3, 2, 3, 0, 2, 0, 1}));
    RegexPattern huge(u"(?<99999999>a)", 0);
    EXPECT_EQ(huge.highestGroup(), 1);
}

TEST(RegexCompile, EmptyAndNullPatterns) {
    RegexPattern empty(u"", 0);
    EXPECT_TRUE(empty.hasTopElement());
    EXPECT_EQ(groupsOf(empty.match(u"abc", 1)), (std::vector<int>{1, 1}));

    RegexPattern none;
    none.compile(static_cast<const char16_t*>(nullptr), 0);
    EXPECT_FALSE(none.hasTopElement());
    EXPECT_FALSE(none.match(u"abc").found());

    // Compiling again replaces everything the pattern held.
    RegexPattern again(u"(a)(b)(c)", 0);
    again.compile(u"x", 0);
    EXPECT_EQ(again.highestGroup(), 0);
    EXPECT_EQ(groupsOf(again.match(u"axb")), (std::vector<int>{1, 2}));
}

TEST(RegexCompile, NestingBeyondTheLimitIsAnErrorValue) {
    std::u16string deep(regex::kMaxNesting + 5, u'(');
    deep += u"a";
    RegexPattern pattern(deep, 0);
    EXPECT_EQ(pattern.error(), RegexError::nestingTooDeep);
    EXPECT_FALSE(pattern.hasTopElement());
    EXPECT_FALSE(pattern.match(u"a").found());
    EXPECT_EQ(describe(pattern.error()), u"The pattern nests groups too deeply.");

    // Conditionals whose tests are conditionals nest without any group body.
    std::u16string tests = u"(?";
    for (int n = 0; n < 100000; ++n) tests += u"(?";
    RegexPattern conditions(tests, 0);
    EXPECT_EQ(conditions.error(), RegexError::nestingTooDeep);

    std::u16string fine(regex::kMaxNesting - 2, u'(');
    fine += u"a";
    RegexPattern shallow(fine, 0);
    EXPECT_EQ(shallow.error(), RegexError::none);
    EXPECT_TRUE(shallow.match(u"a").found());
}

TEST(RegexCompile, ArbitraryTextNeverCrashes) {
    // Every prefix of some nasty patterns compiles and searches.
    const std::u16string_view nasty[] = {
        u"(?(?<=a)b|c)(?R)(?1)\\k'x'[[:^alpha:]\\w-\\d]{3,}?+(?<x>\\Q)(\\E)",
        u"(?P'n'(?i-msg)x)(?(n)|)(?'1'\\g<1>)[\\x{FFFFFFFFF}-\\u]\\",
        u"[:(?#)[[:[^]]]{,}{99999999,}*?+(?(1)(?(2)))(?R 12)(?R<nope>)",
    };
    for (std::u16string_view text : nasty) {
        for (std::size_t n = 0; n <= text.size(); ++n) {
            for (int options :
                 {0, ignoreCase | multiLine, static_cast<int>(rightToLeft), extended | singleLine | global}) {
                RegexPattern pattern(text.substr(0, n), options);
                (void)pattern.match(u"abc(1)[x]\n日本");
            }
        }
    }
}

}  // namespace

// Replacement: "$" references of the template, counts, start positions and
// right-to-left assembly.
#include "RegexTestSupport.h"

using namespace regex;

namespace {

struct ReplaceCase {
    std::u16string_view pattern;
    int options;
    std::u16string_view subject;
    std::u16string_view replacement;
    std::u16string_view expected;
    int start = -1;
    int count = -1;
};

TEST(RegexReplace, TemplateTable) {
    const ReplaceCase cases[] = {
        {u"(\\w+)-(\\w+)", 0, u"ab-cd", u"$2 $1", u"cd ab"},
        {u"(\\w+)-(\\w+)", 0, u"ab-cd", u"$5", u"$5"},
        {u"(\\w+)-(\\w+)", 0, u"ab-cd", u"$12", u"ab2"},
        {u"(\\w+)-(\\w+)", 0, u"ab-cd", u"$123", u"ab23"},
        {u"(\\w+)-(\\w+)", 0, u"ab-cd", u"$02", u"cd"},
        {u"(\\w+)-(\\w+)", 0, u"ab-cd", u"$$", u"$"},
        {u"(\\w+)-(\\w+)", 0, u"ab-cd", u"$$1", u"$1"},
        {u"(\\w+)-(\\w+)", 0, u"ab-cd", u"${x}", u"${x}"},
        {u"(\\w+)-(\\w+)", 0, u"ab-cd", u"${}", u"${}"},
        {u"(\\w+)-(\\w+)", 0, u"ab-cd", u"a$", u"a$"},
        {u"(\\w+)-(\\w+)", 0, u"ab-cd", u"$x$", u"$x$"},
        {u"(?<x>\\w+)", 0, u"ab-cd", u"${x}!", u"ab!-cd!"},
        {u"(?<x>\\w+)", 0, u"ab-cd", u"${X}", u"ab-cd"},
        {u"b", 0, u"abc", u"[$&]", u"a[b]c"},
        {u"b", 0, u"abc", u"[$`]", u"a[a]c"},
        {u"b", 0, u"abc", u"[$']", u"a[c]c"},
        {u"b", 0, u"abc", u"[$_]", u"a[abc]c"},
        {u"b", 0, u"abc", u"$0$0", u"abbc"},
        {u"(a)|(b)", 0, u"ab", u"<$+>", u"<a><b>"},
        {u"x", 0, u"x", u"<$+>", u"<x>"},
        {u"(a)?b", 0, u"b", u"[$1]", u"[]"},
        // Every empty match is replaced once.
        {u"^", multiLine, u"ab\ncd", u"> ", u"> ab\n> cd"},
        {u"$", multiLine, u"ab\ncd", u";", u"ab;\ncd;"},
        {u"a*", 0, u"baaab", u"-", u"-b--b-"},
        {u"", 0, u"ab", u"|", u"|a|b|"},
        // Counts and starts; the text before the start is kept.
        {u"a", 0, u"aaaa", u"x", u"xxaa", -1, 2},
        {u"a", 0, u"aaaa", u"x", u"aaaa", -1, 0},
        {u"a", 0, u"aaaa", u"x", u"aaxx", 2},
        {u"a", 0, u"aaaa", u"x", u"aaaa", 9},
        // Right to left.
        {u"a", rightToLeft, u"aaba", u"x", u"aabx", -1, 1},
        {u"ab", rightToLeft, u"abcab", u"[$&]", u"[ab]c[ab]"},
        {u"a", rightToLeft, u"aaaa", u"x", u"xxaa", 2},
        {u"(\\w)(\\w)", rightToLeft, u"abcde", u"$2$1", u"acbed"},
        // Japanese.
        {u"(日本)(語)", 0, u"日本語です", u"$2$1", u"語日本です"},
        {u"。", 0, u"はい。そう。", u".\n", u"はい.\nそう.\n"},
        {u"(?<word>\\w+)", 0, u"英語 English", u"<${word}>", u"英語 <English>"},
        {u"no", 0, u"none here", u"$&$&", u"nonone here"},
    };
    for (const ReplaceCase& row : cases) {
        RegexPattern pattern(row.pattern, row.options);
        EXPECT_EQ(utf8(pattern.replaceMatches(row.subject, row.replacement, row.start, row.count)), utf8(row.expected))
            << "pattern \"" << utf8(row.pattern) << "\" template \"" << utf8(row.replacement) << "\"";
    }
}

TEST(RegexReplace, ReportsWhetherAnythingWasReplaced) {
    RegexPattern pattern(u"z", 0);
    MatchStatus outcome = MatchStatus::found;
    EXPECT_EQ(pattern.replaceMatches(u"abc", u"y", -1, -1, &outcome), u"abc");
    EXPECT_EQ(outcome, MatchStatus::notFound);
    EXPECT_EQ(pattern.replaceMatches(u"azc", u"y", -1, -1, &outcome), u"ayc");
    EXPECT_EQ(outcome, MatchStatus::found);

    RegexPattern none;
    EXPECT_EQ(none.replaceMatches(u"abc", u"y"), u"abc");
}

}  // namespace

// Patterns that would backtrack or recurse without end stop at the step and
// recursion limits with a clear result, and the search stays usable.
#include "RegexTestSupport.h"

using namespace regex;

namespace {

TEST(RegexLimits, CatastrophicPatternsEndWithAClearResult) {
    const std::u16string as(30, u'a');
    struct Row {
        std::u16string_view pattern;
        std::u16string subject;
        MatchStatus expected;
    };
    const Row rows[] = {
        // Repeats do not re-extend after giving back, so this one fails fast.
        {u"(a*)*b", as, MatchStatus::notFound},
        {u"(a|aa)*b", as, MatchStatus::notFound},
        {u"(?:a*){12}b", as, MatchStatus::stepLimit},
        {u"(?:a*)(?:a*)(?:a*)(?:a*)(?:a*)(?:a*)(?:a*)(?:a*)(?:a*)(?:a*)b", as, MatchStatus::stepLimit},
        {u"(?:(?:){999999}){999999}", u"a", MatchStatus::stepLimit},
        {u"(?:(?:|){999999}){999999}", u"a", MatchStatus::stepLimit},
        {u"(?R)", u"abc", MatchStatus::recursionLimit},
        {u"(?R)a|b", u"aab", MatchStatus::recursionLimit},
        {u"(a|(?1)b)", u"bb", MatchStatus::recursionLimit},
        {u"((?1)|a)", u"a", MatchStatus::recursionLimit},
    };
    for (const Row& row : rows) {
        RegexPattern pattern(row.pattern, 0);
        pattern.setMatchLimits({2'000'000, 6000});
        MatchResult result = pattern.match(row.subject);
        EXPECT_EQ(result.status(), row.expected) << utf8(row.pattern);
        if (row.expected != MatchStatus::found) {
            EXPECT_FALSE(result.found()) << utf8(row.pattern);
        }
    }
    EXPECT_EQ(describe(MatchStatus::stepLimit), u"The search took too long and was stopped.");
}

TEST(RegexLimits, DeepButLegitimateRecursionStillMatches) {
    std::u16string nested = std::u16string(300, u'a') + std::u16string(300, u'b');
    RegexPattern pattern(u"^(a(?1)?b)$", 0);
    EXPECT_EQ(groupsOf(pattern.match(nested)), (std::vector<int>{0, 600, 0, 600}));
}

TEST(RegexLimits, ALimitEndsTheWholeSearchAndReplace) {
    RegexPattern pattern(u"(?:a*){12}b|c", 0);
    pattern.setMatchLimits({100'000, 6000});
    std::u16string text = u"c" + std::u16string(40, u'a') + u"c";
    MatchContext context = pattern.prepareMatch(text, 0);
    EXPECT_TRUE(pattern.match(context).found());
    MatchResult stopped = pattern.match(context);
    EXPECT_EQ(stopped.status(), MatchStatus::stepLimit);
    EXPECT_EQ(pattern.match(context).status(), MatchStatus::notFound);

    MatchStatus outcome = MatchStatus::found;
    std::u16string replaced = pattern.replaceMatches(text, u"X", -1, -1, &outcome);
    EXPECT_EQ(outcome, MatchStatus::stepLimit);
    EXPECT_EQ(replaced, u"X" + std::u16string(40, u'a') + u"c");
}

TEST(RegexLimits, BackReferencesPayForTheUnitsTheyCompare) {
    // A few thousand backtracks, each comparing up to ten thousand units.
    const std::u16string subject = std::u16string(20'000, u'a') + u"b";
    RegexPattern pattern(u"^(.*)\\1$", 0);
    pattern.setMatchLimits({2'000'000, 6000});
    EXPECT_EQ(pattern.match(subject).status(), MatchStatus::stepLimit);
    // A short capture compared once stays well inside the limit.
    EXPECT_EQ(groupsOf(pattern.match(u"abcabc")), (std::vector<int>{0, 6, 0, 3}));
}

TEST(RegexLimits, OneBudgetBoundsEverySearchOfAnOperation) {
    const std::u16string text(40, u'a');
    RegexPattern pattern(u"a", 0);
    pattern.setMatchLimits({25, 6000});
    // Each search alone is cheap: with a budget per call all forty are found.
    MatchContext each = pattern.prepareMatch(text, 0);
    int found = 0;
    while (pattern.match(each).found()) ++found;
    EXPECT_EQ(found, 40);

    MatchContext shared = pattern.prepareMatch(text, 0);
    MatchBudget budget = pattern.makeBudget();
    found = 0;
    MatchResult last;
    while ((last = pattern.match(shared, budget)).found()) ++found;
    EXPECT_GT(found, 0);
    EXPECT_LT(found, 40);
    EXPECT_EQ(last.status(), MatchStatus::stepLimit);
    EXPECT_EQ(budget.stopped(), MatchStatus::stepLimit);
    // A stopped budget ends the next search at once, in a fresh context too.
    MatchContext fresh = pattern.prepareMatch(text, 0);
    EXPECT_EQ(pattern.match(fresh, budget).status(), MatchStatus::stepLimit);

    MatchStatus outcome = MatchStatus::found;
    const std::u16string replaced = pattern.replaceMatches(text, u"b", -1, -1, &outcome);
    EXPECT_EQ(outcome, MatchStatus::stepLimit);
    EXPECT_EQ(replaced, std::u16string(static_cast<std::size_t>(found), u'b') +
                            std::u16string(40 - static_cast<std::size_t>(found), u'a'));
}

}  // namespace

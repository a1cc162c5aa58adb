// Match positions compared with PCRE2 on generated patterns and subjects, and
// the differences this engine is meant to have, pinned down one by one.
#include <random>

#include "RegexDifferential.h"
#include "RegexTestSupport.h"

using namespace regex;

namespace {

TEST(RegexPcreCrossCheck, GeneratedPatternsAgreeOnTheSharedSubset) {
    std::mt19937 random(20261209);
    PatternGenerator generator([&](int n) { return static_cast<int>(random() % static_cast<unsigned>(n)); });
    int compared = 0;
    int mismatches = 0;
    for (int round = 0; round < 4000; ++round) {
        std::u16string pattern = generator.pattern();
        int options = generator.options();
        for (int s = 0; s < 5; ++s) {
            std::u16string subject = sharedSubject(generator.subject(), options);
            int start = static_cast<int>(random() % (subject.size() + 1));
            auto theirs = pcreGroups(pattern, options, subject, start);
            auto ours = ownGroups(pattern, options, subject, start);
            if (!theirs || !ours) continue;
            ++compared;
            if (*theirs != *ours && ++mismatches <= 10) {
                ADD_FAILURE() << "pattern \"" << utf8(pattern) << "\" options " << options << " subject \""
                              << utf8(subject) << "\" start " << start
                              << "\n  pcre2: " << ::testing::PrintToString(*theirs)
                              << "\n  ours:  " << ::testing::PrintToString(*ours);
            }
        }
    }
    EXPECT_GT(compared, 15000);
    EXPECT_EQ(mismatches, 0);
}

// Patterns whose class repeats keep no way back (nothing after them can begin
// with a unit of the class) or must keep it, and patterns whose searches skip
// to a literal after a leading run: the same groups as PCRE2 from every start.
TEST(RegexPcreCrossCheck, ShortcutPatternsAgreeFromEveryStart) {
    const std::u16string_view patterns[] = {
        // A class repeat before a literal, a class, an anchor, across group ends.
        u"(\\w+)@(\\w+)",
        u"[0-9]+-[0-9]+",
        u"(\\d+)-(\\d+)",
        u"\\b(\\w+) \\1\\b",
        u"x[a-c]*\\.",
        u"([a-c]+)(d)",
        u"(\\w+)(?= )",
        u"(\\w+)\\s(\\w)",
        u"\\b\\w+\\b",
        u"(?:[ab]+)-|c",
        u"[a-c]{2,3}@",
        u"(?=\\w)(\\w+)@",
        u"(?i)([a-c]+)D",
        u"(?:(\\w+)@)+x",
        // The same where giving back is needed or cannot be ruled out.
        u"(\\w+)(\\w)@",
        u"\\w+\\d",
        u"(\\w+)\\1",
        u"[a-c]+[b-d]",
        u"(\\w+) *x",
        u"(\\d+)-?(\\d+)",
        u"(\\w+?)@",
        u"(?i)([a-c]+)B",
        u"([a-c]+)(?=b)",
        u"\\w+$",
        u"(\\w+)(?!@)",
        u"(?>\\w+)@",
        u"\\w+@?(\\w)",
        u"(?:\\w+|-)@",
    };
    const std::u16string_view subjects[] = {
        u"ab@cd x@y @z a@ b1@ @",       u"12-34 5-6- 7--8 -9 10-", u"the the cat cat dog the",
        u"aab aAbB abcd xabc. x. bad@", u"ab cd\nab ab\nx",        u"aaaa@bbbb@x @@ab@",
    };
    for (std::u16string_view pattern : patterns) {
        for (int options : {0, static_cast<int>(ignoreCase), static_cast<int>(multiLine)}) {
            for (std::u16string_view text : subjects) {
                std::u16string subject = sharedSubject(std::u16string(text), options);
                for (int start = 0; start <= static_cast<int>(subject.size()); ++start) {
                    auto theirs = pcreGroups(pattern, options, subject, start);
                    ASSERT_TRUE(theirs.has_value()) << utf8(pattern);
                    EXPECT_EQ(ownGroups(pattern, options, subject, start), theirs)
                        << "pattern \"" << utf8(pattern) << "\" options " << options << " subject \"" << utf8(subject)
                        << "\" start " << start;
                }
            }
        }
    }
}

TEST(RegexPcreCrossCheck, DifferencesTheEngineRequires) {
    struct Row {
        std::u16string_view pattern;
        int options;
        std::u16string_view subject;
        std::vector<int> ours;
        std::vector<int> pcre;
    };
    const Row rows[] = {
        // A greedy repeat does not add iterations after its last one backtracks.
        {u"(a|ab)*c", 0, u"abac", {2, 4, 2, 3}, {0, 4, 2, 3}},
        // An iteration that matches only the empty string is taken back.
        {u"(a*)*b", 0, u"b", {0, 1, -1, -1}, {0, 1, 0, 0}},
        {u"(?>(x?))*y\\1", 0, u"y", {}, {0, 1, 0, 0}},
        // Forward "\s" is space, TAB, CR and LF only.
        {u"\\s", 0, u"a\fb", {}, {1, 2}},
        {u"\\s", 0, u"a\vb", {}, {1, 2}},
        // "\b" and "\w" know ASCII only, as PCRE2 without UCP does: same here.
        {u"\\w+", 0, u"日本abc", {2, 5}, {2, 5}},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(ownGroups(row.pattern, row.options, row.subject, 0), row.ours) << utf8(row.pattern);
        EXPECT_EQ(pcreGroups(row.pattern, row.options, row.subject, 0), row.pcre) << utf8(row.pattern);
    }

    // Look-behinds of any length are accepted here; PCRE2 refuses them.
    EXPECT_EQ(ownGroups(u"(?<=ab+)c", 0, u"abbc", 0), (std::vector<int>{3, 4}));
    EXPECT_EQ(pcreGroups(u"(?<=ab+)c", 0, u"abbc", 0), std::nullopt);
    // A quantifier with nothing to repeat is a literal here, an error there.
    EXPECT_EQ(ownGroups(u"a**", 0, u"aa*", 0), (std::vector<int>{0, 3}));
    EXPECT_EQ(pcreGroups(u"a**", 0, u"aa*", 0), std::nullopt);
}

}  // namespace

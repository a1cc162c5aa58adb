// Helpers shared by the regular-expression tests: readable failure messages
// for UTF-16 texts and a compact way to run one table row.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include <gtest/gtest.h>

#include "editor/regex/RegexPattern.h"
#include "platform/common/Unicode.h"

// UTF-8 for messages only; control characters other than a line feed are
// spelled out, lone surrogates become U+FFFD.
inline std::string utf8(std::u16string_view text) {
    std::string out;
    std::size_t run = 0;
    for (std::size_t i = 0; i <= text.size(); ++i) {
        if (i < text.size() && (text[i] >= 0x20 || text[i] == u'\n')) continue;
        out += veltrix::unicode::utf16ToUtf8(text.substr(run, i - run));
        if (i < text.size()) out += "\\x" + std::to_string(static_cast<int>(text[i]));
        run = i + 1;
    }
    return out;
}

// The group positions of a result after its two header entries:
// {start0, end0, start1, end1, ...}; empty when nothing matched.
inline std::vector<int> groupsOf(const MatchResult& result) {
    if (!result.found()) return {};
    return {result.entries().begin() + 2, result.entries().end()};
}

// One table row: a pattern, its options, a subject, where the search starts,
// and the expected groups as groupsOf gives them (only as many groups as
// listed are compared; {} means no match).
struct MatchCase {
    std::u16string_view pattern;
    int options;
    std::u16string_view subject;
    std::vector<int> groups;
    int start = -1;
};

inline void expectCase(const MatchCase& row) {
    RegexPattern pattern(row.pattern, row.options);
    MatchResult result = pattern.match(row.subject, row.start);
    std::vector<int> actual = groupsOf(result);
    if (!row.groups.empty() && actual.size() > row.groups.size()) actual.resize(row.groups.size());
    EXPECT_EQ(actual, row.groups) << "pattern \"" << utf8(row.pattern) << "\" options " << row.options << " subject \""
                                  << utf8(row.subject) << "\" start " << row.start;
}

// Every match of a repeated search, as (start, end) pairs of group 0.
inline std::vector<std::pair<int, int>> allMatches(const RegexPattern& pattern, std::u16string_view subject,
                                                   int start = -1) {
    std::vector<std::pair<int, int>> found;
    MatchContext context = pattern.prepareMatch(subject, start);
    for (int guard = 0; guard < 10000; ++guard) {
        MatchResult result = pattern.match(context);
        if (!result.found()) break;
        found.emplace_back(result.groupStart(0), result.groupEnd(0));
    }
    return found;
}

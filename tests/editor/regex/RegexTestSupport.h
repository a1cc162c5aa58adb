// Helpers shared by the regular-expression tests: readable failure messages
// for UTF-16 texts and a compact way to run one table row.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include <gtest/gtest.h>

#include "editor/regex/RegexPattern.h"

// UTF-8 for messages only; lone surrogates become "?".
inline std::string utf8(std::u16string_view text)
{
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        char32_t c = text[i];
        if (c >= 0xD800 && c <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF) {
            c = 0x10000 + ((c - 0xD800) << 10) + (text[i + 1] - 0xDC00);
            ++i;
        } else if (c >= 0xD800 && c <= 0xDFFF) {
            c = u'?';
        }
        if (c < 0x20 && c != u'\n') {
            out += "\\x" + std::to_string(static_cast<int>(c));
        } else if (c < 0x80) {
            out += static_cast<char>(c);
        } else if (c < 0x800) {
            out += static_cast<char>(0xC0 | (c >> 6));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else if (c < 0x10000) {
            out += static_cast<char>(0xE0 | (c >> 12));
            out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else {
            out += static_cast<char>(0xF0 | (c >> 18));
            out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
            out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    return out;
}

// The group positions of a result after its two header entries:
// {start0, end0, start1, end1, ...}; empty when nothing matched.
inline std::vector<int> groupsOf(const MatchResult& result)
{
    if (!result.found())
        return {};
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

inline void expectCase(const MatchCase& row)
{
    RegexPattern pattern(row.pattern, row.options);
    MatchResult result = pattern.match(row.subject, row.start);
    std::vector<int> actual = groupsOf(result);
    if (!row.groups.empty() && actual.size() > row.groups.size())
        actual.resize(row.groups.size());
    EXPECT_EQ(actual, row.groups) << "pattern \"" << utf8(row.pattern) << "\" options " << row.options
                                  << " subject \"" << utf8(row.subject) << "\" start " << row.start;
}

// Every match of a repeated search, as (start, end) pairs of group 0.
inline std::vector<std::pair<int, int>> allMatches(const RegexPattern& pattern, std::u16string_view subject,
                                                   int start = -1)
{
    std::vector<std::pair<int, int>> found;
    MatchContext context = pattern.prepareMatch(subject, start);
    for (int guard = 0; guard < 10000; ++guard) {
        MatchResult result = pattern.match(context);
        if (!result.found())
            break;
        found.emplace_back(result.groupStart(0), result.groupEnd(0));
    }
    return found;
}

// The value of one search: where the match and each group lie.
//
// Layout of entries() (kept because callers index it directly): empty when
// nothing matched; otherwise [0] = 1, [1] = the highest group number, then for
// each group g from 0 to that number [2 + 2g] = start and [3 + 2g] = end, the
// smaller position first, -1 and -1 for a group that took no part. Reading
// beyond the array gives -1.
#pragma once

#include <cstddef>
#include <vector>

#include "editor/regex/RegexOptions.h"

class MatchResult {
public:
    MatchResult() = default;
    explicit MatchResult(std::vector<int> entries) : m_entries(std::move(entries)) {}
    static MatchResult notFound(MatchStatus why) {
        MatchResult result;
        result.m_status = why;
        return result;
    }

    bool found() const { return !m_entries.empty(); }
    // found, notFound, or the limit that ended the search.
    MatchStatus status() const { return found() ? MatchStatus::found : m_status; }

    int at(std::size_t index) const { return index < m_entries.size() ? m_entries[index] : -1; }
    int highestGroup() const { return at(1); }
    int groupStart(int group) const { return group < 0 ? -1 : at(2 + 2 * static_cast<std::size_t>(group)); }
    int groupEnd(int group) const { return group < 0 ? -1 : at(3 + 2 * static_cast<std::size_t>(group)); }
    const std::vector<int>& entries() const { return m_entries; }

private:
    std::vector<int> m_entries;
    MatchStatus m_status = MatchStatus::notFound;
};

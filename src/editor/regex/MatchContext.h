// The state of one search over one text: backtracking and capture stacks, the
// group table and the positions the search moves through.
//
// Invariants: every capture entry is 4 integers (group number, start, end or -1
// while open, depth counter); groupTable[g] is the index of group g's latest
// entry or -1; the text outlives the context (it is a view, not a copy).
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

#include "editor/regex/RegexOptions.h"

// Limits that keep a search bounded whatever the pattern; reaching one ends the
// search as "not found" with the matching MatchStatus.
struct MatchLimits {
    // Steps per call of match, and per whole operation where one budget is
    // shared (MatchBudget): about half a second, several times what a search
    // of a 10 MB document with an ordinary pattern needs. A step is a retry,
    // a repeat iteration or a start position tried; comparing a
    // back-reference costs one step per code unit compared.
    std::int64_t maxSteps = 50'000'000;
    // Element calls allowed on the native stack through recursions; divided by
    // the pattern's own nesting to give the recursion depth.
    int maxCallDepth = 6000;
};

// Thrown inside the matcher when a limit is reached; caught by RegexPattern
// before it returns, never seen by callers.
struct MatchLimitReached {
    MatchStatus status;
};

class MatchContext {
public:
    // Backtracking state pushed by elements (see ElxInterface).
    std::vector<int> stack;
    // Capture entries, 4 integers each.
    std::vector<int> captures;
    std::vector<int> groupTable;
    int position = 0;
    // Where the current search began ("\G" tests it); after a match, where the
    // next search begins.
    int searchStart = 0;
    int previousSearchStart = -1;
    int closingCounter = 0;
    std::u16string_view text;
    int length = 0;

    // Limits in force and what has been used of them in the current search.
    std::int64_t stepsLeft = 0;
    int recursionDepth = 0;
    int maxRecursionDepth = 0;

    void push(int value) { stack.push_back(value); }
    // An empty stack would mean an element broke the protocol; 0 keeps the
    // matcher memory-safe even then.
    int pop() {
        if (stack.empty()) return 0;
        int value = stack.back();
        stack.pop_back();
        return value;
    }

    char16_t at(int index) const { return text[static_cast<std::size_t>(index)]; }

    // Counts one backtracking step; throws MatchLimitReached when none are
    // left, or when the saved state has grown past what a search may hold
    // (nested counted repeats of empty elements can push without moving).
    void step() {
        if (--stepsLeft < 0 || stack.size() > kMaxSavedState || captures.size() > kMaxSavedState)
            throw MatchLimitReached{MatchStatus::stepLimit};
    }
    // Counts work proportional to `units` done inside one step (a
    // back-reference comparing its whole capture).
    void spend(std::int64_t units) {
        stepsLeft -= units;
        if (stepsLeft < 0) throw MatchLimitReached{MatchStatus::stepLimit};
    }
    static constexpr std::size_t kMaxSavedState = 16u << 20;  // integers, 64 MB

    int captureCount() const { return static_cast<int>(captures.size() / 4); }
    int& captureField(int entry, int field) { return captures[static_cast<std::size_t>(entry) * 4 + field]; }
    int captureField(int entry, int field) const { return captures[static_cast<std::size_t>(entry) * 4 + field]; }

    // Pushes (group, start, -1, counter) and points the group table at it.
    void openCapture(int group, int start, int counter);
    // Drops every capture entry from `count` on and points each group back at
    // its latest remaining entry.
    void truncateCaptures(int count);
    // Latest capture entry of a group, or -1 (also for numbers outside the table).
    int latestCapture(int group) const {
        if (group < 0 || group >= static_cast<int>(groupTable.size())) return -1;
        return groupTable[static_cast<std::size_t>(group)];
    }
};

// Counts a recursion's nesting for its lifetime; throws MatchLimitReached when
// the depth allowed for this pattern is exceeded.
class RecursionGuard {
public:
    explicit RecursionGuard(MatchContext& context) : m_context(context) {
        if (++m_context.recursionDepth > m_context.maxRecursionDepth) {
            --m_context.recursionDepth;
            throw MatchLimitReached{MatchStatus::recursionLimit};
        }
    }
    ~RecursionGuard() { --m_context.recursionDepth; }
    RecursionGuard(const RecursionGuard&) = delete;
    RecursionGuard& operator=(const RecursionGuard&) = delete;

private:
    MatchContext& m_context;
};

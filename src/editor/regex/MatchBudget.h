// The steps one operation may spend on searching (a Replace All, the find
// highlight of one paint), shared by all the searches it makes, so that the
// operation as a whole is bounded and not only each search in it.
//
// Invariant: once a search has run out of steps (or hit another limit),
// stopped() says why and every later search with this budget ends at once
// with that status.
#pragma once

#include <cstdint>

#include "editor/regex/RegexOptions.h"

class MatchBudget {
public:
    explicit MatchBudget(std::int64_t steps) : m_stepsLeft(steps) {}

    std::int64_t stepsLeft() const { return m_stepsLeft; }
    // found while the budget lasts; afterwards the limit that ended it.
    MatchStatus stopped() const { return m_stopped; }
    bool exhausted() const { return m_stopped != MatchStatus::found; }

    // Used by the matcher: what a search left over, and why it was stopped.
    void setStepsLeft(std::int64_t steps) { m_stepsLeft = steps; }
    void stop(MatchStatus why) { m_stopped = why; }

private:
    std::int64_t m_stepsLeft;
    MatchStatus m_stopped = MatchStatus::found;
};

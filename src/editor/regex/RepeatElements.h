// Quantified elements. CRepeatElxT matches a fixed count like a list of copies;
// the others add extra iterations greedily, reluctantly or possessively.
// Iterations loop, they do not recurse, so a long text never deepens the stack.
#pragma once

#include "editor/regex/ElxInterface.h"

// "{n}": exactly `count` iterations.
class CRepeatElxT : public ElxInterface {
public:
    CRepeatElxT(const ElxInterface* element, int count) : m_element(element), m_count(count) {}
    bool match(MatchContext& context) const override;
    bool matchNext(MatchContext& context) const override;
    bool collectFirstUnits(FirstUnits& first) const override;

protected:
    // Matches iterations `done`..count-1; false with every iteration undone.
    bool forward(MatchContext& context, int done) const;
    // Another way for the fixed part; false with it undone.
    bool retry(MatchContext& context) const;

    const ElxInterface* m_element; // owned by the pattern
    int m_count;                   // the minimum for the subclasses
};

// "*", "+", "?", "{n,m}": the minimum, then as many extra iterations as match.
// Backtracking gives back the last iteration's other ways, then the iteration.
class CGreedyElxT : public CRepeatElxT {
public:
    CGreedyElxT(const ElxInterface* element, int minimum, int extra)
        : CRepeatElxT(element, minimum), m_extra(extra) {}
    bool match(MatchContext& context) const override;
    bool matchNext(MatchContext& context) const override;
    bool collectFirstUnits(FirstUnits& first) const override;

protected:
    // Adds iterations after `extra` already there; an iteration that matches
    // only the empty string ends the adding, so "(a*)*" cannot spin.
    int addIterations(MatchContext& context, int extra) const;
    bool matchAll(MatchContext& context) const;

    int m_extra; // maximum - minimum
};

// The same followed by "?": the minimum first, one more iteration per retry.
class CReluctantElxT final : public CRepeatElxT {
public:
    CReluctantElxT(const ElxInterface* element, int minimum, int extra)
        : CRepeatElxT(element, minimum), m_extra(extra) {}
    bool match(MatchContext& context) const override;
    bool matchNext(MatchContext& context) const override;
    bool collectFirstUnits(FirstUnits& first) const override;

private:
    int m_extra;
};

// The same followed by "+": matches as greedily and never gives anything back.
class CPossessiveElxT final : public CGreedyElxT {
public:
    using CGreedyElxT::CGreedyElxT;
    bool match(MatchContext& context) const override;
    bool matchNext(MatchContext& context) const override;
};

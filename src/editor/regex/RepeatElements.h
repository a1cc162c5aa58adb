// Quantified elements. CRepeatElxT matches a fixed count like a list of copies;
// the others add extra iterations greedily, reluctantly or possessively.
// Iterations loop, they do not recurse, so a long text never deepens the stack.
#pragma once

#include "editor/regex/ElxInterface.h"

class CClassElx;

// "{n}": exactly `count` iterations.
class CRepeatElxT : public ElxInterface {
public:
    CRepeatElxT(const ElxInterface* element, int count) : m_element(element), m_count(count) {}
    bool match(MatchContext& context) const override;
    bool matchNext(MatchContext& context) const override;
    bool collectFirstUnits(FirstUnits& first) const override;
    void limitBacktracking(const FirstUnits& follow) const override;
    const ElxInterface* element() const { return m_element; }

protected:
    // Matches iterations `done`..count-1; false with every iteration undone.
    bool forward(MatchContext& context, int done) const;
    // Another way for the fixed part; false with it undone.
    bool retry(MatchContext& context) const;

    const ElxInterface* m_element;  // owned by the pattern
    int m_count;                    // the minimum for the subclasses
};

// "*", "+", "?", "{n,m}": the minimum, then as many extra iterations as match.
// Backtracking gives back the last iteration's other ways, then the iteration.
//
// A repeat of a one-unit class has one way per iteration, so it runs as a
// plain scan; and when nothing that can follow it begins with a unit of the
// class, giving back one unit could only make the next element fail, so it
// keeps no way back at all (as if it were possessive).
class CGreedyElxT : public CRepeatElxT {
public:
    CGreedyElxT(const ElxInterface* element, int minimum, int extra);
    bool match(MatchContext& context) const override;
    bool matchNext(MatchContext& context) const override;
    bool collectFirstUnits(FirstUnits& first) const override;
    void limitBacktracking(const FirstUnits& follow) const override;

protected:
    // Adds iterations after `extra` already there; an iteration that matches
    // only the empty string ends the adding, so "(a*)*" cannot spin.
    int addIterations(MatchContext& context, int extra) const;
    bool matchAll(MatchContext& context) const;

    int m_extra;                   // maximum - minimum
    const CClassElx* m_unitClass;  // the element when it is a one-unit class, else none

private:
    // How many units from the position, up to the maximum, the class holds.
    int unitRun(const MatchContext& context) const;
    // Set only by limitBacktracking, before any search; once giving back is
    // needed on one visit it stays needed.
    mutable bool m_givesBack = true;
    mutable bool m_settled = false;
};

// The same followed by "?": the minimum first, one more iteration per retry.
class CReluctantElxT final : public CRepeatElxT {
public:
    CReluctantElxT(const ElxInterface* element, int minimum, int extra)
        : CRepeatElxT(element, minimum), m_extra(extra) {}
    bool match(MatchContext& context) const override;
    bool matchNext(MatchContext& context) const override;
    bool collectFirstUnits(FirstUnits& first) const override;
    void limitBacktracking(const FirstUnits& follow) const override;

private:
    int m_extra;
};

// The same followed by "+": matches as greedily and never gives anything back.
class CPossessiveElxT final : public CGreedyElxT {
public:
    using CGreedyElxT::CGreedyElxT;
    bool match(MatchContext& context) const override;
    bool matchNext(MatchContext& context) const override;
    void limitBacktracking(const FirstUnits& follow) const override;
};

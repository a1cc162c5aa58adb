// The base of every element of a compiled regular expression.
//
// Protocol (every element keeps it, and the containers rely on it):
// - match tries the first way of matching at the context's position. On
//   success the position has moved past what was matched (leftwards for a
//   right-to-left element) and exactly what matchNext will pop has been pushed
//   on the context's backtracking stack. On failure the context is as it was.
// - matchNext is called only right after this element's own state is on top of
//   the stack (later elements have undone themselves). It either finds another
//   way (true, new state pushed) or undoes everything the element did (false).
// Elements are immutable once compiled (limitBacktracking is the compile's
// last step); all match state lives in MatchContext, so one pattern may serve
// several contexts.
#pragma once

class MatchContext;
struct FirstUnits;

class ElxInterface {
public:
    virtual ~ElxInterface() = default;
    virtual bool match(MatchContext& context) const = 0;
    virtual bool matchNext(MatchContext& context) const = 0;
    // Adds the units a match of this element can begin with to `first` and
    // says whether the element can match without consuming anything. Used
    // only to skip hopeless start positions; never changes what matches.
    virtual bool collectFirstUnits(FirstUnits& first) const = 0;
    // Run once when the compile ends, before any search: `follow` holds the
    // units whatever comes after this element can begin with (any: not known,
    // or the match may end there). Repeats that can never usefully give back
    // stop keeping backtrack points; containers pass on what follows each
    // child. Never changes what matches or what the groups capture.
    virtual void limitBacktracking(const FirstUnits& follow) const { (void)follow; }
};

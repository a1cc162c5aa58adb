// The code units a match can begin with, worked out once per compile so that
// a search skips positions where the pattern cannot start. For right-to-left
// patterns "begin" means the unit just before the position.
//
// Invariant: the set is conservative: a position whose unit is not in it (and
// `any` unset) can never be where a match starts.
#pragma once

#include <bitset>

struct FirstUnits {
    std::bitset<65536> units;
    bool any = false; // cannot tell: every position must be tried

    void add(char16_t unit) { units.set(unit); }
    bool holds(char16_t unit) const { return any || units.test(unit); }
};

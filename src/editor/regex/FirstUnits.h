// The code units a match can begin with, worked out once per compile so that
// a search skips positions where the pattern cannot start. For right-to-left
// patterns "begin" means the unit just before the position.
//
// Invariant: the set is conservative: a position whose unit is not in it (and
// `any` unset) can never be where a match starts.
#pragma once

#include <array>
#include <bitset>
#include <cstdint>
#include <optional>

struct FirstUnits {
    std::bitset<65536> units;
    bool any = false;  // cannot tell: every position must be tried

    void add(char16_t unit) { units.set(unit); }
    bool holds(char16_t unit) const { return any || units.test(unit); }
};

// The units of a set that holds one or two, the one repeated; none for a
// larger or empty set. Such a set is searched for several units at a time.
inline std::optional<std::array<char16_t, 2>> unitPairOf(const std::bitset<65536>& units) {
    const std::size_t count = units.count();
    if (count == 0 || count > 2) return std::nullopt;
    std::array<char16_t, 2> pair{};
    std::size_t found = 0;
    for (std::uint32_t unit = 0; unit < units.size() && found < count; ++unit) {
        if (units.test(unit)) pair[found++] = static_cast<char16_t>(unit);
    }
    if (count == 1) pair[1] = pair[0];
    return pair;
}

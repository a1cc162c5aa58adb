// A quick test of start positions for forward patterns that begin with a run
// of class units and then a literal, such as "(\w+)@" or "[0-9]+-". A match
// starting at s consumes only units of the run's classes before the literal,
// and the literal's first unit is in none of them, so the literal can only
// stand exactly where the run of such units from s ends. So the search looks
// for the literal and steps back over the run before it: only the starts in
// that run are tried, and a word not followed by "@" is never tried at all.
//
// Invariant: conservative. A start it passes over can never match; a start it
// lets through may still fail.
#pragma once

#include <array>
#include <bitset>
#include <memory>
#include <optional>
#include <string_view>

class ElxInterface;

class LiteralAfterRun {
public:
    // None when the pattern does not begin that way.
    static std::unique_ptr<LiteralAfterRun> of(const ElxInterface& top);

    // The first position from `from` on where a match may start, or past the
    // end when there is none. Positions below `knownUntil` are already known
    // to be possible; the call moves it on as it learns more.
    int nextStart(std::u16string_view text, int from, int& knownUntil) const;

private:
    std::bitset<65536> m_run;                              // every unit the leading run may consume
    std::bitset<65536> m_literal;                          // the units the literal may begin with
    std::optional<std::array<char16_t, 2>> m_literalPair;  // the same when one or two
};

// A replacement template cut into pieces once, before any match is replaced:
// literal texts and references to parts of a match ("$&", "$1", "${name}"...).
// Cutting never fails; a reference that names nothing stays literal text.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "editor/regex/MatchResult.h"

class RegexPattern;

class ReplaceTemplate {
public:
    // `pattern` gives the group numbers and names the references may use.
    ReplaceTemplate(std::u16string_view replacement, const RegexPattern& pattern);

    // Appends the replacement of one match of `input` to `out`.
    void expand(const MatchResult& match, std::u16string_view input, std::u16string& out) const;

private:
    enum class PieceKind { literal, group, before, after, lastGroup, wholeInput };
    struct Piece {
        PieceKind kind;
        std::u16string text;  // literal pieces
        int group = 0;
    };
    void addLiteral(std::u16string_view text);

    std::vector<Piece> m_pieces;
};

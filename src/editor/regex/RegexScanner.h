// The first stage of compiling: the pattern text becomes tokens, each a
// character that is either literal or special. Escapes, quote mode ("\Q",
// "\L", "\U" up to "\E"), "(?#...)" comments and, with the extended option,
// white space and "#" comments are resolved here, so the parser never looks at
// the raw text. The list always ends with the end token (0, special).
#pragma once

#include <string_view>
#include <vector>

enum class TokenKind { literal, special };

struct RegexToken {
    char16_t character = 0;
    TokenKind kind = TokenKind::special;
    int position = 0;  // in the pattern text
    int length = 0;

    bool isSpecial(char16_t c) const { return kind == TokenKind::special && character == c; }
    bool isLiteral() const { return kind == TokenKind::literal; }
    bool isEnd() const { return isSpecial(0); }
};

// Scanning never fails: every text has a token list. options matter only for
// the extended bit. The work is linear in the pattern's length.
std::vector<RegexToken> scanPattern(std::u16string_view pattern, int options);

// The groups of characters by which sentences and their language are told
// apart in text that mixes English and Japanese.
#pragma once

namespace chars {

// TAB, line feed, carriage return and space.
constexpr bool isWhitespace(char16_t c) { return c == u'\t' || c == u'\n' || c == u'\r' || c == u' '; }

constexpr bool isLineBreak(char16_t c) { return c == u'\n' || c == u'\r'; }

// Kana, Japanese punctuation and the full- and half-width forms; the middle
// dot U+30FB is left out because it also serves as a bullet.
constexpr bool isJapaneseMark(char16_t c) {
    return (c >= 0x3001 && c <= 0x30FE && c != 0x30FB) || (c >= 0xFF00 && c <= 0xFF9F);
}

constexpr bool isIdeograph(char16_t c) { return c >= 0x408E && c <= 0x9FA8; }

// Circled and parenthesised numbers, kanbun marks and the ideographic space:
// they occur in both languages and decide nothing on their own.
constexpr bool isNeutralJapaneseSymbol(char16_t c) {
    return (c >= 0x3220 && c <= 0x3243) || (c >= 0x3251 && c <= 0x325F) || (c >= 0x3280 && c <= 0x32CB) ||
           (c >= 0x32D0 && c <= 0x32FE) || (c >= 0x3190 && c <= 0x319F) || c == 0x3000;
}

// The closing member of each CJK bracket pair (the odd code points of
// U+3009..U+301F), the full-width parenthesis and ")".
constexpr bool isClosingBracket(char16_t c) {
    return (c >= 0x3009 && c <= 0x301F && (c & 1) != 0) || c == 0xFF09 || c == u')';
}

// Characters that open a list item when they stand first on a line.
constexpr bool isBullet(char16_t c) { return c == 0x25E6 || c == 0x30FB || c == 0xFF03 || c == 0xFF0A || c == u'\t'; }

constexpr bool isUpper(char16_t c) { return c >= u'A' && c <= u'Z'; }
constexpr bool isLower(char16_t c) { return c >= u'a' && c <= u'z'; }
constexpr bool isLetter(char16_t c) { return isUpper(c) || isLower(c); }
// ASCII and full-width digits.
constexpr bool isDigit(char16_t c) { return (c >= u'0' && c <= u'9') || (c >= 0xFF10 && c <= 0xFF19); }

}  // namespace chars

#include "editor/regex/RegexScanner.h"

#include <cstdint>

#include "editor/regex/CharacterElements.h"
#include "editor/regex/RegexOptions.h"

namespace {

enum class QuoteCase { none, lower, upper };

bool isPatternSpace(char16_t c) {
    return c == u'\t' || c == u'\n' || c == 0x0B || c == 0x0C || c == u'\r' || c == u' ';
}

int hexValue(char16_t c) {
    if (c >= u'0' && c <= u'9') return c - u'0';
    if (c >= u'a' && c <= u'f') return c - u'a' + 10;
    if (c >= u'A' && c <= u'F') return c - u'A' + 10;
    return -1;
}

class Scanner {
public:
    Scanner(std::u16string_view pattern, int options)
        : m_pattern(pattern), m_size(pattern.size()), m_extended((options & regex::extended) != 0) {}

    std::vector<RegexToken> run() {
        while (m_at < m_size) {
            if (m_quote)
                scanQuoted();
            else
                scanOne();
        }
        m_tokens.push_back({0, TokenKind::special, static_cast<int>(m_size), 0});
        return std::move(m_tokens);
    }

private:
    char16_t peek(std::size_t ahead) const { return m_at + ahead < m_size ? m_pattern[m_at + ahead] : 0; }

    void emit(char16_t c, TokenKind kind, std::size_t length) {
        m_tokens.push_back({c, kind, static_cast<int>(m_at), static_cast<int>(length)});
        m_at += length;
    }

    bool previousIs(std::size_t back, char16_t c) const {
        return m_tokens.size() >= back && m_tokens[m_tokens.size() - back].isSpecial(c);
    }

    void scanQuoted() {
        if (peek(0) == u'\\' && peek(1) == u'E') {
            m_quote = false;
            m_at += 2;
            return;
        }
        char16_t c = peek(0);
        if (m_case == QuoteCase::lower)
            c = veltrix::ascii::toLower(c);
        else if (m_case == QuoteCase::upper)
            c = veltrix::ascii::toUpper(c);
        emit(c, TokenKind::literal, 1);
    }

    void scanOne() {
        char16_t c = peek(0);
        bool inside = m_depth > 0;
        if (m_extended && isPatternSpace(c)) {
            ++m_at;
            return;
        }
        if (m_extended && c == u'#') {
            while (m_at < m_size && m_pattern[m_at] != u'\n' && m_pattern[m_at] != u'\r') ++m_at;
            return;
        }
        switch (c) {
            case u'$':
            case u')':
            case u'*':
            case u'+':
            case u'.':
            case u'?':
            case u'{':
            case u'|':
            case u'}':
                emit(c, inside ? TokenKind::literal : TokenKind::special, 1);
                return;
            case u'(':
                if (peek(1) == u'?' && peek(2) == u'#') {
                    while (m_at < m_size && m_pattern[m_at] != u')') ++m_at;
                    if (m_at < m_size) ++m_at;
                    return;
                }
                emit(c, inside ? TokenKind::literal : TokenKind::special, 1);
                return;
            case u'-':
                emit(c, inside ? TokenKind::special : TokenKind::literal, 1);
                return;
            case u':':
                emit(c, previousIs(1, u'[') ? TokenKind::special : TokenKind::literal, 1);
                return;
            case u'[':
                if (!inside || peek(1) == u':') {
                    ++m_depth;
                    emit(c, TokenKind::special, 1);
                } else {
                    emit(c, TokenKind::literal, 1);
                }
                return;
            case u']':
                if (inside) {
                    --m_depth;
                    emit(c, TokenKind::special, 1);
                } else {
                    emit(c, TokenKind::literal, 1);
                }
                return;
            case u'^': {
                bool special = !inside || previousIs(1, u'[') || (previousIs(1, u':') && previousIs(2, u'['));
                emit(c, special ? TokenKind::special : TokenKind::literal, 1);
                return;
            }
            case u'\\':
                scanEscape(inside);
                return;
            default:
                emit(c, TokenKind::literal, 1);
                return;
        }
    }

    void scanEscape(bool inside) {
        if (m_at + 1 >= m_size) {
            emit(u'\\', TokenKind::literal, 1);
            return;
        }
        char16_t d = peek(1);
        if (d >= u'0' && d <= u'9') {
            emit(u'\\', TokenKind::special, 1);  // the parser reads the digits
            return;
        }
        switch (d) {
            case u'A':
            case u'B':
            case u'D':
            case u'S':
            case u'W':
            case u'Z':
            case u'd':
            case u'g':
            case u'k':
            case u's':
            case u'w':
            case u'z':
                emit(d, TokenKind::special, 2);
                return;
            case u'G':
                if (inside)
                    m_at += 2;
                else
                    emit(d, TokenKind::special, 2);
                return;
            case u'b':
                if (inside)
                    emit(8, TokenKind::literal, 2);
                else
                    emit(d, TokenKind::special, 2);
                return;
            case u'a':
                emit(7, TokenKind::literal, 2);
                return;
            case u'e':
                emit(27, TokenKind::literal, 2);
                return;
            case u'f':
                emit(12, TokenKind::literal, 2);
                return;
            case u'n':
                emit(10, TokenKind::literal, 2);
                return;
            case u'r':
                emit(13, TokenKind::literal, 2);
                return;
            case u't':
                emit(9, TokenKind::literal, 2);
                return;
            case u'v':
                emit(11, TokenKind::literal, 2);
                return;
            case u'x':
            case u'u':
                scanHex(d == u'x' ? 2 : 4);
                return;
            case u'E':
                m_at += 2;
                return;
            case u'Q':
            case u'L':
            case u'U':
                m_quote = true;
                m_case = d == u'Q' ? QuoteCase::none : d == u'L' ? QuoteCase::lower : QuoteCase::upper;
                m_at += 2;
                return;
            default:
                emit(d, TokenKind::literal, 2);
                return;
        }
    }

    // At the backslash of "\x" or "\u".
    void scanHex(std::size_t maxDigits) {
        std::size_t i = 2;
        std::uint32_t value = 0;
        if (peek(2) == u'{') {
            i = 3;
            for (std::size_t n = 0; n < 8 && hexValue(peek(i)) >= 0; ++n, ++i)
                value = value * 16 + static_cast<std::uint32_t>(hexValue(peek(i)));
            while (m_at + i < m_size && m_pattern[m_at + i] != u'}') ++i;
            if (m_at + i < m_size) ++i;
            emit(static_cast<char16_t>(value & 0xFFFF), TokenKind::literal, i);
            return;
        }
        for (std::size_t n = 0; n < maxDigits && hexValue(peek(i)) >= 0; ++n, ++i)
            value = value * 16 + static_cast<std::uint32_t>(hexValue(peek(i)));
        if (i == 2) {
            emit(peek(1), TokenKind::literal, 2);  // no digit: the letter itself
            return;
        }
        emit(static_cast<char16_t>(value), TokenKind::literal, i);
    }

    std::u16string_view m_pattern;
    std::size_t m_size;
    bool m_extended;
    std::size_t m_at = 0;
    int m_depth = 0;
    bool m_quote = false;
    QuoteCase m_case = QuoteCase::none;
    std::vector<RegexToken> m_tokens;
};

}  // namespace

std::vector<RegexToken> scanPattern(std::u16string_view pattern, int options) {
    return Scanner(pattern, options).run();
}

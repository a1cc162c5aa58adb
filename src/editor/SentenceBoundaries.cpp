#include "editor/SentenceBoundaries.h"

#include <algorithm>
#include <array>

#include "editor/CharacterGroups.h"

namespace {

// How far the scan has come: still on the line it started on, or on a later
// line of a sentence whose first line was English or held other characters.
enum class State { FirstLine, EnglishContinued, JapaneseContinued };

class Text {
public:
    explicit Text(std::u16string_view text) : m_text(text), m_length(static_cast<int>(text.size())) {}
    int length() const { return m_length; }
    // 0 outside the text, which no rule mistakes for a character of interest.
    char16_t operator[](int i) const { return i >= 0 && i < m_length ? m_text[static_cast<std::size_t>(i)] : u'\0'; }
    bool hasAt(int i, std::u16string_view word) const {
        return i >= 0 && i + static_cast<int>(word.size()) <= m_length &&
               m_text.substr(static_cast<std::size_t>(i), word.size()) == word;
    }
    int skipWhitespace(int i) const {
        while (i < m_length && chars::isWhitespace((*this)[i])) ++i;
        return i;
    }

private:
    std::u16string_view m_text;
    int m_length;
};

bool isSentencePunctuation(char16_t c) { return c == u'!' || c == u'.' || c == u':' || c == u';' || c == u'?'; }

bool isQuote(char16_t c) { return c == u'"' || c == u'\''; }

bool isControl(char16_t c) { return c < 0x20 || c == 0x7F; }

// A period that belongs to a title, a month or an initial rather than ending
// the sentence.
bool isAbbreviationPeriod(const Text& text, int start, int i) {
    static constexpr std::array<std::u16string_view, 10> kShort = {u"Mrs", u"Jan", u"Feb", u"Mar", u"Apr",
                                                                   u"May", u"Aug", u"Oct", u"Nov", u"Dec"};
    for (std::u16string_view word : kShort)
        if (text.hasAt(i - 3, word)) return true;
    const char16_t one = text[i - 1];
    const char16_t two = text[i - 2];
    if (chars::isUpper(two) && chars::isLower(one)) return true;    // Mr, Dr, St
    if (chars::isUpper(one) && !chars::isLetter(two)) return true;  // an initial
    if (i - start < 5 && text[i + 1] == u' ' && chars::isDigit(text[i + 2]))
        for (std::u16string_view month : {u"June", u"July", u"Sept"})
            if (text.hasAt(i - 4, month)) return true;
    return false;
}

int findSentenceEnd(const Text& text, int start) {
    const int n = text.length();
    State state = State::FirstLine;
    bool sawOther = false;     // a non-ASCII character of rule 6 since the last break
    bool lineHasText = false;  // a character above space since the last break
    const bool atLineStart = start == 0 || chars::isLineBreak(text[start - 1]);
    int lastBreak = start;  // behind the last line break the sentence went on across
    int lineStart = start;

    for (int i = start; i < n; ++i) {
        const char16_t d = text[i];
        const int col = i - lineStart;
        if (col == 0 && state != State::FirstLine && chars::isBullet(d)) return std::max(i - 1, start);
        if (d > u' ') lineHasText = true;

        // General punctuation, arrows and symbols: only a dash after some
        // words ends a sentence, taking a closing quote with it.
        if ((d >= 0x2000 && d <= 0x2670) || d == 0x3000) {
            if (d != 0x2014 || col < 2) continue;
            if (!isQuote(text[i + 1])) return i;
            return isQuote(text[i + 2]) ? i + 3 : i + 2;
        }

        if (d < 0x80 && !chars::isLineBreak(d) && !isSentencePunctuation(d)) continue;

        if (chars::isLineBreak(d)) {
            const char16_t previous = text[i - 1];
            if (d == u'\r' && text[i + 1] == u'\n') ++i;
            const int here = i + 1;
            if (chars::isClosingBracket(previous)) return here;
            if (state == State::FirstLine) {
                if (sawOther) {
                    state = State::JapaneseContinued;
                } else {
                    state = State::EnglishContinued;
                    const char16_t next = text[here];
                    if (atLineStart && (chars::isUpper(next) || !chars::isLetter(next))) return here;
                }
            } else if ((state == State::EnglishContinued && sawOther) ||
                       (state == State::JapaneseContinued && !sawOther) || !lineHasText) {
                return lastBreak;
            }
            sawOther = false;
            lineHasText = false;
            lastBreak = here;
            lineStart = here;
            continue;
        }

        if (isSentencePunctuation(d)) {
            if (i - start < (d == u':' ? 20 : 4)) continue;
            if (i + 2 >= n) return n;
            if (d == u'.' && isAbbreviationPeriod(text, start, i)) continue;
            const char16_t a = text[i + 1];
            if (chars::isWhitespace(a) || isControl(a) || isQuote(a) || a == u')' || a == 0x201D) {
                if (d != u';' && d != u':' && chars::isLower(text[i + 2])) continue;
                if (state == State::JapaneseContinued && !sawOther) return lastBreak;
                return isQuote(a) ? i + 3 : i + 2;
            }
            if (a == 0x3000) return i + 2;
            continue;
        }

        // Any other character: Japanese text, or at least not English.
        if (state == State::EnglishContinued) return lastBreak;
        sawOther = true;
        if (d == 0x3002 || d == 0xFF1F || (d == 0xFF0E && !chars::isDigit(text[i + 1]))) {
            int end = i + 1;
            while (end < n && (text[end] == 0x3002 || text[end] == 0xFF1F || text[end] == 0xFF0E ||
                               chars::isClosingBracket(text[end])))
                ++end;
            return end;
        }
    }
    return n;
}

}  // namespace

int sentenceEnd(std::u16string_view text, int start) {
    const Text scanned(text);
    return findSentenceEnd(scanned, std::clamp(start, 0, scanned.length()));
}

SentenceSpan sentenceRange(std::u16string_view text, int position, SentenceDirection direction) {
    const Text scanned(text);
    const int n = scanned.length();
    position = std::clamp(position, 0, n);
    if (direction == SentenceDirection::Next) {
        const int start = scanned.skipWhitespace(position);
        return SentenceSpan{start, findSentenceEnd(scanned, start)};
    }
    int start = std::max(0, position - 256);
    for (;;) {
        const int end = findSentenceEnd(scanned, start);
        // An empty sentence still moves the walk on by one character.
        const int next = scanned.skipWhitespace(std::max(end, std::min(start + 1, n)));
        if (next >= position || next >= n) return SentenceSpan{start, next};
        start = next;
    }
}

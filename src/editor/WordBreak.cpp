#include "editor/WordBreak.h"

#include <algorithm>

namespace {

bool isBlank(char16_t c) { return c == u'\t' || c == u' '; }
bool isBreak(char16_t c) { return c == u'\r' || c == u'\n'; }
bool isSeparator(char16_t c) { return isBlank(c) || isBreak(c); }
bool isLetter(char16_t c) { return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') || c == u'_'; }
bool isDigit(char16_t c) { return c >= u'0' && c <= u'9'; }

// Whether c continues a run whose class is set by first.
bool continuesRun(char16_t first, char16_t c) {
    if (isSeparator(c)) return false;
    if (isLetter(first)) return isLetter(c);
    if (isDigit(first)) return isDigit(c);
    if (first < 0x80) return c == first;
    if (first >= 0x4E00 && first <= 0x9F9F) return c >= 0x4E00;
    if (first >= 0x30A0 && first <= 0x30FF) return c >= 0x30A0 && c <= 0x4DFF;
    if (first >= 0x3040 && first <= 0x309F) return c >= 0x3040 && c <= 0x309F;
    return false;
}

}  // namespace

int wordRight(std::u16string_view text, int position) {
    const int length = static_cast<int>(text.size());
    int p = std::clamp(position, 0, length);
    while (p < length && isBlank(text[p])) ++p;
    if (p >= length) return length;
    if (isBreak(text[p])) {
        while (p < length && isSeparator(text[p])) ++p;
        return p;
    }
    const char16_t first = text[p++];
    while (p < length && continuesRun(first, text[p])) ++p;
    // A letter or digit run that meets a bare LF takes it along.
    if (p < length && text[p] == u'\n' && (isLetter(first) || isDigit(first))) ++p;
    return p;
}

int wordLeft(std::u16string_view text, int position) {
    int p = std::clamp(position, 0, static_cast<int>(text.size()));
    while (p > 0 && isBlank(text[p - 1])) --p;
    if (p == 0) return 0;
    if (isBreak(text[p - 1])) {
        while (p > 0 && isSeparator(text[p - 1])) --p;
        return p;
    }
    --p;
    // Walking back, a unit belongs to the run when a run starting with it
    // would go on over the unit after it.
    while (p > 0 && continuesRun(text[p - 1], text[p])) --p;
    return p;
}

int defaultWordBreakProc(LPWSTR text, int position, int length, int code) {
    if (!text || length < 0) return 0;
    const std::u16string_view view(text, static_cast<std::size_t>(length));
    switch (code) {
        case 0:
        case 4:
        case 6:
            return wordLeft(view, position);
        case 1:
        case 5:
        case 7:
            return wordRight(view, position);
        case WB_ISDELIMITER:
            return position >= 0 && position < length && isSeparator(view[position]) ? TRUE : FALSE;
        default:
            return 0;
    }
}

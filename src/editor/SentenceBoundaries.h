// Where sentences begin and end in text that mixes English and Japanese: an
// English sentence followed by its translation, word pairs on their own
// lines, bulleted lists, dialogue in quotes.
//
// Pure functions over UTF-16 text; positions are code-unit offsets. Every
// function accepts any position (it is clamped to the text) and always makes
// progress, so a caller that walks sentence by sentence cannot loop forever.
#pragma once

#include <string_view>

struct SentenceSpan {
    int start = 0;
    int end = 0;
    bool operator==(const SentenceSpan&) const = default;
};

// The end (exclusive) of the sentence that starts at start. The result is
// never before start and never past the text. A sentence that ends before a
// bulleted line ends before the last character of the line break in front of
// the bullet; callers that want the break take one more character.
int sentenceEnd(std::u16string_view text, int start);

enum class SentenceDirection { Previous, Next };

// Next: the sentence that starts at the first non-whitespace character at or
// after position. Previous: the last sentence that starts before position,
// from its start to the start of the sentence after it (whitespace
// included). The search back looks at most 256 code units behind position,
// so inside a longer sentence it gives the tail after the last end it sees.
SentenceSpan sentenceRange(std::u16string_view text, int position, SentenceDirection direction);

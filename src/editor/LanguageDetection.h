// Telling English sentences from Japanese ones, and cutting a bilingual text
// into runs of sentences of one language (an English passage, then its
// translation, and so on).
#pragma once

#include <string_view>
#include <vector>

#include "editor/SentenceBoundaries.h"

enum class Language { Japanese = 0, English = 1 };

// Japanese as soon as a kana or a Japanese punctuation mark appears, or the
// third ideograph (the first, in a sentence of fewer than 12 code units);
// otherwise the last telling character decides: an ideograph or the
// ideographic space says Japanese, anything else above space English. Only
// the first 1000 code units are looked at. A sentence with nothing telling
// in it counts as Japanese.
Language languageOf(std::u16string_view sentence);

struct LanguageRuns {
    // Consecutive spans that cover the whole text; neighbouring runs differ
    // in language. Never empty.
    std::vector<SentenceSpan> runs;
    // The language of the first run (of the whole text when it holds no
    // sentence at all).
    Language first = Language::Japanese;
};

LanguageRuns splitByLanguage(std::u16string_view text);

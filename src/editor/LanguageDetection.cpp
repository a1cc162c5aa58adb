#include "editor/LanguageDetection.h"

#include <algorithm>

#include "editor/CharacterGroups.h"

Language languageOf(std::u16string_view sentence) {
    Language guess = Language::Japanese;
    int ideographs = 0;
    const bool shortSentence = sentence.size() < 12;
    for (char16_t c : sentence.substr(0, 1000)) {
        if (chars::isJapaneseMark(c)) return Language::Japanese;
        if (chars::isNeutralJapaneseSymbol(c)) {
            guess = Language::Japanese;
        } else if (chars::isIdeograph(c)) {
            guess = Language::Japanese;
            if (shortSentence || ++ideographs == 3) return Language::Japanese;
        } else if (c > u' ') {
            guess = Language::English;
        }
    }
    return guess;
}

LanguageRuns splitByLanguage(std::u16string_view text) {
    const int n = static_cast<int>(text.size());
    LanguageRuns result;
    bool any = false;
    Language previous = Language::Japanese;
    int runStart = 0;
    int position = 0;
    for (;;) {
        while (position < n && chars::isWhitespace(text[static_cast<std::size_t>(position)])) ++position;
        if (n - position < 2) break;
        int end = sentenceEnd(text, position);
        if (end < n && text[static_cast<std::size_t>(end)] == u'\n') ++end;
        end = std::max(end, position + 1);
        const Language language =
            languageOf(text.substr(static_cast<std::size_t>(position), static_cast<std::size_t>(end - position)));
        if (!any) {
            result.first = language;
            any = true;
        } else if (language != previous) {
            result.runs.push_back(SentenceSpan{runStart, position});
            runStart = position;
        }
        previous = language;
        position = end;
    }
    if (!any) result.first = languageOf(text);
    result.runs.push_back(SentenceSpan{runStart, n});
    return result;
}

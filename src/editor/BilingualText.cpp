#include "editor/BilingualText.h"

#include "editor/LanguageDetection.h"

namespace bilingual {

namespace {

bool isWide(char16_t c) { return c > 0x00FE; }
bool isNarrowVisible(char16_t c) { return c >= 0x0021 && c <= 0x00FE; }

std::u16string withoutLineBreaks(std::u16string_view text) {
    std::u16string result;
    result.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n') {
            ++i;
            continue;
        }
        result += text[i];
    }
    return result;
}

std::u16string_view slice(std::u16string_view text, const SentenceSpan& span) {
    return text.substr(static_cast<std::size_t>(span.start), static_cast<std::size_t>(span.end - span.start));
}

}  // namespace

std::vector<SentenceSpan> characterRuns(std::u16string_view text) {
    std::vector<SentenceSpan> runs;
    const int n = static_cast<int>(text.size());
    int i = 0;
    while (i < n) {
        const int start = i;
        const bool wide = isWide(text[static_cast<std::size_t>(i)]);
        for (++i; i < n; ++i) {
            const char16_t c = text[static_cast<std::size_t>(i)];
            if (wide ? isNarrowVisible(c) : isWide(c)) break;
        }
        runs.push_back(SentenceSpan{start, i});
    }
    return runs;
}

std::vector<SentenceSpan> sentenceRuns(std::u16string_view text) { return splitByLanguage(text).runs; }

std::u16string swapRuns(std::u16string_view text, const std::vector<SentenceSpan>& runs) {
    std::u16string result;
    result.reserve(text.size() + runs.size() * 3);
    std::size_t i = 0;
    for (; i + 1 < runs.size(); i += 2) {
        result += withoutLineBreaks(slice(text, runs[i + 1]));
        result += u"\r\n";
        result += withoutLineBreaks(slice(text, runs[i]));
        result += u"\r\n\r\n";
    }
    if (i < runs.size()) result += slice(text, runs[i]);
    return result;
}

std::vector<Pair> languagePairs(std::u16string_view text, LineBreaks lineBreaks) {
    const LanguageRuns split = splitByLanguage(text);
    const bool englishFirst = split.first == Language::English;
    auto piece = [&](std::size_t index) -> std::u16string {
        if (index >= split.runs.size()) return {};
        const std::u16string_view run = slice(text, split.runs[index]);
        return lineBreaks == LineBreaks::Remove ? withoutLineBreaks(run) : std::u16string(run);
    };
    std::vector<Pair> pairs;
    for (std::size_t i = 0; i < split.runs.size(); i += 2) {
        std::u16string first = piece(i);
        std::u16string second = piece(i + 1);
        if (englishFirst)
            pairs.push_back(Pair{std::move(first), std::move(second)});
        else
            pairs.push_back(Pair{std::move(second), std::move(first)});
    }
    return pairs;
}

}  // namespace bilingual

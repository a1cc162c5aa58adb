// The lyrics view's tools for texts that mix English and Japanese: putting
// each Japanese part before its English one (or the other way round), and
// pairing the parts up as sentence and translation, or as word and meaning.
//
// Runs cover the whole text in order and alternate in kind, so a pair is
// always one English and one Japanese run; what stands in the text is never
// dropped (an odd last run is kept as it is, or as a half pair).
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "editor/SentenceBoundaries.h"

namespace bilingual {

// Runs by character: one starting above U+00FE goes on over every character
// outside U+0021..U+00FE (white space and line breaks included); any other
// goes on over the characters up to U+00FE.
std::vector<SentenceSpan> characterRuns(std::u16string_view text);
// Runs of sentences of one language (splitByLanguage).
std::vector<SentenceSpan> sentenceRuns(std::u16string_view text);

// Each pair of runs as the second without its CR LFs, CR LF, the first
// without its CR LFs, CR LF CR LF; an odd last run is appended unchanged.
std::u16string swapRuns(std::u16string_view text, const std::vector<SentenceSpan>& runs);

struct Pair {
    std::u16string english;
    std::u16string japanese;
};
enum class LineBreaks { Keep, Remove };
// The sentence runs two by two, each pair's English run (by the language of
// the text's first sentence) apart from its Japanese one. An odd last run
// makes a pair whose other half is empty.
std::vector<Pair> languagePairs(std::u16string_view text, LineBreaks lineBreaks);

}  // namespace bilingual

// Dictation: what the learner typed against the sentence, word by word, and
// the per-sentence scores kept beside the sentence-list file.
//
// Words are runs between white space; case and punctuation are forgiven (a
// word is compared by its letters and digits only, ASCII case folded), and a
// word of punctuation alone is no word. The marks follow the longest common
// run of words, in reading order: Right (typed as in the sentence), Missing
// (in the sentence, not typed) and Wrong (typed, not in the sentence).
//
// The score file is "<sentence-list name>.dictation.txt" in the sentence
// list's folder, UTF-8, one line per scored row: row, words right at the last
// try, words in the sentence, best words right, tries, separated by tabs.
// Lines that do not parse are dropped on reading; writing replaces the file
// only once it is whole.
#pragma once

#include <map>
#include <string>
#include <vector>

enum class WordMark { Right, Missing, Wrong };

struct MarkedWord {
    std::u16string text;  // as the sentence has it (Right, Missing) or as typed (Wrong)
    WordMark mark = WordMark::Right;
};

struct DictationResult {
    std::vector<MarkedWord> words;
    int right = 0;
    int total = 0;  // words in the sentence
};

DictationResult compareDictation(const std::u16string& sentence, const std::u16string& typed);

struct DictationScore {
    int lastRight = 0;
    int words = 0;
    int bestRight = 0;
    int tries = 0;
};

class DictationScores {
public:
    // The score file of a sentence-list file.
    static std::u16string pathFor(const std::u16string& sentenceListPath);

    // Missing or unreadable: no scores.
    bool load(const std::u16string& path);
    bool save(const std::u16string& path) const;

    void record(int row, const DictationResult& result);
    const DictationScore* find(int row) const;
    const std::map<int, DictationScore>& all() const { return scores_; }

private:
    std::map<int, DictationScore> scores_;
};

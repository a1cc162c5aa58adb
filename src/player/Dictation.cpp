#include "player/Dictation.h"

#include <algorithm>

#include "app/Paths.h"
#include "platform/common/AsciiCase.h"
#include "text/EncodingCode.h"
#include "text/ReplacingFile.h"
#include "text/TextFile.h"

namespace {

bool isSpace(char16_t c) { return c == u' ' || c == u'\t' || c == u'\r' || c == u'\n' || c == u'\u3000'; }

// Letters and digits count; ASCII and general punctuation, symbols and
// their full-width forms do not.
bool isPunctuation(char16_t c) {
    if (c < 0x80) return !((c >= u'0' && c <= u'9') || (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z'));
    return (c >= 0x2000 && c <= 0x206F) || (c >= 0x3000 && c <= 0x303F) || (c >= 0xFF01 && c <= 0xFF0F) ||
           (c >= 0xFF1A && c <= 0xFF20) || c == 0x00A0 || c == 0x00BF || c == 0x00A1;
}

struct Word {
    std::u16string text;
    std::u16string key;
};

std::vector<Word> wordsOf(const std::u16string& text) {
    std::vector<Word> words;
    std::size_t i = 0;
    while (i < text.size()) {
        while (i < text.size() && isSpace(text[i])) ++i;
        const std::size_t begin = i;
        while (i < text.size() && !isSpace(text[i])) ++i;
        if (begin == i) break;
        Word word{text.substr(begin, i - begin), {}};
        for (char16_t c : word.text)
            if (!isPunctuation(c)) word.key += veltrix::ascii::toLower(c);
        if (!word.key.empty()) words.push_back(std::move(word));
    }
    return words;
}

bool parseInt(const std::u16string& text, int& value) {
    if (text.empty() || text.size() > 6) return false;
    value = 0;
    for (char16_t c : text) {
        if (c < u'0' || c > u'9') return false;
        value = value * 10 + (c - u'0');
    }
    return true;
}

}  // namespace

DictationResult compareDictation(const std::u16string& sentence, const std::u16string& typed) {
    const std::vector<Word> want = wordsOf(sentence);
    const std::vector<Word> got = wordsOf(typed);
    const std::size_t n = want.size();
    const std::size_t m = got.size();
    // lcs[i][j]: longest common run of want[i..] and got[j..].
    std::vector<std::vector<int>> lcs(n + 1, std::vector<int>(m + 1, 0));
    for (std::size_t i = n; i-- > 0;)
        for (std::size_t j = m; j-- > 0;)
            lcs[i][j] = want[i].key == got[j].key ? lcs[i + 1][j + 1] + 1 : std::max(lcs[i + 1][j], lcs[i][j + 1]);
    DictationResult result;
    result.total = static_cast<int>(n);
    std::size_t i = 0, j = 0;
    while (i < n || j < m) {
        if (i < n && j < m && want[i].key == got[j].key) {
            result.words.push_back({want[i++].text, WordMark::Right});
            ++j;
            ++result.right;
        } else if (j < m && (i == n || lcs[i][j + 1] >= lcs[i + 1][j])) {
            result.words.push_back({got[j++].text, WordMark::Wrong});
        } else {
            result.words.push_back({want[i++].text, WordMark::Missing});
        }
    }
    return result;
}

std::u16string DictationScores::pathFor(const std::u16string& sentenceListPath) {
    return withoutExtension(sentenceListPath) + u".dictation.txt";
}

bool DictationScores::load(const std::u16string& path) {
    scores_.clear();
    std::u16string text;
    if (readTextFile(path, text, encoding::kUtf8) < 0) return false;
    std::size_t pos = 0;
    while (pos < text.size()) {
        std::size_t end = text.find(u'\n', pos);
        if (end == std::u16string::npos) end = text.size();
        std::u16string line = text.substr(pos, end - pos);
        pos = end + 1;
        if (!line.empty() && line.back() == u'\r') line.pop_back();
        std::vector<int> fields;
        std::size_t start = 0;
        for (;;) {
            const std::size_t tab = line.find(u'\t', start);
            int value = 0;
            if (!parseInt(line.substr(start, tab == std::u16string::npos ? std::u16string::npos : tab - start), value))
                break;
            fields.push_back(value);
            if (tab == std::u16string::npos) break;
            start = tab + 1;
        }
        if (fields.size() != 5) continue;
        DictationScore score{fields[1], fields[2], fields[3], fields[4]};
        if (score.lastRight > score.words || score.bestRight > score.words || score.tries < 1) continue;
        scores_[fields[0]] = score;
    }
    return true;
}

bool DictationScores::save(const std::u16string& path) const {
    std::u16string text;
    for (const auto& [row, score] : scores_) {
        const std::string line = std::to_string(row) + '\t' + std::to_string(score.lastRight) + '\t' +
                                 std::to_string(score.words) + '\t' + std::to_string(score.bestRight) + '\t' +
                                 std::to_string(score.tries) + "\r\n";
        text.append(line.begin(), line.end());
    }
    ReplacingFile file(path);
    if (!file.file() || !writeEncoded(file.file(), text, encoding::kUtf8)) return false;
    return file.commit();
}

void DictationScores::record(int row, const DictationResult& result) {
    DictationScore& score = scores_[row];
    score.lastRight = result.right;
    score.words = result.total;
    score.bestRight = score.tries == 0 ? result.right : std::max(score.bestRight, result.right);
    ++score.tries;
}

const DictationScore* DictationScores::find(int row) const {
    const auto it = scores_.find(row);
    return it == scores_.end() ? nullptr : &it->second;
}

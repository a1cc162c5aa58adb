#include "player/LyricsEditing.h"

#include <algorithm>

#include "editor/SentenceBoundaries.h"
#include "editor/TextEditor.h"

namespace {

constexpr std::uint32_t kStepMs = 10;

bool isBreakingSpace(char16_t c) { return c == u' ' || c == u'\t' || c == u'\r' || c == u'\n'; }

}  // namespace

LyricsEditing::LyricsEditing(LyricsTable& table, LyricsTextEditor& lyrics, TextEditor& translation,
                             TextEditor& explanation)
    : table_(table), lyrics_(lyrics), translation_(translation), explanation_(explanation) {}

void LyricsEditing::markEdited() { lyrics_.setModified(true); }

void LyricsEditing::setPaneText(TextEditor& pane, const std::u16string& text) {
    // Rewriting an unchanged pane on every tick would move its caret and
    // flicker while the learner reads it.
    if (pane.document().text() == text) return;
    pane.replaceRange(0, pane.document().length(), text, Recording::Off);
    pane.setSelection(0, 0);
}

void LyricsEditing::clearSentences() {
    table_.clear();
    lyrics_.clearSentences();
    lyrics_.emptyUndoBuffer();
}

void LyricsEditing::showDocument() {
    const SentenceList& document = table_.document();
    table_.removeAllRows();
    for (std::size_t i = 0; i < document.size(); ++i) {
        const SentenceRow& row = document.rows()[i];
        const int r = table_.insertRow(u"", table_.getRowCount());
        // The cells are shown as the file had them.
        table_.setValueAt(row.start, r, LyricsTable::Start);
        table_.setValueAt(row.end, r, LyricsTable::End);
        table_.setValueAt(row.sentence, r, LyricsTable::Sentence);
        table_.setValueAt(row.translation, r, LyricsTable::Translation);
        table_.setValueAt(row.explanation, r, LyricsTable::Explanation);
    }
    lyrics_.setSentences(document.joinedText(), document.timings());
    lyrics_.emptyUndoBuffer();
    lyrics_.setModified(false);
}

void LyricsEditing::collectDocument() {
    SentenceList& document = table_.document();
    // clear() would also drop id3 and WordList, which the save must keep.
    Element id3(u"id3");
    id3.copyFrom(document.id3());
    Element wordList(u"WordList");
    wordList.copyFrom(document.wordList());
    document.clear();
    document.id3().copyFrom(id3);
    document.wordList().copyFrom(wordList);
    const int count = std::min(table_.getRowCount(), lyrics_.sentenceCount());
    for (int row = 0; row < count; ++row) document.appendEntry(table_.entry(row));
}

void LyricsEditing::appendEntry(const SentenceGroup& entry, std::u16string& pending) {
    table_.addEntry(entry);
    lyrics_.appendTiming(SentenceTiming{entry.startTime, static_cast<std::int32_t>(pending.size())});
    pending += entry.sentence;
}

void LyricsEditing::finishEntries(const std::u16string& pending) {
    std::vector<SentenceTiming> timings = lyrics_.timings();
    lyrics_.setSentences(pending, std::move(timings));
}

void LyricsEditing::setLyricsText(std::u16string_view text) {
    const int length = static_cast<int>(text.size());
    std::u16string accumulated;
    accumulated.reserve(text.size());
    int pos = 0;
    int start = 0;
    int row = 0;
    auto place = [&](std::u16string_view sentence) {
        const auto offset = static_cast<std::int32_t>(accumulated.size());
        std::u16string owned(sentence);
        if (row < table_.getRowCount() && row < lyrics_.sentenceCount()) {
            table_.setValueAt(owned, row, LyricsTable::Sentence);
            lyrics_.setTimingOffset(row, offset);
        } else {
            table_.addEntry(SentenceGroup{0, 0, owned, {}, {}});
            lyrics_.appendTiming(SentenceTiming{0, offset});
        }
        accumulated += owned;
        ++row;
    };
    while (pos < length - 1) {
        const int end = sentenceEnd(text, pos);
        if (end <= pos) break;
        int next = end;
        while (next < length && isBreakingSpace(text[static_cast<std::size_t>(next)])) ++next;
        place(text.substr(static_cast<std::size_t>(start), static_cast<std::size_t>(next - start)));
        start = pos = next;
    }
    // Whatever the split left over (a last single character, text the
    // boundary search could not pass) stays in the view as one more sentence
    // rather than vanishing from the learner's text.
    if (start < length) {
        std::u16string_view rest = text.substr(static_cast<std::size_t>(start));
        const bool blank = std::all_of(rest.begin(), rest.end(), isBreakingSpace);
        if (blank && row > 0) {
            --row;
            const std::u16string sentence = table_.getValueAt(row, LyricsTable::Sentence) + std::u16string(rest);
            table_.setValueAt(sentence, row, LyricsTable::Sentence);
            accumulated += rest;
            ++row;
        } else {
            place(rest);
        }
    }
    std::vector<SentenceTiming> timings = lyrics_.timings();
    if (static_cast<int>(timings.size()) > row) timings.resize(static_cast<std::size_t>(row));
    lyrics_.setSentences(accumulated, std::move(timings));
    while (table_.getRowCount() > row) table_.removeRow(table_.getRowCount() - 1);
}

void LyricsEditing::showSentence(int index) {
    if (index >= lyrics_.sentenceCount()) return;
    if (index >= 0) {
        const auto [start, end] = lyrics_.sentenceRange(index);
        if (lyrics_.anchor() != start || lyrics_.caret() != end) {
            lyrics_.setSelection(start, end);
            lyrics_.scrollCaretToQuarter();
        }
    }
    const int row = index < 0 ? table_.getRowCount() - 1 : index;
    if (row < 0) return;
    setPaneText(translation_, table_.getValueAt(row, LyricsTable::Translation));
    setPaneText(explanation_, table_.getValueAt(row, LyricsTable::Explanation));
}

void LyricsEditing::selectSentence(int row) {
    if (row < 0 || row >= table_.getRowCount()) return;
    table_.selectOnly(row);
    showSentence(row);
}

int LyricsEditing::firstSelected() const {
    const std::vector<int> rows = table_.getSelectedRows();
    return rows.empty() ? -1 : rows.front();
}

void LyricsEditing::setStart(int row, std::uint32_t ms) {
    if (row == -1) row = table_.getRowCount() - 1;
    if (row < 0 || row >= table_.getRowCount()) return;
    table_.setStartCell(row, ms);
    lyrics_.setSentenceStart(row, ms);
    markEdited();
}

void LyricsEditing::setEnd(int row, std::uint32_t ms) {
    if (row == -1) row = table_.getRowCount() - 1;
    if (row < 0 || row >= table_.getRowCount()) return;
    table_.setEndCell(row, ms);
    markEdited();
}

void LyricsEditing::setRowStart(std::uint32_t ms) {
    const int row = firstSelected();
    if (row < 0) return;
    setStart(row, ms);
    showSentence(row);
}

void LyricsEditing::setRowEnd(std::uint32_t ms) {
    const int row = firstSelected();
    if (row < 0) return;
    setEnd(row, ms);
    showSentence(row);
}

void LyricsEditing::shiftStartTimes(int step) {
    for (int row : table_.getSelectedRows()) {
        if (row >= lyrics_.sentenceCount()) break;
        const std::uint32_t current = lyrics_.timings()[static_cast<std::size_t>(row)].startMs;
        std::uint32_t shifted = current + kStepMs;
        // A start of 0 nudged down would wrap around to some seventy thousand minutes.
        if (step < 0) shifted = current >= kStepMs ? current - kStepMs : 0;
        setStart(row, shifted);
    }
    table_.repaint();
}

void LyricsEditing::applyPanesToRow() {
    const int row = firstSelected();
    if (row < 0) return;
    table_.setValueAt(explanation_.text(), row, LyricsTable::Explanation);
    table_.setValueAt(translation_.text(), row, LyricsTable::Translation);
    markEdited();
}

void LyricsEditing::selectAdjacentSentence(Direction direction) {
    const int count = table_.getRowCount();
    if (count == 0) return;
    int row = firstSelected();
    row += direction == Direction::Forward ? 1 : -1;
    if (row < 0) row = count - 1;
    if (row >= count) row = 0;
    selectSentence(row);
}

void LyricsEditing::mergeSentences(const std::vector<int>& rows) {
    std::vector<int> sorted = rows;
    std::sort(sorted.begin(), sorted.end());
    sorted.erase(std::unique(sorted.begin(), sorted.end()), sorted.end());
    std::erase_if(sorted, [&](int r) { return r < 0 || r >= table_.getRowCount() || r >= lyrics_.sentenceCount(); });
    if (sorted.size() < 2) return;
    std::u16string s, t, e;
    const int first = sorted.front();
    for (auto it = sorted.rbegin(); it != sorted.rend(); ++it) {
        const int row = *it;
        s = table_.getValueAt(row, LyricsTable::Sentence) + s;
        t = table_.getValueAt(row, LyricsTable::Translation) + t;
        e = table_.getValueAt(row, LyricsTable::Explanation) + e;
        if (row == first) continue;
        table_.removeRow(row);
        lyrics_.removeSentence(row);
    }
    lyrics_.replaceSentence(first, s);
    table_.setValueAt(s, first, LyricsTable::Sentence);
    table_.setValueAt(t, first, LyricsTable::Translation);
    table_.setValueAt(e, first, LyricsTable::Explanation);
    markEdited();
    table_.repaint();
}

void LyricsEditing::deleteRows(const std::vector<int>& rows) {
    std::vector<int> sorted = rows;
    std::sort(sorted.begin(), sorted.end());
    sorted.erase(std::unique(sorted.begin(), sorted.end()), sorted.end());
    for (auto it = sorted.rbegin(); it != sorted.rend(); ++it) {
        if (*it < 0 || *it >= table_.getRowCount()) continue;
        lyrics_.removeSentence(*it);
        table_.removeRow(*it);
    }
    markEdited();
}

void LyricsEditing::rowsReordered() {
    std::u16string joined;
    std::vector<SentenceTiming> timings;
    for (int row = 0; row < table_.getRowCount(); ++row) {
        timings.push_back(SentenceTiming{table_.startOf(row), static_cast<std::int32_t>(joined.size())});
        joined += table_.getValueAt(row, LyricsTable::Sentence);
    }
    lyrics_.setSentences(joined, std::move(timings));
    lyrics_.emptyUndoBuffer();
    markEdited();
    const int row = firstSelected();
    if (row >= 0) showSentence(row);
}

void LyricsEditing::applySentenceEdit(int row, SentenceEdit edit, const SentenceTexts& texts) {
    const int count = table_.getRowCount();
    if (edit == SentenceEdit::Replace) {
        if (row == -1) row = count - 1;
        if (row < 0 || row >= count) return;
        lyrics_.replaceSentence(row, texts.sentence);
        table_.setValueAt(texts.sentence, row, LyricsTable::Sentence);
        table_.setValueAt(texts.translation, row, LyricsTable::Translation);
        table_.setValueAt(texts.explanation, row, LyricsTable::Explanation);
    } else {
        if (row < 0 || row >= count) row = -1;
        lyrics_.insertSentence(row, 0, texts.sentence);
        const int inserted = table_.insertEmptyRow(row);
        table_.setValueAt(texts.sentence, inserted, LyricsTable::Sentence);
        table_.setValueAt(texts.translation, inserted, LyricsTable::Translation);
        table_.setValueAt(texts.explanation, inserted, LyricsTable::Explanation);
    }
    markEdited();
    table_.repaint();
}

bool LyricsEditing::editSentenceRow(int row, SentenceEdit edit) {
    if (!asker_) return false;
    SentenceTexts initial;
    if (edit == SentenceEdit::Replace) {
        const int r = row == -1 ? table_.getRowCount() - 1 : row;
        if (r < 0 || r >= table_.getRowCount()) return false;
        initial = {table_.getValueAt(r, LyricsTable::Sentence), table_.getValueAt(r, LyricsTable::Translation),
                   table_.getValueAt(r, LyricsTable::Explanation)};
    }
    std::optional<SentenceTexts> answer = asker_(edit, initial);
    if (!answer) return false;
    SentenceTexts texts = *answer;
    if (edit == SentenceEdit::Insert) {
        texts.translation.clear();
        texts.explanation.clear();
    } else {
        // The dialog edits the sentence; the row keeps its other texts.
        texts.translation = initial.translation;
        texts.explanation = initial.explanation;
    }
    applySentenceEdit(row, edit, texts);
    return true;
}

bool LyricsEditing::performMenuChoice(int choice) {
    const std::vector<int> selected = table_.getSelectedRows();
    const int first = selected.empty() ? -1 : selected.front();
    switch (choice) {
        case SentenceMenuChoice::Edit:
            if (first >= 0) editSentenceRow(first, SentenceEdit::Replace);
            return false;
        case SentenceMenuChoice::Add:
            editSentenceRow(first, SentenceEdit::Insert);
            return false;
        case SentenceMenuChoice::Delete:
            deleteRows(selected);
            return false;
        case SentenceMenuChoice::Merge:
            mergeSentences(selected);
            return false;
        case SentenceMenuChoice::PlusStep:
            shiftStartTimes(+1);
            return false;
        case SentenceMenuChoice::MinusStep:
            shiftStartTimes(-1);
            return false;
        case SentenceMenuChoice::PlaySentence:
            return selected.size() == 1;
        default:
            return false;
    }
}

#include "player/LyricsTextEditor.h"

void LyricsTextEditor::setSentences(std::u16string_view text, std::vector<SentenceTiming> timings) {
    setText(text);
    sentenceIndex_ = std::move(timings);
}

void LyricsTextEditor::clearSentences() {
    setText(u"");
    sentenceIndex_.clear();
}

std::pair<int, int> LyricsTextEditor::sentenceRange(int index) const {
    if (index < 0 || index >= sentenceCount()) return {0, 0};
    const int length = document().length();
    const int start = std::min(sentenceIndex_[static_cast<std::size_t>(index)].textOffset, length);
    int end = length;
    if (index + 1 < sentenceCount())
        end = std::min(sentenceIndex_[static_cast<std::size_t>(index) + 1].textOffset, length);
    return {start, std::max(start, end)};
}

void LyricsTextEditor::setSentenceStart(int index, std::uint32_t startMs) {
    if (index < 0 || index >= sentenceCount()) return;
    sentenceIndex_[static_cast<std::size_t>(index)].startMs = startMs;
}

void LyricsTextEditor::insertSentence(int index, std::uint32_t startMs, std::u16string_view text) {
    const int length = static_cast<int>(text.size());
    if (index >= 0 && index < sentenceCount()) {
        const int offset = sentenceRange(index).first;
        setSelection(offset, offset);
        replaceRange(offset, offset, text, Recording::On);
        sentenceIndex_.insert(sentenceIndex_.begin() + index, SentenceTiming{startMs, offset});
        shiftOffsets(index + 1, length);
        return;
    }
    const int end = document().length();
    replaceRange(end, end, text, Recording::On);
    sentenceIndex_.push_back(SentenceTiming{startMs, end});
}

void LyricsTextEditor::replaceSentence(int index, std::u16string_view text) {
    if (index < 0 || index >= sentenceCount()) return;
    const auto [start, end] = sentenceRange(index);
    const int before = document().length();
    replaceRange(start, end, text, Recording::On);
    shiftOffsets(index + 1, document().length() - before);
}

void LyricsTextEditor::removeSentence(int index) {
    if (index < 0 || index >= sentenceCount()) return;
    const auto [start, end] = sentenceRange(index);
    const int before = document().length();
    if (end > start) replaceRange(start, end, u"", Recording::On);
    sentenceIndex_.erase(sentenceIndex_.begin() + index);
    shiftOffsets(index, document().length() - before);
}

void LyricsTextEditor::truncateTimings(int index) {
    if (index >= 0 && index < sentenceCount()) sentenceIndex_.resize(static_cast<std::size_t>(index));
}

void LyricsTextEditor::setTimingOffset(int index, int offset) {
    if (index < 0 || index >= sentenceCount()) return;
    sentenceIndex_[static_cast<std::size_t>(index)].textOffset = offset;
}

void LyricsTextEditor::shiftOffsets(int from, int delta) {
    if (delta == 0) return;
    for (std::size_t i = static_cast<std::size_t>(std::max(from, 0)); i < sentenceIndex_.size(); ++i)
        sentenceIndex_[i].textOffset += delta;
}

bool LyricsTextEditor::onFilesDropped(const std::vector<std::u16string>& paths) {
    if (!filesDropped_ || (paths.size() == 1 && hasPictureExtension(paths.front())))
        return TextEditor::onFilesDropped(paths);
    filesDropped_(paths);
    return true;
}

// The lyrics view: a TextEditor whose text is every sentence of the open
// sentence list joined in row order, with the timing index beside it.
//
// Invariants (kept by the sentence operations here; typing into the view
// leaves the index as it was until the text is split again):
//  - timings()[i].textOffset is where sentence i begins, ascending, and every
//    offset lies inside the text;
//  - sentence i runs from its offset to the next one's, the last to the end
//    of the text.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "editor/TextEditor.h"
#include "lyrics/SentenceTiming.h"

class LyricsTextEditor : public TextEditor {
public:
    // The bilingual tools of the context menu: each works on the selection.
    static constexpr int kCommandSwapByCharacters = 55;
    static constexpr int kCommandSwapBySentences = 56;
    static constexpr int kCommandSentencePairs = 57;
    static constexpr int kCommandWordPairs = 58;

    const std::vector<SentenceTiming>& timings() const { return sentenceIndex_; }
    int sentenceCount() const { return static_cast<int>(sentenceIndex_.size()); }

    // Replaces text and index together (after loading a sentence list). The
    // history is left alone; the caller decides what the modified flag says.
    void setSentences(std::u16string_view text, std::vector<SentenceTiming> timings);
    // Empties the text and the index.
    void clearSentences();
    // [start, end) of sentence index in the text; {0, 0} for an index outside.
    std::pair<int, int> sentenceRange(int index) const;
    void setSentenceStart(int index, std::uint32_t startMs);

    // Inserts text before sentence index with its timing (startMs, the old
    // offset), moving later offsets; index -1 or past the end appends.
    void insertSentence(int index, std::uint32_t startMs, std::u16string_view text);
    // Replaces the text of sentence index; later offsets follow.
    void replaceSentence(int index, std::u16string_view text);
    // Removes the text and the timing of sentence index; later offsets follow.
    void removeSentence(int index);
    // Appends a timing without touching the text (when rows are built up
    // while the text is assembled elsewhere).
    void appendTiming(const SentenceTiming& timing) { sentenceIndex_.push_back(timing); }
    // Drops the timings from index on.
    void truncateTimings(int index);
    void setTimingOffset(int index, int offset);

    // Files dropped onto the view go to the player, except a single picture,
    // which the view shows behind the text as every editor does: an audio
    // file dropped here must never be opened as text.
    using FilesDropped = std::function<void(const std::vector<std::u16string>&)>;
    void setFilesDropped(FilesDropped handler) { filesDropped_ = std::move(handler); }
    bool onFilesDropped(const std::vector<std::u16string>& paths) override;

    // Commands 57 and 58: the selection's English and Japanese runs as a
    // sentence-list file (sentence pairs, or a word list), saved where the
    // user chooses. False when nothing was written.
    bool exportSentencePairs();
    bool exportWordPairs();

protected:
    // The editor's menu, then the bilingual tools (enabled with a selection).
    void buildContextMenu(PopupMenu& menu) override;
    bool runCommand(int command) override;

private:
    bool saveExport(std::u16string_view xml);
    void shiftOffsets(int from, int delta);

    std::vector<SentenceTiming> sentenceIndex_;
    FilesDropped filesDropped_;
};

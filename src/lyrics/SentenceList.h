// The sentence list of the open file, held without any window: the rows of the
// sentence table (times as the time-code text of their "Start" and "End"
// cells, and the three texts), the timing index and the joined sentence text
// that the lyrics view shows, the id3 and WordList elements, and the audio and
// XML paths. The sentence table and the lyrics view show this document.
//
// Invariants: rows() and timings() have the same length and entry i of one is
// entry i of the other; timings()[i].textOffset is the length of the sentences
// of rows 0..i-1 joined, and joinedText() is all sentences joined with nothing
// between them. An "End" cell is empty or later than its row's "Start" cell.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "lyrics/SentenceGroup.h"
#include "lyrics/SentenceTiming.h"
#include "xml/Element.h"

struct SentenceRow {
    std::u16string start;  // time-code text, to 10 ms
    std::u16string end;    // time-code text, or empty for an entry without end time
    std::u16string sentence;
    std::u16string translation;
    std::u16string explanation;
};

class SentenceList {
public:
    SentenceList();

    const std::vector<SentenceRow>& rows() const { return m_rows; }
    const std::vector<SentenceTiming>& timings() const { return m_timings; }
    const std::u16string& joinedText() const { return m_joinedText; }
    std::size_t size() const { return m_rows.size(); }

    // The entry of a row with its times parsed from the cells (an empty "End"
    // cell reads as 0).
    SentenceGroup entry(std::size_t row) const;

    // Sets the "Start" cell and the timing together (the timing keeps the exact value).
    void setStartTime(std::size_t row, std::uint32_t milliseconds);
    // The end-time rule: SentenceGroup::kNoEndTime empties the "End" cell; any
    // other time is shown only when it is later than the row's "Start" cell.
    void setEndTime(std::size_t row, std::uint32_t milliseconds);
    // Appends a row (its "Start" cell first, so the end-time rule sees it) with
    // its timing at the end of the joined text, and appends the sentence to it.
    void appendEntry(const SentenceGroup& entry);

    // The entry current at a playback position; -1 when the list is empty.
    int findEntryAt(std::uint32_t position) const { return ::findEntryAt(m_timings, position); }

    // Empties the rows, timings, joined text, id3 and WordList (their names stay);
    // the paths are kept.
    void clear();

    Element& id3() { return m_id3; }
    const Element& id3() const { return m_id3; }
    Element& wordList() { return m_wordList; }
    const Element& wordList() const { return m_wordList; }

    // The audio file (absolute once a document is loaded) and the XML file the
    // document was read from or last saved to.
    const std::u16string& audioPath() const { return m_audioPath; }
    void setAudioPath(std::u16string path) { m_audioPath = std::move(path); }
    const std::u16string& xmlPath() const { return m_xmlPath; }
    void setXmlPath(std::u16string path) { m_xmlPath = std::move(path); }

private:
    std::vector<SentenceRow> m_rows;
    std::vector<SentenceTiming> m_timings;
    std::u16string m_joinedText;
    Element m_id3;
    Element m_wordList;
    std::u16string m_audioPath;
    std::u16string m_xmlPath;
};

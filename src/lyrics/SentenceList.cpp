#include "lyrics/SentenceList.h"

#include "lyrics/TimeCode.h"

SentenceList::SentenceList() : m_id3(u"id3"), m_wordList(u"WordList") {}

SentenceGroup SentenceList::entry(std::size_t row) const {
    const SentenceRow& r = m_rows.at(row);
    return SentenceGroup{parseTimeCode(r.start), parseTimeCode(r.end), r.sentence, r.translation, r.explanation};
}

void SentenceList::setStartTime(std::size_t row, std::uint32_t milliseconds) {
    m_rows.at(row).start = formatTimeCode(milliseconds);
    m_timings.at(row).startMs = milliseconds;
}

void SentenceList::setEndTime(std::size_t row, std::uint32_t milliseconds) {
    SentenceRow& r = m_rows.at(row);
    if (milliseconds == SentenceGroup::kNoEndTime || parseTimeCode(r.start) >= milliseconds)
        r.end.clear();
    else
        r.end = formatTimeCode(milliseconds);
}

void SentenceList::appendEntry(const SentenceGroup& entry) {
    m_timings.push_back(SentenceTiming{entry.startTime, static_cast<std::int32_t>(m_joinedText.size())});
    m_joinedText += entry.sentence;
    m_rows.push_back(SentenceRow{formatTimeCode(entry.startTime), {}, {}, {}, {}});
    setEndTime(m_rows.size() - 1, entry.endTime);
    SentenceRow& r = m_rows.back();
    r.sentence = entry.sentence;
    r.translation = entry.translation;
    r.explanation = entry.explanation;
}

void SentenceList::clear() {
    m_rows.clear();
    m_timings.clear();
    m_joinedText.clear();
    m_id3.clear();
    m_wordList.clear();
}

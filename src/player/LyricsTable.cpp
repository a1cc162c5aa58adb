#include "player/LyricsTable.h"

#include "lyrics/TimeCode.h"

namespace {

struct ColumnSpec {
    const char16_t* title;
    int width;
};

constexpr ColumnSpec kColumns[LyricsTable::kColumnCount] = {
    {u"Check", 0},         {u"Start", 45}, {u"End", 45},      {u"Sentence", 130}, {u"Translation", 300},
    {u"Explanation", 300}, {u"Trial", 0},  {u"Dictation", 0}, {u"Writing", 0},
};

}  // namespace

LyricsTable::LyricsTable() { defineColumns(); }

void LyricsTable::defineColumns() {
    if (getColumnCount() == kColumnCount) return;
    for (int i = 0; i < kColumnCount; ++i) insertColumn(i, kColumns[i].title, kColumns[i].width);
    // 45 pixels cut the hundredths in most fonts: the time columns are as
    // wide as a time code measures in the table's font.
    widenColumnFor(Start, kTimeCodeSample);
    widenColumnFor(End, kTimeCodeSample);
}

bool LyricsTable::create(HWND parent) {
    if (!BaseLyricsTable::create(parent)) return false;
    defineColumns();
    return true;
}

void LyricsTable::addEntry(const SentenceGroup& entry) {
    const int row = insertRow(u"", getRowCount());
    if (row < 0) return;
    setStartCell(row, entry.startTime);
    setEndCell(row, entry.endTime);
    setValueAt(entry.sentence, row, Sentence);
    setValueAt(entry.translation, row, Translation);
    setValueAt(entry.explanation, row, Explanation);
}

int LyricsTable::insertEmptyRow(int row) {
    if (row < 0 || row > getRowCount()) row = getRowCount();
    return insertRow(u"", row);
}

void LyricsTable::setStartCell(int row, std::uint32_t ms) { setValueAt(formatTimeCode(ms), resolve(row), Start); }

void LyricsTable::setEndCell(int row, std::uint32_t ms) {
    row = resolve(row);
    if (ms == SentenceGroup::kNoEndTime || startOf(row) >= ms)
        setValueAt(u"", row, End);
    else
        setValueAt(formatTimeCode(ms), row, End);
}

std::uint32_t LyricsTable::startOf(int row) const { return parseTimeCode(getValueAt(resolve(row), Start)); }

std::uint32_t LyricsTable::endOf(int row) const { return parseTimeCode(getValueAt(resolve(row), End)); }

SentenceGroup LyricsTable::entry(int row) const {
    row = resolve(row);
    return SentenceGroup{startOf(row), endOf(row), getValueAt(row, Sentence), getValueAt(row, Translation),
                         getValueAt(row, Explanation)};
}

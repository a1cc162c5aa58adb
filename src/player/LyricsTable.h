// The sentence table: one row per entry of the open sentence list, with the
// start and end times as time-code text and the three texts.
//
// Columns (created with the window, in this order): "Check", "Start", "End",
// "Sentence", "Translation", "Explanation", "Trial", "Dictation", "Writing";
// those of width 0 are hidden and unused. "Start" and "End" are at least as
// wide as a time code in the table's font. The columns exist from
// construction, so rows can be filled before the window is made.
//
// Invariant: an "End" cell is empty or later than its row's "Start" cell.
#pragma once

#include <cstdint>
#include <string>

#include "lyrics/SentenceGroup.h"
#include "player/BaseLyricsTable.h"

class LyricsTable : public BaseLyricsTable {
public:
    enum Column : int {
        Check = 0,
        Start = 1,
        End = 2,
        Sentence = 3,
        Translation = 4,
        Explanation = 5,
        Trial = 6,
        Dictation = 7,
        Writing = 8,
    };
    static constexpr int kColumnCount = 9;
    // The time code the "Start" and "End" columns are made wide enough for
    // (at least 45 pixels, more when the font needs it).
    static constexpr char16_t kTimeCodeSample[] = u"00:00:00";

    LyricsTable();
    bool create(HWND parent) override;

    // Appends a row: its "Start" cell, then its end time (so the end-time
    // rule sees the start), then the texts.
    void addEntry(const SentenceGroup& entry);
    // An empty row (no times, no texts) at row; -1 or past the end appends.
    // Returns the row it went to.
    int insertEmptyRow(int row);

    void setStartCell(int row, std::uint32_t ms);
    // SentenceGroup::kNoEndTime empties the cell; any other time shows only
    // when it is later than the row's start.
    void setEndCell(int row, std::uint32_t ms);
    std::uint32_t startOf(int row) const;
    // 0 for a row without end time.
    std::uint32_t endOf(int row) const;

    // row -1 means the last row (as for every cell of this table).
    std::u16string cell(int row, Column column) const { return getValueAt(resolve(row), column); }
    void setCell(int row, Column column, const std::u16string& text) { setValueAt(text, resolve(row), column); }
    SentenceGroup entry(int row) const;

private:
    int resolve(int row) const { return row == -1 ? getRowCount() - 1 : row; }
    void defineColumns();
};

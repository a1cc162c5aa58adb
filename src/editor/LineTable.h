// The line table of a document: where each line starts and, kept beside it
// by the view, which visual rows each line takes and where inside the line
// those rows begin (its wrap list).
//
// Invariants (whenever the table is not empty):
//  - lineCount() >= 1; lineStart(0) == 0; starts never decrease;
//    lineStart(lineCount()) closes the table with the text length;
//  - firstRow(0) == 0; every line takes at least one row;
//    firstRow(lineCount()) == totalRows();
//  - a wrap list is either empty (the line is one row) or [0, s1, ...,
//    closing] with ascending row starts, closed by the line's length counting
//    at most one code unit of its break, and rowCount(line) + 1 entries.
// Starts and first rows are Partitions: an edit touches O(1) entries near the
// last one, and looking a position or a row up is a binary search. When a
// line is removed its rows fall to the line before it, whose layout is then
// stale until the view wraps that line again (the view always does, right
// after the edit).
#pragma once

#include <cstdint>
#include <vector>

#include "editor/GapBuffer.h"
#include "editor/Partition.h"

class LineTable {
public:
    using WrapList = std::vector<std::int32_t>;

    // The table with no lines at all (see ITextDocument::clearLines).
    bool empty() const { return m_starts.empty(); }
    void clear();
    // One line per start (closing entry included, first 0), each one row
    // without a layout.
    void assign(std::vector<int> startsWithClosing);

    int lineCount() const { return m_starts.parts(); }
    // line in 0..lineCount(); the closing entry gives the text length.
    int lineStart(int line) const { return m_starts.start(line); }
    // The last line whose start is not greater than position, clamped to the
    // lines; 0 when the table is empty.
    int lineOfPosition(int position) const { return m_starts.partOf(position); }
    // A new line `line` (1..lineCount()) starting at start, which must lie
    // between its neighbours' starts. It takes one row and has no layout.
    void insertLine(int line, int start);
    // Removes line (1..lineCount() - 1); its text and rows join the line before.
    void removeLine(int line);
    // Every line start after line's (the closing one included) moves by delta.
    void shiftStartsAfter(int line, int delta) { m_starts.shiftAfter(line, delta); }

    // Layout -------------------------------------------------------------------------------
    int firstRow(int line) const { return m_rows.start(line); }
    int rowCount(int line) const { return m_rows.start(line + 1) - m_rows.start(line); }
    int totalRows() const { return empty() ? 0 : m_rows.start(lineCount()); }
    // The line that owns row (clamped to the lines).
    int lineOfRow(int row) const { return m_rows.partOf(row); }
    const WrapList& wrapList(int line) const { return m_wraps[static_cast<std::size_t>(line)]; }
    // Stores a line's layout; its row count becomes wraps.size() - 1 (one
    // row for a list of fewer than two entries, which is stored empty).
    void setLayout(int line, WrapList wraps);

private:
    Partition m_starts;
    Partition m_rows;
    GapBuffer<std::vector<WrapList>> m_wraps;
};

#include "editor/LineTable.h"

#include <numeric>

void LineTable::clear() {
    m_starts.clear();
    m_rows.clear();
    m_wraps.clear();
}

void LineTable::assign(std::vector<int> startsWithClosing) {
    const std::size_t entries = startsWithClosing.size();
    m_starts.assign(std::move(startsWithClosing));
    std::vector<int> rows(entries);
    std::iota(rows.begin(), rows.end(), 0);
    m_rows.assign(std::move(rows));
    m_wraps.assign(std::vector<WrapList>(entries - 1));
}

void LineTable::insertLine(int line, int start) {
    m_starts.insertPart(line, start);
    // The new line takes the row its neighbour began with, then one row more.
    m_rows.insertPart(line, m_rows.start(line));
    m_rows.shiftAfter(line, 1);
    m_wraps.insert(static_cast<std::size_t>(line), WrapList{});
}

void LineTable::removeLine(int line) {
    m_starts.removePart(line);
    m_rows.removePart(line);
    m_wraps.erase(static_cast<std::size_t>(line), 1);
}

void LineTable::setLayout(int line, WrapList wraps) {
    const int rows = wraps.size() < 2 ? 1 : static_cast<int>(wraps.size()) - 1;
    m_rows.shiftAfter(line, rows - rowCount(line));
    if (rows == 1) wraps.clear();
    m_wraps[static_cast<std::size_t>(line)] = std::move(wraps);
}

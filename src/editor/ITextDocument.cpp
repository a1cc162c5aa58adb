#include "editor/ITextDocument.h"

#include <algorithm>

ITextDocument::~ITextDocument() = default;

void ITextDocument::clearLines() { m_lines.clear(); }

int ITextDocument::rowOfPosition(int line, int column) const {
    if (line < 0 || line + 1 >= static_cast<int>(m_lines.size())) return 0;
    const LineRecord& record = m_lines[static_cast<std::size_t>(line)];
    const std::vector<std::int32_t>& wraps = record.wrapList;
    if (wraps.empty()) return record.firstRow;
    // The last entry is the line's length, which closes the last row rather
    // than opening a new one: a caret there stays at the end of that row.
    auto rowEnds = wraps.size() >= 2 ? wraps.end() - 1 : wraps.end();
    auto after = std::upper_bound(wraps.begin(), rowEnds, column);
    int index = after == wraps.begin() ? 0 : static_cast<int>(after - wraps.begin()) - 1;
    return record.firstRow + index;
}

std::vector<LineRecord>& ITextDocument::lines() { return m_lines; }

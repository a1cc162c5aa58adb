#include "editor/ITextDocument.h"

#include <algorithm>

ITextDocument::~ITextDocument() = default;

void ITextDocument::clearLines() { m_lines.clear(); }

int ITextDocument::rowOfPosition(int line, int column) const {
    if (line < 0 || line >= m_lines.lineCount()) return 0;
    const LineTable::WrapList& wraps = m_lines.wrapList(line);
    const int firstRow = m_lines.firstRow(line);
    if (wraps.empty()) return firstRow;
    // The last entry is the line's length, which closes the last row rather
    // than opening a new one: a caret there stays at the end of that row.
    auto rowEnds = wraps.size() >= 2 ? wraps.end() - 1 : wraps.end();
    auto after = std::upper_bound(wraps.begin(), rowEnds, column);
    int index = after == wraps.begin() ? 0 : static_cast<int>(after - wraps.begin()) - 1;
    return firstRow + index;
}

LineTable& ITextDocument::lines() { return m_lines; }

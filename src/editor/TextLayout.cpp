#include "editor/TextLayout.h"

#include <algorithm>

namespace {

bool isWordChar(char16_t c) {
    return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') || c == u'_';
}

}  // namespace

TextLayout::TextLayout(ITextDocument& document, veltrix::CharWidthCache& widths) : m_document(document), m_widths(widths) {}

int TextLayout::contentLength(int line) const {
    const std::vector<LineRecord>& lines = m_document.lines();
    const int start = lines[static_cast<std::size_t>(line)].start;
    int end = lines[static_cast<std::size_t>(line) + 1].start;
    const std::u16string& text = m_document.text();
    if (end > start && text[static_cast<std::size_t>(end) - 1] == u'\n') --end;
    if (end > start && text[static_cast<std::size_t>(end) - 1] == u'\r') --end;
    return end - start;
}

void TextLayout::layoutAll() {
    m_widest = 0;
    const int count = m_document.lineCount();
    for (int line = 0; line < count; ++line) wrapLine(line);
    renumber(0);
}

bool TextLayout::relayout(int firstLine, int lastLine) {
    const int count = m_document.lineCount();
    if (count == 0) return false;
    firstLine = std::clamp(firstLine, 0, count - 1);
    lastLine = std::clamp(lastLine, firstLine, count - 1);
    const int before = m_totalRows;
    for (int line = firstLine; line <= lastLine; ++line) wrapLine(line);
    renumber(firstLine);
    return before != m_totalRows;
}

void TextLayout::renumber(int from) {
    std::vector<LineRecord>& lines = m_document.lines();
    if (lines.size() < 2) {
        m_totalRows = 1;
        return;
    }
    const int count = static_cast<int>(lines.size()) - 1;
    from = std::clamp(from, 0, count);
    int row = 0;
    if (from > 0) {
        const LineRecord& previous = lines[static_cast<std::size_t>(from) - 1];
        row = previous.firstRow + previous.rowCount;
    }
    for (int i = from; i < count; ++i) {
        LineRecord& record = lines[static_cast<std::size_t>(i)];
        if (record.rowCount < 1) record.rowCount = 1;
        record.firstRow = row;
        row += record.rowCount;
    }
    LineRecord& closing = lines.back();
    closing.firstRow = row;
    closing.rowCount = 0;
    m_totalRows = row;
}

void TextLayout::wrapLine(int line) {
    LineRecord& record = m_document.lines()[static_cast<std::size_t>(line)];
    const int length = m_document.lines()[static_cast<std::size_t>(line) + 1].start - record.start;
    const int content = contentLength(line);
    const char16_t* text = m_document.text().data() + record.start;
    const int normalSpace = m_widths.width(u' ');
    std::vector<std::int32_t>& wraps = record.wrapList;
    wraps.clear();
    wraps.push_back(0);
    int rowStart = 0;
    int x = 0;
    for (int i = 0; i < content;) {
        const char16_t c = text[i];
        const int next = advance(c, x, normalSpace);
        if (next <= m_wrapWidth || i == rowStart) {
            x = next;
            ++i;
            continue;
        }
        int breakAt = i;
        if (c == u' ') {
            // The overflowing space stays at the end of its row; at the end of
            // the line it simply hangs there.
            breakAt = i + 1;
            if (breakAt >= content) {
                x = next;
                ++i;
                continue;
            }
        } else if (c != u'\t') {
            int wordStart = i;
            while (wordStart > rowStart && isWordChar(text[wordStart - 1])) --wordStart;
            if (wordStart > rowStart && wordStart < i) breakAt = wordStart;
        }
        m_widest = std::max(m_widest, x);
        wraps.push_back(breakAt);
        rowStart = breakAt;
        i = breakAt;
        x = 0;
    }
    m_widest = std::max(m_widest, x);
    wraps.push_back(std::min(length, content + 1));
    record.rowCount = static_cast<std::int32_t>(wraps.size()) - 1;
}

int TextLayout::lineOfRow(int row) const {
    const std::vector<LineRecord>& lines = m_document.lines();
    if (lines.size() < 2) return 0;
    const auto last = lines.end() - 1;  // the closing record is not a line
    auto after = std::upper_bound(lines.begin(), last, row,
                                  [](int value, const LineRecord& record) { return value < record.firstRow; });
    if (after == lines.begin()) return 0;
    return static_cast<int>(after - lines.begin()) - 1;
}

RowSpan TextLayout::rowSpan(int row) const {
    RowSpan span;
    const std::vector<LineRecord>& lines = m_document.lines();
    if (lines.size() < 2) return span;
    span.line = lineOfRow(row);
    const LineRecord& record = lines[static_cast<std::size_t>(span.line)];
    const int content = contentLength(span.line);
    const std::vector<std::int32_t>& wraps = record.wrapList;
    if (wraps.size() < 2) {
        span.start = record.start;
        span.end = record.start + content;
        return span;
    }
    const int rows = static_cast<int>(wraps.size()) - 1;
    span.rowInLine = std::clamp(row - record.firstRow, 0, rows - 1);
    const auto k = static_cast<std::size_t>(span.rowInLine);
    span.start = record.start + std::min<int>(wraps[k], content);
    span.end = record.start + std::min<int>(wraps[k + 1], content);
    span.lastOfLine = span.rowInLine == rows - 1;
    return span;
}

int TextLayout::rowOfPosition(int position) const {
    const int line = m_document.lineOfPosition(position);
    return m_document.rowOfPosition(line, position - m_document.lineStart(line));
}

int TextLayout::spaceWidth(const RowSpan& row) {
    const int normal = m_widths.width(u' ');
    if (!m_justify || row.lastOfLine) return normal;
    const char16_t* text = m_document.text().data();
    int spaces = 0;
    for (int i = row.start; i < row.end; ++i) {
        if (text[i] == u' ' && i != row.end - 1) ++spaces;
    }
    if (spaces == 0) return normal;
    const int width = xOfPosition(row, row.end, normal);
    return std::max(normal, (m_wrapWidth - (width - spaces * normal)) / spaces);
}

int TextLayout::xOfPosition(const RowSpan& row, int position) { return xOfPosition(row, position, spaceWidth(row)); }

int TextLayout::xOfPosition(const RowSpan& row, int position, int spaceWidth) {
    const char16_t* text = m_document.text().data();
    const int end = std::min(position, row.end);
    int x = 0;
    for (int i = row.start; i < end; ++i) x = advance(text[i], x, spaceWidth);
    return x;
}

int TextLayout::positionAtX(const RowSpan& row, int x) {
    const char16_t* text = m_document.text().data();
    const int space = spaceWidth(row);
    int left = 0;
    for (int i = row.start; i < row.end; ++i) {
        const int right = advance(text[i], left, space);
        if (x < left + (right - left + 1) / 2) return i;
        left = right;
    }
    // Past the end of a wrapped row that ends in its hanging space, stay on
    // this row rather than jump to the start of the next one.
    if (!row.lastOfLine && row.end > row.start && text[row.end - 1] == u' ') return row.end - 1;
    return row.end;
}

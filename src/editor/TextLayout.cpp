#include "editor/TextLayout.h"

#include <algorithm>

namespace {

bool isWordChar(char16_t c) { return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') || c == u'_'; }

}  // namespace

TextLayout::TextLayout(ITextDocument& document, veltrix::CharWidthCache& widths)
    : m_document(document), m_widths(widths) {}

int TextLayout::contentLength(int line) const {
    const int start = m_document.lineStart(line);
    int end = m_document.lineStart(line + 1);
    if (end > start && m_document.charAt(end - 1) == u'\n') --end;
    if (end > start && m_document.charAt(end - 1) == u'\r') --end;
    return end - start;
}

void TextLayout::layoutAll() {
    m_widest = 0;
    const int count = m_document.lineCount();
    for (int line = 0; line < count; ++line) wrapLine(line);
    m_frontier = kLaidOut;
}

void TextLayout::startLayout() {
    m_widest = 0;
    m_frontier = 0;
    layOutMore();
}

bool TextLayout::layOutMore() {
    const int count = m_document.lineCount();
    const long long stepEnd = m_frontier < count ? 0LL + m_document.lineStart(m_frontier) + kLayoutStep : 0;
    while (m_frontier < count && m_document.lineStart(m_frontier) < stepEnd) wrapLine(m_frontier++);
    if (m_frontier < count) return true;
    m_frontier = kLaidOut;
    return false;
}

bool TextLayout::layOutRows(int first, int rows) {
    const int count = m_document.lineCount();
    if (count == 0) return false;
    bool changed = false;
    const LineTable& lines = m_document.lines();
    const int end = first + rows;
    for (int line = lineOfRow(first); line < count && lines.firstRow(line) < end; ++line) {
        if (line >= m_frontier) changed |= wrapLine(line);
    }
    return changed;
}

void TextLayout::layOutLines(int firstLine, int lastLine) {
    firstLine = std::max(firstLine, m_frontier);
    if (!layoutPending() || firstLine > lastLine) return;
    eachLine(firstLine, lastLine, [this](int line) { wrapLine(line); });
}

void TextLayout::linesReplaced(int line, int delta) {
    if (m_frontier != kLaidOut && line < m_frontier) m_frontier = std::max(line, m_frontier + delta);
}

bool TextLayout::relayout(int firstLine, int lastLine) {
    return eachLine(firstLine, lastLine, [this](int line) { wrapLine(line); });
}

bool TextLayout::unwrap(int firstLine, int lastLine) {
    return eachLine(firstLine, lastLine, [this](int line) { m_document.lines().setLayout(line, {}); });
}

bool TextLayout::eachLine(int firstLine, int lastLine, const std::function<void(int)>& layLine) {
    const int count = m_document.lineCount();
    if (count == 0) return false;
    firstLine = std::clamp(firstLine, 0, count - 1);
    lastLine = std::clamp(lastLine, firstLine, count - 1);
    const int before = totalRows();
    for (int line = firstLine; line <= lastLine; ++line) layLine(line);
    return before != totalRows();
}

bool TextLayout::wrapLine(int line) {
    const int start = m_document.lineStart(line);
    const int length = m_document.lineStart(line + 1) - start;
    const int content = contentLength(line);
    const std::u16string_view view = m_document.view(start, start + content);
    const char16_t* text = view.data();
    const int normalSpace = m_widths.width(u' ');
    // Most lines are one row: their list is built in a buffer that is kept,
    // and only a wrapped line's list is stored (one allocation).
    LineTable::WrapList& wraps = m_wraps;
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
    LineTable& lines = m_document.lines();
    const bool oneRow = wraps.size() <= 2;
    const LineTable::WrapList& stored = lines.wrapList(line);
    // A line that took over the rows of a removed one has a list that no
    // longer matches its row count: only both alike mean nothing changed.
    const int rows = oneRow ? 1 : static_cast<int>(wraps.size()) - 1;
    if (lines.rowCount(line) == rows && (oneRow ? stored.empty() : stored == wraps)) return false;
    lines.setLayout(line, oneRow ? LineTable::WrapList{} : wraps);
    return true;
}

int TextLayout::lineOfRow(int row) const {
    if (m_document.lineCount() == 0) return 0;
    return m_document.lines().lineOfRow(row);
}

RowSpan TextLayout::rowSpan(int row) const {
    RowSpan span;
    if (m_document.lineCount() == 0) return span;
    const LineTable& lines = m_document.lines();
    span.line = lineOfRow(row);
    const int start = lines.lineStart(span.line);
    const int content = contentLength(span.line);
    const LineTable::WrapList& wraps = lines.wrapList(span.line);
    if (wraps.size() < 2) {
        span.start = start;
        span.end = start + content;
        return span;
    }
    const int rows = static_cast<int>(wraps.size()) - 1;
    span.rowInLine = std::clamp(row - lines.firstRow(span.line), 0, rows - 1);
    const auto k = static_cast<std::size_t>(span.rowInLine);
    span.start = start + std::min<int>(wraps[k], content);
    span.end = start + std::min<int>(wraps[k + 1], content);
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
    const std::u16string_view text = m_document.view(row.start, row.end);
    int spaces = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == u' ' && i + 1 != text.size()) ++spaces;
    }
    if (spaces == 0) return normal;
    const int width = xOfPosition(row, row.end, normal);
    return std::max(normal, (m_wrapWidth - (width - spaces * normal)) / spaces);
}

int TextLayout::xOfPosition(const RowSpan& row, int position) { return xOfPosition(row, position, spaceWidth(row)); }

int TextLayout::xOfPosition(const RowSpan& row, int position, int spaceWidth) {
    const int end = std::min(position, row.end);
    if (end <= row.start) return 0;
    const std::u16string_view text = m_document.view(row.start, end);
    int x = 0;
    for (char16_t c : text) x = advance(c, x, spaceWidth);
    return x;
}

int TextLayout::positionAtX(const RowSpan& row, int x) {
    const int space = spaceWidth(row);
    const std::u16string_view text = m_document.view(row.start, row.end);
    int left = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const int right = advance(text[i], left, space);
        if (x < left + (right - left + 1) / 2) return row.start + static_cast<int>(i);
        left = right;
    }
    // Past the end of a wrapped row that ends in its hanging space, stay on
    // this row rather than jump to the start of the next one.
    if (!row.lastOfLine && !text.empty() && text.back() == u' ') return row.end - 1;
    return row.end;
}

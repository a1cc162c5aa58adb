// The visual rows of one document: word wrap (optionally justified) with the
// rows stored in the document's own line table, and the x arithmetic that
// the caret, hit-testing and painting share.
//
// Invariants: the line table's row numbering is always whole (LineTable);
// after layoutAll() and relayout() the wrapped lines' wrap lists describe the
// line at the current wrap width. After startLayout() that holds for the lines
// before the frontier; the lines from it on keep the rows they had (a layout
// at another width, or one row each) until layOutMore() reaches them, so a
// long document shows its first page without waiting for its last. A line with an empty wrap list is one row;
// unwrap() lays lines out that way, which is right (if not pretty) at any
// width and is what an edit gets while the view is too narrow to wrap.
//
// Wrapping: characters are added up to the wrap width; the character that
// overflows starts a new row, except that a run of ASCII word characters
// ("a".."z", "A".."Z", "_") before it moves to the new row whole when it does
// not fill the row by itself, and a space that overflows stays at the end of
// its row. Everything else (digits, punctuation, Japanese) breaks anywhere.
#pragma once

#include <algorithm>
#include <functional>

#include "editor/ITextDocument.h"
#include "platform/common/CharWidthCache.h"

// One visual row.
struct RowSpan {
    int line = 0;
    int rowInLine = 0;
    // Position of the row's first character.
    int start = 0;
    // Position after its last character; a line break never belongs to a row.
    int end = 0;
    bool lastOfLine = true;
};

enum class Justify { Off, On };

class TextLayout {
public:
    // The wrap width of an editor without word wrap: only absurdly long lines wrap.
    static constexpr int kNoWrapWidth = 99999;

    TextLayout(ITextDocument& document, veltrix::CharWidthCache& widths);

    void setWrapWidth(int width) { m_wrapWidth = width < 1 ? 1 : width; }
    int wrapWidth() const { return m_wrapWidth; }
    void setJustify(Justify justify) { m_justify = justify == Justify::On; }
    bool justify() const { return m_justify; }

    // Wraps every line.
    void layoutAll();
    // Lays every line out again in steps: the first step at once, the rest by
    // layOutMore(). A document shorter than one step is laid out whole here.
    void startLayout();
    // The next step of a started layout (about kLayoutStep characters); true
    // while lines remain.
    bool layOutMore();
    bool layoutPending() const { return m_frontier < m_document.lineCount(); }
    // Wraps, ahead of the frontier, the lines that show `rows` rows from row
    // `first`; true when a row changed.
    bool layOutRows(int first, int rows);
    // Wraps, ahead of the frontier, lines first..last (clamped).
    void layOutLines(int firstLine, int lastLine);
    // An edit replaced lines from `line` on and added delta lines (fewer when
    // negative); the edit lays its own lines out, the frontier keeps its place.
    void linesReplaced(int line, int delta);
    // Wraps lines first..last (clamped to the document); true when the total
    // number of rows changed.
    bool relayout(int firstLine, int lastLine);
    // Lays lines first..last (clamped) out as one row each.
    bool unwrap(int firstLine, int lastLine);

    int totalRows() const { return std::max(1, m_document.lines().totalRows()); }
    // The widest row measured by the last wraps (scroll range without wrap).
    int widestRow() const { return m_widest; }
    // The line that owns a row (clamped to the document).
    int lineOfRow(int row) const;
    RowSpan rowSpan(int row) const;
    int rowOfPosition(int position) const;

    // The width of a space in this row: stretched when the row is justified.
    int spaceWidth(const RowSpan& row);
    // The x of a position inside a row, from the row's left edge; positions
    // past the row's end give the row's width.
    int xOfPosition(const RowSpan& row, int position);
    int xOfPosition(const RowSpan& row, int position, int spaceWidth);
    // The position whose boundary is nearest to x: a point in the right half
    // of a character gives the position after it.
    int positionAtX(const RowSpan& row, int x);
    int rowWidth(const RowSpan& row) { return xOfPosition(row, row.end); }

    // The x after character c that starts at x (TAB stops are counted from
    // the row's left edge).
    int advance(char16_t c, int x, int spaceWidth) {
        if (c == u'\t') return (x / m_widths.tabCell() + 1) * m_widths.tabCell();
        if (c == u' ') return x + spaceWidth;
        return x + m_widths.width(c);
    }

    veltrix::CharWidthCache& widths() { return m_widths; }
    ITextDocument& document() { return m_document; }

    // Characters wrapped per step: a few milliseconds' work.
    static constexpr int kLayoutStep = 1 << 19;

private:
    static constexpr int kLaidOut = 0x7FFFFFFF;  // the frontier of a finished layout

    // Wraps one line; true when its rows changed.
    bool wrapLine(int line);
    // Lays lines first..last (clamped) out with layLine; true when the
    // total number of rows changed.
    bool eachLine(int firstLine, int lastLine, const std::function<void(int)>& layLine);
    // Length of a line without its line break.
    int contentLength(int line) const;

    ITextDocument& m_document;
    veltrix::CharWidthCache& m_widths;
    int m_wrapWidth = kNoWrapWidth;
    bool m_justify = true;
    int m_widest = 0;
    int m_frontier = kLaidOut;    // the first line a started layout has not reached
    LineTable::WrapList m_wraps;  // wrapLine's working list
};

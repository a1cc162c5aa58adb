// The visual rows of one document: word wrap (optionally justified) with the
// rows stored in the document's own line table, and the x arithmetic that
// the caret, hit-testing and painting share.
//
// Invariants after layoutAll() and after every relayout():
//  - every line has rowCount >= 1 and a wrap list [0, s1, ..., closing] with
//    increasing row starts, closed by the line's length counting at most one
//    code unit of its line break;
//  - line i's firstRow is the sum of the row counts of the lines before it;
//    the closing record's firstRow is totalRows().
// A line the layout has not wrapped yet (empty wrap list) counts as one row.
//
// Wrapping: characters are added up to the wrap width; the character that
// overflows starts a new row, except that a run of ASCII word characters
// ("a".."z", "A".."Z", "_") before it moves to the new row whole when it does
// not fill the row by itself, and a space that overflows stays at the end of
// its row. Everything else (digits, punctuation, Japanese) breaks anywhere.
#pragma once

#include "platform/common/CharWidthCache.h"
#include "editor/ITextDocument.h"

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
    // Wraps lines first..last (clamped to the document) and renumbers the rows
    // from there; true when the total number of rows changed.
    bool relayout(int firstLine, int lastLine);
    // Recomputes only the first rows from line `from` on, keeping every line's
    // wrap list (used while the window is too narrow or too wide to wrap).
    void renumber(int from = 0);

    int totalRows() const { return m_totalRows; }
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

private:
    void wrapLine(int line);
    // Length of a line without its line break.
    int contentLength(int line) const;

    ITextDocument& m_document;
    veltrix::CharWidthCache& m_widths;
    int m_wrapWidth = kNoWrapWidth;
    bool m_justify = true;
    int m_totalRows = 1;
    int m_widest = 0;
};

// The text of one editor as its views, the find pane and the link detection
// see it: UTF-16 code units addressed by offsets, with a table of line starts
// (LineTable) that also carries the view's layout of each line.
//
// A line runs from its start up to and including its line break; "\r\n", a
// lone "\r" and a lone "\n" each end a line.
//
// Line table invariants (whenever the table is not empty):
//  - the first record starts at 0 and starts never decrease;
//  - the last record is a closing record whose start equals the text length;
//  - lineCount() == records - 1 >= 1 (an empty text has one empty line);
//  - the length of line i is start(i + 1) - start(i), line break included.
// clearLines() is the one way to empty the table; a document that has been
// cleared that way answers every line query as if it had no lines.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "editor/LineTable.h"

// Whether lineOfPosition compares a position with line starts or a visual
// row with the lines' first rows.
enum class LineLookup { ByPosition, ByRow };

struct LineColumn {
    int line = 0;
    int column = 0;
};

class ITextDocument {
public:
    virtual ~ITextDocument();

    // Replaces the document by the file's text, its encoding recognised.
    // False, and the document unchanged, when the file cannot be read.
    virtual bool load(const std::u16string& path) = 0;
    // Empties the text (one empty line remains).
    virtual void clear() = 0;
    // Empties the line table, leaving the text alone.
    virtual void clearLines();
    // Writes the text to path in the document's encoding; false when nothing
    // could be written, and then the document's path stays.
    virtual bool save(const std::u16string& path) = 0;
    // Replaces the whole text and rebuilds the line table.
    virtual bool setText(std::u16string_view text) = 0;
    // The line table's half of removing [start, end) from the text, called
    // after the text itself changed.
    virtual void removeLines(int start, int end) = 0;
    // The line table's half of inserting text at position, called after the
    // text itself changed.
    virtual void insertLines(int position, std::u16string_view inserted) = 0;
    // Replaces [start, end) by text (clamped to the text) and brings the line
    // table up to date without a rescan. An edit that would make the text
    // longer than 2^31 - 1 code units changes nothing.
    virtual void replace(int start, int end, std::u16string_view text) = 0;
    // Line lineCount() is the closing record and gives the text length, so
    // that lineStart(line + 1) ends every line; 0 when the table is empty or
    // the line does not exist.
    virtual int lineStart(int line) const = 0;
    virtual LineColumn positionToLineColumn(int position) const = 0;
    // The whole text in one string. Costs a move of the text's storage the
    // first time after an edit: the editor's own keystroke, layout and paint
    // paths read through view(), charAt() and textRange() instead.
    virtual const std::u16string& text() const = 0;
    // [start, end) (clamped to the text) as one run, without copying. Valid
    // until the next edit or the next view() or text() of this document.
    virtual std::u16string_view view(int start, int end) const = 0;
    // Empty when the text is empty or start lies past its end; the range is
    // clamped to the text otherwise.
    virtual std::u16string textRange(int start, int end) const = 0;
    // 0 for a position outside the text.
    virtual char16_t charAt(int position) const = 0;
    // Puts lineText(line) into buffer when it is not empty; gives its length.
    virtual int copyLine(int line, std::u16string& buffer) const = 0;
    // The line with its line break; empty for a line that does not exist.
    virtual std::u16string lineText(int line) const = 0;
    // 0 only when the table has been emptied by clearLines().
    virtual int lineCount() const = 0;
    // start(line + 1) - start(line); 0 for a line that does not exist.
    virtual int lineLength(int line) const = 0;
    // The last line whose start (or first row, ByRow) is not greater than the
    // value. ByPosition results are clamped to the last line.
    virtual int lineOfPosition(int position, LineLookup lookup = LineLookup::ByPosition) const = 0;
    // -1 for a position outside the text.
    virtual int lineStartOfPosition(int position) const = 0;
    // -1 when the line does not exist.
    virtual int lineStartIfAny(int line) const = 0;
    // The visual row of a column of a line, from the layout the view stored
    // in the line's record.
    virtual int rowOfPosition(int line, int column) const;
    virtual int length() const = 0;
    // The line table. The view writes the layout; starts belong to the document.
    virtual LineTable& lines();
    const LineTable& lines() const { return m_lines; }

protected:
    LineTable m_lines;
};

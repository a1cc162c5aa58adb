// The text, selection, line table and single-level undo of the edit control,
// with no window behind it.
//
// Invariants: anchor and caret lie in [0, text length] and never split a
// surrogate pair made by the control's own moves; what is typed or pasted
// into a single-line buffer never brings a CR or LF (a text set as a whole is
// kept as it is, and has one line); the text never exceeds the limit through
// an edit (a text set as a whole may, as on Windows). Lines end at CR LF (or a lone LF); the
// break belongs to no line.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace veltrix::platform::controls {

enum class LineMode { Single, Multi };
enum class UndoRecording { Off, On };
enum class EditKind { Typing, Other };

class EditBuffer {
public:
    explicit EditBuffer(LineMode mode = LineMode::Single);

    const std::u16string& text() const { return text_; }
    std::size_t length() const { return text_.size(); }
    LineMode mode() const { return mode_; }
    void setMode(LineMode mode) { mode_ = mode; }

    // Replaces the whole text: selection 0, undo emptied, not modified.
    void setText(std::u16string text);

    std::size_t anchor() const { return anchor_; }
    std::size_t caret() const { return caret_; }
    std::size_t selectionStart() const { return anchor_ < caret_ ? anchor_ : caret_; }
    std::size_t selectionEnd() const { return anchor_ < caret_ ? caret_ : anchor_; }
    bool hasSelection() const { return anchor_ != caret_; }
    std::u16string selectedText() const;
    // Each position is clamped to the length.
    void select(std::size_t anchor, std::size_t caret);
    // Moves the caret; with extend the anchor stays.
    void moveCaret(std::size_t position, bool extend);

    // Replaces the selection with text and puts the caret after it. A single-
    // line buffer keeps only the text's first line. What passes the limit is
    // cut. Returns false when nothing changed (the text and selection stay).
    // Typing right after typing joins the previous undo step.
    bool replaceSelection(std::u16string text, UndoRecording undo, EditKind kind = EditKind::Other);
    // Deletes the character before (backward) or after the caret, or the selection.
    bool deleteBackward();
    bool deleteForward();

    // Single level: undoing twice restores the undone text.
    bool canUndo() const { return undoValid_; }
    bool undo();
    void emptyUndo() {
        undoValid_ = false;
        typingRun_ = false;
    }

    std::size_t limit() const { return limit_; }
    // 0 means as much as the platform allows.
    void setLimit(std::size_t limit);

    bool modified() const { return modified_; }
    void setModified(bool value) { modified_ = value; }

    // Lines ---------------------------------------------------------------------------
    std::size_t lineCount() const;
    // Start of a line; npos when the line does not exist.
    std::size_t lineIndex(std::size_t line) const;
    std::size_t lineLength(std::size_t line) const;
    std::size_t lineFromPosition(std::size_t position) const;
    std::u16string lineText(std::size_t line) const;

    // Words (double click, Ctrl+arrows): a word is a run of one character
    // class (letters and digits, Japanese kana, kanji, spaces, punctuation).
    std::size_t wordStart(std::size_t position) const;
    std::size_t wordEnd(std::size_t position) const;
    std::size_t previousWord(std::size_t position) const;
    std::size_t nextWord(std::size_t position) const;
    // One character left or right, stepping over a surrogate pair and CR LF whole.
    std::size_t previousPosition(std::size_t position) const;
    std::size_t nextPosition(std::size_t position) const;

    static constexpr std::size_t npos = static_cast<std::size_t>(-1);

private:
    struct Snapshot {
        std::u16string text;
        std::size_t anchor = 0;
        std::size_t caret = 0;
    };
    void remember();
    void rebuildLines();

    std::u16string text_;
    LineMode mode_;
    std::size_t anchor_ = 0;
    std::size_t caret_ = 0;
    std::size_t limit_;
    bool modified_ = false;
    Snapshot undo_;
    bool undoValid_ = false;
    bool typingRun_ = false;
    std::size_t typingEnd_ = 0;
    std::vector<std::size_t> lineStarts_;  // always starts with 0
};

}  // namespace veltrix::platform::controls

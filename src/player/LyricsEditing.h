// The sentence list of the open file as the player shows it: the sentence
// table's rows, the lyrics view's text with its timing index, and the
// translation and explanation panes of the current sentence. Every
// operation here keeps the three in step (row i of the table is timing i and
// the i-th sentence of the text), which is what the player and the editing
// commands rely on.
//
// The views are not owned; they must outlive this object. Operations that
// need a selected row do nothing without one.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "lyrics/SentenceGroup.h"
#include "player/LyricsTable.h"
#include "player/LyricsTextEditor.h"

class TextEditor;

// The texts of one row as the sentence dialog shows them.
struct SentenceTexts {
    std::u16string sentence;
    std::u16string translation;
    std::u16string explanation;
};

enum class SentenceEdit { Replace, Insert };
enum class Direction { Backward, Forward };

// Numbers of the sentence table's context menu.
namespace SentenceMenuChoice {
inline constexpr int Add = 1;
inline constexpr int Delete = 2;
inline constexpr int Merge = 3;
inline constexpr int Edit = 4;
inline constexpr int PlaySentence = 9;
inline constexpr int PlusStep = 10;
inline constexpr int MinusStep = 11;
}  // namespace SentenceMenuChoice

class LyricsEditing {
public:
    // Asks the user for a row's texts (the sentence dialog); nothing when cancelled.
    using SentenceAsker = std::function<std::optional<SentenceTexts>(SentenceEdit, const SentenceTexts&)>;

    LyricsEditing(LyricsTable& table, LyricsTextEditor& lyrics, TextEditor& translation, TextEditor& explanation);

    // Loading -------------------------------------------------------------------------------
    // Empties the table (and its document's rows), the text and the index.
    void clearSentences();
    // Shows the table's document: its rows fill the table, its joined text
    // and timings the lyrics view. The view is left unmodified with no undo.
    void showDocument();
    // Brings the document's rows in line with the table and the index (before
    // it is written): the cells' times and texts, in row order.
    void collectDocument();
    // Appends a row with its timing and appends its sentence to the text held
    // back in pending (the view's text is set once, by finishEntries).
    void appendEntry(const SentenceGroup& entry, std::u16string& pending);
    void finishEntries(const std::u16string& pending);
    // Splits plain text into sentences: existing rows keep their times and
    // texts and get the new sentences, missing rows are added untimed and
    // surplus rows removed. The view then holds exactly the given text.
    void setLyricsText(std::u16string_view text);

    // Showing ------------------------------------------------------------------------------
    // Selects sentence index in the lyrics view (its line a quarter down the
    // view) and fills the panes from its row; -1 fills the panes from the last
    // row. Ignored for an index past the timings.
    void showSentence(int index);
    // Clears the table's selection, selects row, scrolls it into view and
    // shows its sentence.
    void selectSentence(int row);

    // Editing -------------------------------------------------------------------------------
    // Start cell and timing together.
    void setStart(int row, std::uint32_t ms);
    // The end-time rule on the End cell.
    void setEnd(int row, std::uint32_t ms);
    // Stamps the first selected row and shows it.
    void setRowStart(std::uint32_t ms);
    void setRowEnd(std::uint32_t ms);
    // Moves every selected row's start by step x 10 ms; a start never goes below 0.
    void shiftStartTimes(int step);
    // The first selected row takes the panes' texts.
    void applyPanesToRow();
    // The row after (before) the first selected one, wrapping around; with
    // nothing selected Forward gives the first row and Backward the last.
    void selectAdjacentSentence(Direction direction);
    // Joins the texts of rows (ascending, at least two) into the first, which
    // keeps its times; the others go.
    void mergeSentences(const std::vector<int>& rows);
    // Removes rows (ascending), from the last to the first.
    void deleteRows(const std::vector<int>& rows);
    // The table's rows were reordered (dragged): the lyrics text and the
    // timing index are built again from the rows in their new order, and
    // the first selected row is shown. The lyrics view's undo steps are
    // dropped with its old text, which they describe.
    void rowsReordered();
    // Replace: row (-1 the last) takes texts. Insert: a new untimed row with
    // texts.sentence goes before row (at the end for -1).
    void applySentenceEdit(int row, SentenceEdit edit, const SentenceTexts& texts);
    // Asks with the asker, then applies; false when cancelled.
    bool editSentenceRow(int row, SentenceEdit edit);

    // The context menu's action for a chosen number; true when the choice
    // asks the player to play the selected sentence.
    bool performMenuChoice(int choice);

    void setSentenceAsker(SentenceAsker asker) { asker_ = std::move(asker); }
    int firstSelected() const;
    int rowCount() const { return table_.getRowCount(); }
    LyricsTable& table() { return table_; }
    const LyricsTable& table() const { return table_; }
    LyricsTextEditor& lyricsView() { return lyrics_; }
    SentenceList& document() { return table_.document(); }

private:
    // Edits that change no text still change what a save would write.
    void markEdited();
    void setPaneText(TextEditor& pane, const std::u16string& text);

    LyricsTable& table_;
    LyricsTextEditor& lyrics_;
    TextEditor& translation_;
    TextEditor& explanation_;
    SentenceAsker asker_;
};

// The undo history of one editor: a flat list of edits with a current index
// and the save point, the index at which the text was last saved. The
// editor's modified state is this history's: modified exactly when current
// is not at the save point.
//
// Invariants: record 0 is an empty placeholder that is never replayed;
// 0 <= current < records; saved is -1 once the saved state can no longer be
// reached, else 0 <= saved < records. Every record describes an edit of the
// text as it stood after the records before it: replaying them in order
// leads from the text at index 0 to the current text exactly.
//
// Edits that are not recorded (EM_REPLACESEL without undo, the player
// filling its panes, an edit while read-only) clear the history: a record
// made before such an edit names positions and texts of a text that no longer
// exists (undoing an insert recorded at 50 after the text shrank to 10 would
// wipe the text), so no record may survive it. forget() does that and keeps
// the modified state as it was, because an unrecorded edit neither sets nor
// clears it: an unmodified text stays the saved state, a modified one can no
// longer be brought back to the saved state by undo.
//
// The history does not touch the text itself: undo() and redo() say which
// replacement the editor has to make (without recording it) and where the
// caret goes, so that the replay runs through the editor's one edit step.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "editor/EditRecord.h"

class EditHistory {
public:
    // Replace [start, end) by text, then put an empty selection at caret.
    struct Replay {
        int start = 0;
        int end = 0;
        std::u16string text;
        int caret = 0;
    };

    EditHistory();

    // Drops every record; the current text counts as saved.
    void reset();
    // Drops every record, keeping modified() as it is (see above).
    void forget();
    // Adds an edit made just now, dropping everything that could be redone.
    void record(EditRecord edit);
    // The replacement that takes the current record back, or nothing when
    // there is nothing to undo.
    std::optional<Replay> undo();
    // The replacement that makes the next record again, or nothing.
    std::optional<Replay> redo();
    bool canUndo() const { return m_current != 0; }
    bool canRedo() const { return m_current + 1 < m_records.size(); }
    // The text was just saved: the current state is the unmodified one.
    void markSaved();
    // The text no longer matches what was saved, whatever undo and redo do
    // (the owner changed something the history does not hold).
    void markUnsaved() { m_saved = kUnreachable; }
    bool modified() const;

    // Records after the placeholder.
    std::size_t size() const { return m_records.size() - 1; }
    std::size_t current() const { return m_current; }

private:
    static constexpr std::ptrdiff_t kUnreachable = -1;

    std::vector<EditRecord> m_records;
    std::size_t m_current = 0;
    std::ptrdiff_t m_saved = 0;
};

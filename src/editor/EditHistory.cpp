#include "editor/EditHistory.h"

namespace {

int lengthOf(const std::u16string& text) { return static_cast<int>(text.size()); }

}  // namespace

EditHistory::EditHistory() { reset(); }

void EditHistory::reset() {
    m_records.clear();
    m_records.emplace_back();
    m_current = 0;
    m_saved = 0;
}

void EditHistory::forget() {
    const bool wasModified = modified();
    m_records.resize(1);
    m_current = 0;
    m_saved = wasModified ? kUnreachable : 0;
}

void EditHistory::record(EditRecord edit) {
    // The saved state lay among the records about to be dropped: no undo or
    // redo can lead back to it any more.
    if (m_saved > static_cast<std::ptrdiff_t>(m_current)) m_saved = kUnreachable;
    m_records.resize(m_current + 1);
    m_records.push_back(std::move(edit));
    ++m_current;
}

std::optional<EditHistory::Replay> EditHistory::undo() {
    if (m_current == 0) return std::nullopt;
    const EditRecord& edit = m_records[m_current];
    Replay replay;
    replay.start = edit.position;
    replay.end = edit.position + lengthOf(edit.newText);
    if (edit.kind == EditRecord::Kind::Replace) replay.text = edit.oldText;
    replay.caret = edit.caretBefore;
    --m_current;
    return replay;
}

std::optional<EditHistory::Replay> EditHistory::redo() {
    if (!canRedo()) return std::nullopt;
    ++m_current;
    const EditRecord& edit = m_records[m_current];
    Replay replay;
    replay.start = edit.position;
    replay.end = edit.kind == EditRecord::Kind::Replace ? edit.position + lengthOf(edit.oldText) : edit.position;
    replay.text = edit.newText;
    replay.caret = edit.position + lengthOf(edit.newText);
    return replay;
}

void EditHistory::markSaved() { m_saved = static_cast<std::ptrdiff_t>(m_current); }

bool EditHistory::modified() const { return m_saved != static_cast<std::ptrdiff_t>(m_current); }

#include "player/BaseLyricsTable.h"

void BaseLyricsTable::clear() {
    removeAllRows();
    document_.clear();
}

void BaseLyricsTable::clearSelection() {
    LVITEMW item{};
    item.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    item.state = 0;
    bool handled = false;
    listViewMessage(LVM_SETITEMSTATE, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&item), handled);
}

void BaseLyricsTable::selectOnly(int row) {
    clearSelection();
    if (row < 0 || row >= getRowCount()) return;
    selectRow(row);
    ensureVisible(row);
    invalidateTable();
}

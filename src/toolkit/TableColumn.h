// One column of a table: its header, geometry, cells, per-row states and the
// colours its cells are drawn with.
//
// Invariants kept by the owning table: every column of a table holds the same
// number of cells; x is the sum of the widths of the columns before it.
#pragma once

#include <string>

#include "platform/win32.h"
#include "toolkit/BlockedSequence.h"
#include "toolkit/RowStateMap.h"
#include "toolkit/TableCell.h"

class TableColumn {
public:
    static constexpr int kDefaultHeaderHeight = 20;

    std::u16string title;
    int x = 0;
    int width = 0;
    int format = 0;  // LVCFMT_*
    int headerHeight = kDefaultHeaderHeight;
    BlockedSequence<TableCell> cells;
    // List-view item states (LVIS_FOCUSED, LVIS_SELECTED, ...).
    RowStateMap states;
    // The state-image bits (LVIS_STATEIMAGEMASK) of check boxes. They live
    // apart from the selection so that clearing a selection keeps the checks.
    RowStateMap checks;
    bool checkBoxes = false;

    COLORREF textColour = 0;
    COLORREF selectedTextColour = 0;
    COLORREF selectedBackground = 0;
    COLORREF selectedFrame = 0;

    int rowCount() const { return static_cast<int>(cells.size()); }
    bool hasRow(int row) const { return row >= 0 && row < rowCount(); }
    void insertCell(int row, TableCell cell);
    void removeCell(int row);
    void clearCells();
};

// Per-row flag words of a table column (list-view item states), kept only for
// rows whose flags are not 0, so that clearing a selection or finding the next
// selected row costs the number of marked rows, not the number of rows.
//
// Invariant: no entry holds the value 0.
#pragma once

#include <map>
#include <vector>

#include "platform/win32.h"

class RowStateMap {
public:
    UINT get(int row) const;
    // Replaces the bits of mask with those of flags.
    void set(int row, UINT flags, UINT mask);
    // Clears the bits of mask in every row.
    void clearBits(UINT mask);
    void clear() { states_.clear(); }
    bool empty() const { return states_.empty(); }

    // The first row after start (start -1: from the top) whose flags contain
    // all of flags; -1 when there is none. flags 0 is not answered here.
    int nextWith(int start, UINT flags) const;
    // Rows whose flags contain all of flags, ascending.
    std::vector<int> rowsWith(UINT flags) const;

    // A row was inserted at row: the rows from there on move down by one.
    void rowInserted(int row);
    // row was removed: its entry goes, the rows after it move up by one.
    void rowRemoved(int row);

private:
    void shiftFrom(int row, int delta);

    std::map<int, UINT> states_;
};

#include "toolkit/TableColumn.h"

void TableColumn::insertCell(int row, TableCell cell) {
    cells.insert(static_cast<std::size_t>(row), std::move(cell));
    states.rowInserted(row);
    checks.rowInserted(row);
}

void TableColumn::removeCell(int row) {
    cells.erase(static_cast<std::size_t>(row));
    states.rowRemoved(row);
    checks.rowRemoved(row);
}

void TableColumn::clearCells() {
    cells.clear();
    states.clear();
    checks.clear();
}

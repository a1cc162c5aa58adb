#include "toolkit/DefaultTableModel.h"

void DefaultTableModel::addTableModelListener(TableModelListener* listener) { listeners_.add(listener); }

void DefaultTableModel::fireTableChanged(const TableModelEvent& event) {
    listeners_.forEach([&](TableModelListener& listener) { listener.tableChanged(event); });
}

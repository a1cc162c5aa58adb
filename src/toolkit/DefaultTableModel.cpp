#include "toolkit/DefaultTableModel.h"

#include <algorithm>

void DefaultTableModel::addTableModelListener(TableModelListener* listener) {
    if (!listener || std::find(listeners_.begin(), listeners_.end(), listener) != listeners_.end()) return;
    listeners_.push_back(listener);
}

void DefaultTableModel::fireTableChanged(const TableModelEvent& event) {
    // A listener may add another while it is called; walk by index.
    for (std::size_t i = 0; i < listeners_.size(); ++i) listeners_[i]->tableChanged(event);
}

// The table's model: it carries the table's change events to the
// TableModelListeners registered with it. It holds no rows (the table's
// columns do) and does not own its listeners; one that ends leaves the model.
#pragma once

#include "toolkit/EventListener.h"
#include "toolkit/EventObject.h"
#include "toolkit/ListenerList.h"

class TableModel {
public:
    virtual ~TableModel() = default;
    virtual void addTableModelListener(TableModelListener* listener) = 0;
    virtual void fireTableChanged(const TableModelEvent& event) = 0;
};

class DefaultTableModel : public TableModel {
public:
    // The change type of every event the table sends (an update).
    static constexpr int kUpdate = 3;

    // A listener is added once; adding it again changes nothing.
    void addTableModelListener(TableModelListener* listener) override;
    // Calls tableChanged on every listener in the order they were added.
    void fireTableChanged(const TableModelEvent& event) override;
    std::size_t listenerCount() const { return listeners_.size(); }

private:
    TypedListenerList<TableModelListener> listeners_;
};

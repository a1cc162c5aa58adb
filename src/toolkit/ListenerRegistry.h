// Per-component lists of listeners keyed by a type name ("EventListener",
// "ChangeListener", "MouseListener", "KeyListener").
//
// Invariants: a listener appears at most once in a list; lists keep
// registration order. The registry does not own its listeners; a listener that
// ends leaves its lists (see ListenerList), so none is called after its end.
#pragma once

#include <map>
#include <string>

#include "toolkit/ListenerList.h"

class ListenerRegistry {
public:
    // Appends the listener unless it is already in that list.
    void addListener(const std::string& typeName, EventListener* listener);
    // Calls handleEvent on every listener of the name in order. A listener that
    // raises std::bad_cast ends the loop; the failure goes no further. True when
    // the list is not empty, whatever the listeners did. Asking for a name that
    // was never used creates its empty list.
    bool fire(const std::string& typeName, const EventObject& event);
    bool hasListeners(const std::string& typeName) const;

private:
    std::map<std::string, ListenerList> lists_;
};

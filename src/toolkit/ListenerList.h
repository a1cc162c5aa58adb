// An ordered list of listeners that a source calls without owning them. The
// link runs both ways: a listener that ends leaves every list that holds it,
// and a list that ends drops its listeners' links to it, so a source never
// calls a dead listener and a listener never reaches a dead source.
//
// Invariants: a listener appears at most once in a list; a listener is in a
// list's entries exactly when the list is among the listener's links. While a
// walk is in progress a leaving listener's entry is emptied instead of erased
// (the walk counts by index), and the empty entries are swept when the
// outermost walk ends. Everything happens on the window's thread.
#pragma once

#include <cstddef>
#include <vector>

#include "toolkit/EventListener.h"

class ListenerList {
public:
    ListenerList() = default;
    ~ListenerList();
    // The listeners point back at the list: it stays where it was made.
    ListenerList(const ListenerList&) = delete;
    ListenerList& operator=(const ListenerList&) = delete;

    // Appends the listener unless it is null or already in the list.
    void add(EventListener* listener);
    // Lets every listener go.
    void clear();
    bool empty() const { return size() == 0; }
    // The listeners still in the list.
    std::size_t size() const;

    // Calls call(listener) for each listener in order, those added meanwhile
    // included; one that leaves before its turn is skipped. An exception from
    // call ends the walk and goes on to the caller.
    template <class Call>
    void forEach(Call&& call) {
        Walk walk(*this);
        for (std::size_t i = 0; i < entries_.size(); ++i)
            if (EventListener* listener = entries_[i]) call(*listener);
    }

private:
    friend class EventListener;

    struct Walk {
        explicit Walk(ListenerList& l) : list(l) { ++list.walking_; }
        ~Walk() {
            if (--list.walking_ == 0) list.sweep();
        }
        ListenerList& list;
    };

    // The listener is ending: its entry goes without touching it further.
    void forget(EventListener* listener);
    void sweep();

    std::vector<EventListener*> entries_;
    int walking_ = 0;
};

// A list that holds listeners of one interface, so that the source calls the
// interface's own operations.
template <class Listener>
class TypedListenerList {
public:
    void add(Listener* listener) { list_.add(listener); }
    // The single-listener slots: the new listener replaces the old one.
    void set(Listener* listener) {
        list_.clear();
        list_.add(listener);
    }
    bool empty() const { return list_.empty(); }
    std::size_t size() const { return list_.size(); }
    template <class Call>
    void forEach(Call&& call) {
        list_.forEach([&](EventListener& listener) { call(static_cast<Listener&>(listener)); });
    }

private:
    ListenerList list_;
};

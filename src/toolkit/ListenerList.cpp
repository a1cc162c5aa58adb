#include "toolkit/ListenerList.h"

#include <algorithm>

EventListener::~EventListener() {
    for (ListenerList* list : lists_) list->forget(this);
}

ListenerList::~ListenerList() { clear(); }

void ListenerList::add(EventListener* listener) {
    if (!listener || std::find(entries_.begin(), entries_.end(), listener) != entries_.end()) return;
    entries_.push_back(listener);
    listener->lists_.push_back(this);
}

void ListenerList::clear() {
    for (EventListener*& listener : entries_) {
        if (!listener) continue;
        auto& links = listener->lists_;
        links.erase(std::find(links.begin(), links.end(), this));
        listener = nullptr;
    }
    if (walking_ == 0) entries_.clear();
}

std::size_t ListenerList::size() const {
    return static_cast<std::size_t>(
        std::count_if(entries_.begin(), entries_.end(), [](auto* l) { return l != nullptr; }));
}

void ListenerList::forget(EventListener* listener) {
    auto it = std::find(entries_.begin(), entries_.end(), listener);
    if (it == entries_.end()) return;
    if (walking_)
        *it = nullptr;
    else
        entries_.erase(it);
}

void ListenerList::sweep() { std::erase(entries_, nullptr); }

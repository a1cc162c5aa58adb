#include "toolkit/ListenerRegistry.h"

#include <typeinfo>

void ListenerRegistry::addListener(const std::string& typeName, EventListener* listener) {
    if (listener) lists_[typeName].add(listener);
}

bool ListenerRegistry::fire(const std::string& typeName, const EventObject& event) {
    ListenerList& list = lists_[typeName];
    // Handled means someone was listening, whatever the listeners then did
    // (ending themselves included).
    const bool handled = !list.empty();
    try {
        list.forEach([&](EventListener& listener) { listener.handleEvent(event); });
    } catch (const std::bad_cast&) {}
    return handled;
}

bool ListenerRegistry::hasListeners(const std::string& typeName) const {
    auto it = lists_.find(typeName);
    return it != lists_.end() && !it->second.empty();
}

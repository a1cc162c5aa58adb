#include "toolkit/ListenerRegistry.h"

#include <algorithm>
#include <typeinfo>

void ListenerRegistry::addListener(const std::string& typeName, EventListener* listener) {
    if (!listener) return;
    auto& list = lists_[typeName];
    if (std::find(list.begin(), list.end(), listener) == list.end()) list.push_back(listener);
}

bool ListenerRegistry::fire(const std::string& typeName, const EventObject& event) {
    auto& list = lists_[typeName];
    // A listener may register further listeners while it runs; index rather
    // than iterate so that growth does not invalidate the walk.
    for (std::size_t i = 0; i < list.size(); ++i) {
        try {
            list[i]->handleEvent(event);
        } catch (const std::bad_cast&) {
            break;
        }
    }
    return !list.empty();
}

bool ListenerRegistry::hasListeners(const std::string& typeName) const {
    auto it = lists_.find(typeName);
    return it != lists_.end() && !it->second.empty();
}

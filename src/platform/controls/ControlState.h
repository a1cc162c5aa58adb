// Per-window state of the layer's own controls, keyed by handle.
//
// Windows belong to the thread that created them and their procedures run on
// that thread only, so each thread keeps its own table and needs no lock. The
// table owns the state; a procedure holds a shared reference for the length of
// one message, so a window destroyed from inside a notification (the parent
// may destroy it while handling WM_COMMAND) never frees state still in use.
#pragma once

#include <memory>
#include <unordered_map>

#include "platform/win32.h"

namespace veltrix::platform::controls {

template <class State>
class ControlStates {
public:
    static std::shared_ptr<State> find(HWND window) {
        auto& t = table();
        auto it = t.find(window);
        return it == t.end() ? nullptr : it->second;
    }
    static std::shared_ptr<State> create(HWND window) {
        auto state = std::make_shared<State>();
        table()[window] = state;
        return state;
    }
    static void destroy(HWND window) { table().erase(window); }

private:
    static std::unordered_map<HWND, std::shared_ptr<State>>& table() {
        thread_local std::unordered_map<HWND, std::shared_ptr<State>> states;
        return states;
    }
};

}  // namespace veltrix::platform::controls

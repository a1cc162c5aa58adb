#include "toolkit/RowStateMap.h"

UINT RowStateMap::get(int row) const {
    const auto it = states_.find(row);
    return it == states_.end() ? 0 : it->second;
}

void RowStateMap::set(int row, UINT flags, UINT mask) {
    const UINT value = (get(row) & ~mask) | (flags & mask);
    if (value == 0)
        states_.erase(row);
    else
        states_[row] = value;
}

void RowStateMap::clearBits(UINT mask) {
    for (auto it = states_.begin(); it != states_.end();) {
        it->second &= ~mask;
        if (it->second == 0)
            it = states_.erase(it);
        else
            ++it;
    }
}

int RowStateMap::nextWith(int start, UINT flags) const {
    for (auto it = states_.upper_bound(start); it != states_.end(); ++it)
        if ((it->second & flags) == flags) return it->first;
    return -1;
}

std::vector<int> RowStateMap::rowsWith(UINT flags) const {
    std::vector<int> rows;
    for (const auto& [row, value] : states_)
        if ((value & flags) == flags) rows.push_back(row);
    return rows;
}

void RowStateMap::rowInserted(int row) { shiftFrom(row, +1); }

void RowStateMap::rowRemoved(int row) {
    states_.erase(row);
    shiftFrom(row + 1, -1);
}

void RowStateMap::shiftFrom(int row, int delta) {
    // Take the moving entries out first so that no key collides on the way.
    std::vector<decltype(states_)::node_type> moving;
    for (auto it = states_.lower_bound(row); it != states_.end();) moving.push_back(states_.extract(it++));
    for (auto& node : moving) {
        node.key() += delta;
        states_.insert(std::move(node));
    }
}

#include "platform/services/KernelObjects.h"

#include <cstdint>
#include <mutex>
#include <vector>

namespace platform {

namespace {

struct Slot {
    std::unique_ptr<KernelObject> object;
    std::uint32_t generation = 1;
};

std::mutex& lock() {
    static std::mutex m;
    return m;
}

std::vector<Slot>& slots() {
    static std::vector<Slot> table;
    return table;
}

// Slot index and generation in one pointer-sized value; never 0 nor -1.
HANDLE encode(std::size_t index, std::uint32_t generation) {
    auto value = (static_cast<std::uint64_t>(generation) << 32) | (static_cast<std::uint64_t>(index + 1) << 2);
    return reinterpret_cast<HANDLE>(static_cast<std::uintptr_t>(value));
}

Slot* decode(HANDLE handle) {
    auto value = static_cast<std::uint64_t>(reinterpret_cast<std::uintptr_t>(handle));
    std::size_t index = static_cast<std::size_t>((value & 0xFFFFFFFFu) >> 2);
    auto generation = static_cast<std::uint32_t>(value >> 32);
    if (index == 0 || index > slots().size()) return nullptr;
    Slot& slot = slots()[index - 1];
    return (slot.object && slot.generation == generation) ? &slot : nullptr;
}

}  // namespace

HANDLE KernelObjects::add(std::unique_ptr<KernelObject> object) {
    std::lock_guard guard(lock());
    auto& table = slots();
    for (std::size_t i = 0; i < table.size(); ++i) {
        if (!table[i].object) {
            table[i].object = std::move(object);
            return encode(i, table[i].generation);
        }
    }
    table.push_back(Slot{std::move(object), 1});
    return encode(table.size() - 1, 1);
}

KernelObject* KernelObjects::find(HANDLE handle) {
    std::lock_guard guard(lock());
    Slot* slot = decode(handle);
    return slot ? slot->object.get() : nullptr;
}

bool KernelObjects::close(HANDLE handle) {
    std::unique_ptr<KernelObject> doomed;
    {
        std::lock_guard guard(lock());
        Slot* slot = decode(handle);
        if (!slot) return false;
        doomed = std::move(slot->object);
        ++slot->generation;
    }
    return true;  // the object is destroyed outside the lock
}

}  // namespace platform

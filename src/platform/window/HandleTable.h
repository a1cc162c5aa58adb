// A table of objects reached through opaque handles that carry a generation
// and the table's kind.
// Invariants: a handle is valid only while its slot holds an object of the same
// generation; freeing a slot bumps the generation, so a handle that outlives its
// object is detected as stale instead of reaching another object. A table finds
// only handles of its own kind, so a handle of one kind (a DC) passed where
// another is expected (DeleteObject) reaches nothing.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

namespace veltrix::platform {

// One per table, so that no two tables hand out the same value.
enum class HandleKind : std::uint8_t {
    Window,
    GdiObject,
    DeviceContext,
    Menu,
    ImageList,
    Accelerators,
    Drop,
    ClipboardBlock,
};

template <typename T>
class HandleTable {
public:
    // Handle values: bits 0..23 the slot index + 1, bits 24..47 the generation,
    // bits 48..55 the kind. They are never 0 and never small (stock handles and
    // HWND_BOTTOM are).
    using Value = std::uintptr_t;

    explicit HandleTable(HandleKind kind) : kind_(static_cast<std::uint8_t>(kind)) {}

    Value add(std::unique_ptr<T> object) {
        std::size_t index;
        if (!free_.empty()) {
            index = free_.back();
            free_.pop_back();
        } else {
            index = slots_.size();
            slots_.push_back({});
        }
        Slot& slot = slots_[index];
        slot.object = std::move(object);
        return encode(index, slot.generation);
    }

    T* find(Value handle) const {
        std::size_t index = 0;
        std::uint32_t generation = 0;
        if (!decode(handle, index, generation)) return nullptr;
        const Slot& slot = slots_[index];
        return slot.generation == generation ? slot.object.get() : nullptr;
    }

    // Returns the object so the caller can end it outside any lock it holds.
    std::unique_ptr<T> remove(Value handle) {
        std::size_t index = 0;
        std::uint32_t generation = 0;
        if (!decode(handle, index, generation) || slots_[index].generation != generation) return nullptr;
        Slot& slot = slots_[index];
        std::unique_ptr<T> object = std::move(slot.object);
        slot.generation = (slot.generation + 1) & kGenerationMask;
        if (slot.generation == 0) slot.generation = 1;
        free_.push_back(index);
        return object;
    }

    template <typename F>
    void forEach(F&& f) const {
        for (const Slot& slot : slots_)
            if (slot.object) f(*slot.object);
    }

private:
    static constexpr std::uint32_t kGenerationMask = 0xFFFFFF;
    struct Slot {
        std::unique_ptr<T> object;
        std::uint32_t generation = 1;
    };

    Value encode(std::size_t index, std::uint32_t generation) const {
        return (static_cast<Value>(kind_) << 48) | (static_cast<Value>(generation) << 24) |
               static_cast<Value>(index + 1);
    }
    bool decode(Value handle, std::size_t& index, std::uint32_t& generation) const {
        std::size_t slot = handle & 0xFFFFFF;
        generation = static_cast<std::uint32_t>((handle >> 24) & kGenerationMask);
        if (slot == 0 || slot > slots_.size() || (handle >> 48) != kind_) return false;
        index = slot - 1;
        return slots_[index].object != nullptr;
    }

    std::uint8_t kind_;
    std::vector<Slot> slots_;
    std::vector<std::size_t> free_;
};

}  // namespace veltrix::platform

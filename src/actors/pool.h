#pragma once
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <new>

// Fixed-size storage for the objects a world makes while it runs (actors, labels, scrollers).
// A world is copied, compared and hashed byte for byte, so its objects live inside it: a
// free slot is all zero bytes and a new object always takes the lowest free slot, which
// makes the same game lay out its objects the same way on every machine.
template <typename T, int N>
struct Pool {
    static constexpr int capacity = N;

    alignas(T) unsigned char storage[N][sizeof(T)];
    uint8_t used[N];
    int32_t count;
    int32_t highWater;  // one past the highest slot ever used since the last reset

    // Zeroed memory for a new object, or null when every slot is taken.
    void* allocate() {
        for (int i = 0; i < N; ++i) {
            if (used[i]) continue;
            used[i] = 1;
            ++count;
            if (i >= highWater) highWater = i + 1;
            return storage[i];
        }
        return nullptr;
    }
    void release(void* object) {
        int i = slotOf(static_cast<const T*>(object));
        if (i < 0 || !used[i]) return;
        std::memset(storage[i], 0, sizeof(T));
        used[i] = 0;
        --count;
    }
    int slotOf(const T* object) const {
        const auto* bytes = reinterpret_cast<const unsigned char*>(object);
        if (bytes < storage[0] || bytes >= storage[0] + sizeof storage) return -1;
        return static_cast<int>((bytes - storage[0]) / sizeof(T));
    }
    T* at(int slot) { return std::launder(reinterpret_cast<T*>(storage[slot])); }
    const T* at(int slot) const { return std::launder(reinterpret_cast<const T*>(storage[slot])); }
};

// How a world's objects refer to each other: by slot, not by address, so a copied world
// refers to its own objects and two machines holding the same game hold the same bytes.
// Converts to and from a plain pointer to the object in the world in play. Each pooled type
// declares `int poolSlotOf(const T*)` and `T* poolObjectAt(int slot, T* tag)` before it is
// defined, and defines them beside its pool.
template <typename T>
class PoolRef {
public:
    PoolRef() = default;
    PoolRef(std::nullptr_t) {}
    PoolRef(T* object)
        : slot_(static_cast<uint16_t>(object != nullptr ? poolSlotOf(object) + 1 : 0)) {}
    operator T*() const {
        return slot_ != 0 ? poolObjectAt(slot_ - 1, static_cast<T*>(nullptr)) : nullptr;
    }
    T* operator->() const { return poolObjectAt(slot_ - 1, static_cast<T*>(nullptr)); }
    T* get() const { return *this; }

private:
    uint16_t slot_ = 0;
};

#pragma once
// The allocations the simulated client hands to the plugin (strings, id lists), counted so
// that tests can prove each one comes back through freeMemory exactly once. A pointer the
// client never handed out, or one already returned, is recorded as a fault and left alone,
// as the real client would at best ignore it.

#include <cstddef>
#include <mutex>
#include <string>
#include <string_view>
#include <unordered_map>
#include <unordered_set>
#include <vector>

namespace Tralvonic::Sim {

class HostMemory {
public:
    HostMemory() = default;
    HostMemory(const HostMemory&) = delete;
    HostMemory& operator=(const HostMemory&) = delete;
    // Releases what the plugin never returned; the leak stays visible in the counters
    // until then.
    ~HostMemory();

    void* Allocate(std::size_t bytes);
    // A NUL-terminated copy of `text`.
    char* AllocateString(std::string_view text);
    template <typename T> T* AllocateZeroTerminated(const std::vector<T>& values);

    // True when `pointer` was an outstanding block and is now released. A null pointer is
    // accepted and ignored, like free(NULL).
    bool Free(void* pointer);

    std::size_t OutstandingBlocks() const;
    std::size_t BlocksHandedOut() const;
    std::size_t BlocksFreed() const;
    std::size_t DoubleFrees() const;
    std::size_t UnknownFrees() const;
    bool IsOutstanding(const void* pointer) const;

private:
    mutable std::mutex _mutex;
    std::unordered_set<const void*> _outstanding; // guarded by _mutex
    std::unordered_set<const void*> _released;    // guarded by _mutex; until the address is reused
    std::size_t _handedOut = 0;                   // guarded by _mutex
    std::size_t _freed = 0;                       // guarded by _mutex
    std::size_t _doubleFrees = 0;                 // guarded by _mutex
    std::size_t _unknownFrees = 0;                // guarded by _mutex
};

template <typename T> T* HostMemory::AllocateZeroTerminated(const std::vector<T>& values) {
    auto* list = static_cast<T*>(Allocate((values.size() + 1) * sizeof(T)));
    for (std::size_t i = 0; i < values.size(); ++i) {
        list[i] = values[i];
    }
    list[values.size()] = T{};
    return list;
}

} // namespace Tralvonic::Sim

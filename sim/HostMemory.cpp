#include "HostMemory.h"

#include <cstdlib>
#include <cstring>
#include <new>

namespace Tralvonic::Sim {

HostMemory::~HostMemory() {
    for (const void* block : _outstanding) {
        std::free(const_cast<void*>(block));
    }
}

void* HostMemory::Allocate(std::size_t bytes) {
    void* block = std::malloc(bytes == 0 ? 1 : bytes);
    if (block == nullptr) {
        throw std::bad_alloc();
    }
    std::lock_guard lock(_mutex);
    _released.erase(block);
    _outstanding.insert(block);
    ++_handedOut;
    return block;
}

char* HostMemory::AllocateString(std::string_view text) {
    auto* copy = static_cast<char*>(Allocate(text.size() + 1));
    std::memcpy(copy, text.data(), text.size());
    copy[text.size()] = '\0';
    return copy;
}

bool HostMemory::Free(void* pointer) {
    if (pointer == nullptr) {
        return true;
    }
    {
        std::lock_guard lock(_mutex);
        if (_outstanding.erase(pointer) == 0) {
            ++(_released.contains(pointer) ? _doubleFrees : _unknownFrees);
            return false;
        }
        _released.insert(pointer);
        ++_freed;
    }
    std::free(pointer);
    return true;
}

std::size_t HostMemory::OutstandingBlocks() const {
    std::lock_guard lock(_mutex);
    return _outstanding.size();
}

std::size_t HostMemory::BlocksHandedOut() const {
    std::lock_guard lock(_mutex);
    return _handedOut;
}

std::size_t HostMemory::BlocksFreed() const {
    std::lock_guard lock(_mutex);
    return _freed;
}

std::size_t HostMemory::DoubleFrees() const {
    std::lock_guard lock(_mutex);
    return _doubleFrees;
}

std::size_t HostMemory::UnknownFrees() const {
    std::lock_guard lock(_mutex);
    return _unknownFrees;
}

bool HostMemory::IsOutstanding(const void* pointer) const {
    std::lock_guard lock(_mutex);
    return _outstanding.contains(pointer);
}

} // namespace Tralvonic::Sim

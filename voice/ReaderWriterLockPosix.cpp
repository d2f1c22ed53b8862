#include "ReaderWriterLock.h"

#include <shared_mutex>

namespace Tralvonic::Voice {

struct ReaderWriterLock::Native {
    std::shared_mutex Mutex;
};

ReaderWriterLock::ReaderWriterLock() : _native(std::make_unique<Native>()) {}

ReaderWriterLock::~ReaderWriterLock() = default;

void ReaderWriterLock::lock() {
    _native->Mutex.lock();
}

void ReaderWriterLock::unlock() {
    _native->Mutex.unlock();
}

void ReaderWriterLock::lock_shared() {
    _native->Mutex.lock_shared();
}

void ReaderWriterLock::unlock_shared() {
    _native->Mutex.unlock_shared();
}

} // namespace Tralvonic::Voice

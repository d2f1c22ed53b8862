#include "ReaderWriterLock.h"

#include <windows.h>

namespace Tralvonic::Voice {

struct ReaderWriterLock::Native {
    SRWLOCK Lock = SRWLOCK_INIT;
};

ReaderWriterLock::ReaderWriterLock() : _native(std::make_unique<Native>()) {}

ReaderWriterLock::~ReaderWriterLock() = default;

void ReaderWriterLock::lock() {
    AcquireSRWLockExclusive(&_native->Lock);
}

void ReaderWriterLock::unlock() {
    ReleaseSRWLockExclusive(&_native->Lock);
}

void ReaderWriterLock::lock_shared() {
    AcquireSRWLockShared(&_native->Lock);
}

void ReaderWriterLock::unlock_shared() {
    ReleaseSRWLockShared(&_native->Lock);
}

} // namespace Tralvonic::Voice

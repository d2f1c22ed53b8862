#pragma once
// The lock of the player registry: audio threads share it while they work on a player's
// memory, a game-command thread takes it alone to link or unlink a player.
//
// Not std::shared_mutex on Windows: MinGW builds that on a winpthreads rwlock that sets
// itself up on its first use, and threads that meet on that first use can end up on different
// locks for good, so a writer got in beside readers and a removed player was freed under an
// audio thread's block (seen under Wine as a thread spinning forever on freed memory).
// Windows gets its slim reader-writer lock, which needs no setting up and cannot fail; Linux
// keeps the C++ library's.

#include <memory>

namespace Tralvonic::Voice {

class ReaderWriterLock {
public:
    ReaderWriterLock();
    ~ReaderWriterLock();
    ReaderWriterLock(const ReaderWriterLock&) = delete;
    ReaderWriterLock& operator=(const ReaderWriterLock&) = delete;

    // The names std::unique_lock and std::shared_lock call.
    void lock();
    void unlock();
    void lock_shared();
    void unlock_shared();

private:
    struct Native;
    std::unique_ptr<Native> _native;
};

} // namespace Tralvonic::Voice

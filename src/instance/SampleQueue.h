#pragma once
// A bounded first-in-first-out queue of 16-bit samples between the host's audio callbacks.
// Storage for two seconds of 48 kHz stereo is installed once, off the audio path, before a
// producer is told to use the queue; after that nothing allocates. A producer pads and
// appends one block under the queue's mutex, so that no block is split; beyond the capacity
// the oldest whole frames are dropped, so a stream whose consumer stopped cannot grow.
// Consumers take samples without the mutex and never wait.

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <mutex>
#include <span>

namespace Tralvonic {

class SampleQueue {
public:
    static constexpr std::size_t CapacitySamples = 2 * 48000 * 2;

    SampleQueue() = default;
    SampleQueue(const SampleQueue&) = delete;
    SampleQueue& operator=(const SampleQueue&) = delete;

    // Not on the audio path: installs the storage; later calls do nothing.
    void Reserve();
    bool HasStorage() const { return _data.load(std::memory_order_acquire) != nullptr; }

    // Producer: first appends frames of `frameWidth` zeros while the queue holds fewer than
    // `padTo` samples, then `block`. Without storage nothing is appended.
    void Append(std::span<const std::int16_t> block, std::size_t padTo, std::size_t frameWidth);
    // Producer: appends frames of zeros until the queue holds at least `padTo` samples.
    void Pad(std::size_t padTo, std::size_t frameWidth);
    // Producer: appends `samples` zeros, rounded up to whole frames.
    void AppendSilence(std::size_t samples, std::size_t frameWidth);

    std::size_t Size() const;
    bool Empty() const { return Size() == 0; }

    // Consumer: moves up to out.size() samples, whole frames of `frameWidth` only, into `out`
    // and answers how many.
    std::size_t Dequeue(std::span<std::int16_t> out, std::size_t frameWidth);
    // Consumer: the sample `index` places behind the head, without removing it; 0 past the end.
    std::int16_t Peek(std::size_t index) const;
    // Drops everything queued.
    void Clear();

private:
    void AppendLocked(std::span<const std::int16_t> block, std::size_t padSamples, std::size_t frameWidth);

    std::mutex _producerMutex;
    std::unique_ptr<std::atomic<std::int16_t>[]> _storage; // installed once under _producerMutex
    std::atomic<std::atomic<std::int16_t>*> _data{nullptr};
    // Positions since the start, never wrapped: a sample lives at position % CapacitySamples.
    std::atomic<std::uint64_t> _read{0};
    std::atomic<std::uint64_t> _write{0};
};

} // namespace Tralvonic

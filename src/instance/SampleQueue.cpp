#include "instance/SampleQueue.h"

#include <algorithm>

namespace Tralvonic {

namespace {

constexpr std::size_t Capacity = SampleQueue::CapacitySamples;

std::size_t RoundUp(std::size_t count, std::size_t frameWidth) {
    return (count + frameWidth - 1) / frameWidth * frameWidth;
}

std::size_t Slot(std::uint64_t position) {
    return static_cast<std::size_t>(position % Capacity);
}

// How many zeros bring `size` queued samples up to `padTo`, in whole frames, leaving room
// for `blockSamples` more.
std::size_t PadSamples(std::size_t size, std::size_t padTo, std::size_t blockSamples,
                       std::size_t frameWidth) {
    if (size >= padTo) {
        return 0;
    }
    const std::size_t room = Capacity > blockSamples ? Capacity - blockSamples : 0;
    const std::size_t pad = RoundUp(padTo - size, frameWidth);
    return std::min(pad, room - room % frameWidth);
}

} // namespace

void SampleQueue::Reserve() {
    std::lock_guard lock(_producerMutex);
    if (_storage) {
        return;
    }
    _storage = std::make_unique<std::atomic<std::int16_t>[]>(Capacity);
    _data.store(_storage.get(), std::memory_order_release);
}

void SampleQueue::Append(std::span<const std::int16_t> block, std::size_t padTo, std::size_t frameWidth) {
    frameWidth = std::max<std::size_t>(frameWidth, 1);
    if (block.size() > Capacity) {
        // Only the newest part of an oversized block fits.
        block = block.last(Capacity - Capacity % frameWidth);
    }
    std::lock_guard lock(_producerMutex);
    AppendLocked(block, PadSamples(Size(), padTo, block.size(), frameWidth), frameWidth);
}

void SampleQueue::Pad(std::size_t padTo, std::size_t frameWidth) {
    frameWidth = std::max<std::size_t>(frameWidth, 1);
    std::lock_guard lock(_producerMutex);
    AppendLocked({}, PadSamples(Size(), padTo, 0, frameWidth), frameWidth);
}

void SampleQueue::AppendSilence(std::size_t samples, std::size_t frameWidth) {
    frameWidth = std::max<std::size_t>(frameWidth, 1);
    const std::size_t room = Capacity - Capacity % frameWidth;
    std::lock_guard lock(_producerMutex);
    AppendLocked({}, std::min(RoundUp(samples, frameWidth), room), frameWidth);
}

void SampleQueue::AppendLocked(std::span<const std::int16_t> block, std::size_t padSamples,
                               std::size_t frameWidth) {
    std::atomic<std::int16_t>* data = _data.load(std::memory_order_acquire);
    const std::size_t count = padSamples + block.size();
    if (data == nullptr || count == 0) {
        return;
    }
    const std::uint64_t write = _write.load(std::memory_order_relaxed);
    // Make room by dropping the oldest whole frames. A consumer may be taking samples at the
    // same time; whoever moves the head first wins and the other sees it moved.
    std::uint64_t read = _read.load(std::memory_order_acquire);
    while (write + count - read > Capacity) {
        const std::uint64_t excess = write + count - Capacity - read;
        const std::uint64_t drop = std::min<std::uint64_t>(RoundUp(excess, frameWidth), write - read);
        if (_read.compare_exchange_weak(read, read + drop, std::memory_order_acq_rel,
                                        std::memory_order_acquire)) {
            break;
        }
    }
    std::uint64_t position = write;
    for (std::size_t i = 0; i < padSamples; ++i, ++position) {
        data[Slot(position)].store(0, std::memory_order_relaxed);
    }
    for (const std::int16_t sample : block) {
        data[Slot(position++)].store(sample, std::memory_order_relaxed);
    }
    _write.store(position, std::memory_order_release);
}

std::size_t SampleQueue::Size() const {
    // The head is read first: the tail only grows, so the difference is never negative.
    const std::uint64_t read = _read.load(std::memory_order_acquire);
    const std::uint64_t write = _write.load(std::memory_order_acquire);
    return static_cast<std::size_t>(write - read);
}

std::size_t SampleQueue::Dequeue(std::span<std::int16_t> out, std::size_t frameWidth) {
    frameWidth = std::max<std::size_t>(frameWidth, 1);
    const std::atomic<std::int16_t>* data = _data.load(std::memory_order_acquire);
    if (data == nullptr) {
        return 0;
    }
    std::uint64_t read = _read.load(std::memory_order_acquire);
    while (true) {
        const std::uint64_t write = _write.load(std::memory_order_acquire);
        std::size_t count = std::min<std::size_t>(out.size(), static_cast<std::size_t>(write - read));
        count -= count % frameWidth;
        for (std::size_t i = 0; i < count; ++i) {
            out[i] = data[Slot(read + i)].load(std::memory_order_relaxed);
        }
        // A producer that dropped these samples meanwhile moved the head: take them again.
        if (_read.compare_exchange_weak(read, read + count, std::memory_order_acq_rel,
                                        std::memory_order_acquire)) {
            return count;
        }
    }
}

std::int16_t SampleQueue::Peek(std::size_t index) const {
    const std::atomic<std::int16_t>* data = _data.load(std::memory_order_acquire);
    const std::uint64_t read = _read.load(std::memory_order_acquire);
    const std::uint64_t write = _write.load(std::memory_order_acquire);
    if (data == nullptr || index >= write - read) {
        return 0;
    }
    return data[Slot(read + index)].load(std::memory_order_relaxed);
}

void SampleQueue::Clear() {
    std::lock_guard lock(_producerMutex);
    const std::uint64_t write = _write.load(std::memory_order_relaxed);
    std::uint64_t read = _read.load(std::memory_order_acquire);
    while (read < write &&
           !_read.compare_exchange_weak(read, write, std::memory_order_acq_rel, std::memory_order_acquire)) {
    }
}

} // namespace Tralvonic

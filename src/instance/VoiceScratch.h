#pragma once
// Working buffers of the voice callbacks, one set per audio thread. A buffer grows to the
// largest block it has seen and keeps that size, so only the first blocks allocate; the
// buffers are freed when the thread ends, never inside a callback.

#include "core/PerThread.h"

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace Tralvonic {

struct VoiceScratch {
    // The host's blocks are 20 ms; anything beyond a second of 8 channels is refused.
    static constexpr std::size_t MaxBlockSamples = 48000 * 8;

    std::vector<std::int16_t> Work;
    std::vector<std::int16_t> Copy;
    std::vector<std::int16_t> Stereo;
    std::vector<std::int16_t> Relay;
    std::vector<std::int16_t> Downmix;
    std::vector<std::int16_t> Echo;
    std::vector<std::int16_t> Replay;

    static VoiceScratch& ForThisThread() {
        static PerThread<VoiceScratch> scratches;
        return scratches.Get();
    }

    // The first `count` samples of `buffer`, as they were left.
    static std::span<std::int16_t> Take(std::vector<std::int16_t>& buffer, std::size_t count) {
        if (buffer.size() < count) {
            buffer.resize(count);
        }
        return std::span(buffer).first(count);
    }
};

// A block the callbacks can work on: present, not empty, not absurdly large.
inline bool IsWorkableBlock(const short* samples, int sampleCount, int channels) {
    return samples != nullptr && sampleCount > 0 && channels > 0 &&
           static_cast<std::size_t>(sampleCount) * static_cast<std::size_t>(channels) <=
               VoiceScratch::MaxBlockSamples;
}

inline std::size_t BlockSamples(int sampleCount, int channels) {
    return static_cast<std::size_t>(sampleCount) * static_cast<std::size_t>(channels);
}

} // namespace Tralvonic

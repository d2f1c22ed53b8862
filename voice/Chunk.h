#pragma once
// The loop every effect shares. A block of interleaved 16-bit samples is worked on in chunks
// of at most ChunkFrames frames on the stack: each chunk is spread into lanes (four channels
// to a group, floats scaled to -1..1), the effect renders the groups, and the chunk goes back
// through the output gain, saturated to 16 bits and truncated toward zero. Channels past
// MaxChannels have no lanes and get the gain only. Nothing is allocated.

#include "DenormalGuard.h"
#include "Lanes.h"
#include "Ramp.h"
#include "Sample.h"

#include <algorithm>
#include <array>
#include <cstdint>

namespace Tralvonic::Voice {

constexpr std::int32_t ChunkFrames = 256;
constexpr std::int32_t MaxGroups = MaxChannels / LaneCount;
// A changed volume is reached over this many frames (one host block, 20 ms).
constexpr std::int32_t GainRampFrames = 960;

struct Chunk {
    std::array<std::array<Lanes, ChunkFrames>, MaxGroups> Groups;
};

inline std::int32_t GroupsFor(std::int32_t channels) noexcept {
    return (std::min(channels, MaxChannels) + LaneCount - 1) / LaneCount;
}

// `frames` frames of `channels` channels into the chunk's lanes; lanes without a channel are 0.
void LoadChunk(const std::int16_t* samples, std::int32_t frames, std::int32_t channels,
               Chunk& chunk) noexcept;

// The chunk back into the samples through the gain, which stands `gain.Position()` frames
// into its ramp at the chunk's first frame.
void StoreChunk(const Chunk& chunk, std::int16_t* samples, std::int32_t frames, std::int32_t channels,
                const Ramp& gain) noexcept;

// Runs one block: `framesUntilChange()` bounds a chunk to the frames over which the effect's
// parameters hold still, `render(chunk, frames, groups)` does the effect's work on it.
template <typename Limit, typename Render>
void ProcessInChunks(std::int16_t* samples, std::int32_t frames, std::int32_t channels, Ramp& gain,
                     float volume, Limit&& framesUntilChange, Render&& render) noexcept {
    const DenormalGuard guard;
    gain.SetTarget(volume);
    const std::int32_t groups = GroupsFor(channels);
    Chunk chunk;
    for (std::int32_t done = 0; done < frames;) {
        const std::int32_t count = std::min({frames - done, ChunkFrames, framesUntilChange()});
        std::int16_t* at = samples + static_cast<std::ptrdiff_t>(done) * channels;
        LoadChunk(at, count, channels, chunk);
        render(chunk, count, groups);
        StoreChunk(chunk, at, count, channels, gain);
        gain.Advance(count);
        done += count;
    }
}

} // namespace Tralvonic::Voice

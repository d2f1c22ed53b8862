#pragma once
// The loop every effect shares. A block of interleaved 16-bit samples is worked on in chunks
// of at most ChunkFrames frames, one pair of channels at a time on the stack: the pair is
// spread into floats scaled to -1..1 (two a frame; a lone last channel has a silent partner),
// the effect renders it, and it goes back through the output gain, saturated to 16 bits and
// truncated toward zero. Channels past MaxChannels get the gain only. Nothing is allocated.

#include "DenormalGuard.h"
#include "Ramp.h"
#include "Sample.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>

namespace Tralvonic::Voice {

// A host block (960 frames) fits in one chunk.
constexpr std::int32_t ChunkFrames = 1024;
constexpr std::int32_t MaxPairs = MaxChannels / 2;
// A changed volume is reached over this many frames (one host block, 20 ms).
constexpr std::int32_t GainRampFrames = 960;

// Passes whose frames do not depend on one another work up to four frames a turn; a chunk is
// padded with silent filler frames up to a whole turn.
constexpr std::int32_t FillerFrames = 3;

// One pair of channels of a chunk, two floats a frame, with room for the filler frames.
using PairFrames = std::array<float, 2 * (ChunkFrames + FillerFrames)>;

inline std::int32_t PairsFor(std::int32_t channels) noexcept {
    return (std::min(channels, MaxChannels) + 1) / 2;
}

// `frames` frames of the pair `pair` into floats, followed by silent filler frames.
void LoadPair(const std::int16_t* samples, std::int32_t frames, std::int32_t channels, std::int32_t pair,
              PairFrames& floats) noexcept;

// The pair back into the samples through the gain, which stands `gain.Position()` frames into
// its ramp at the chunk's first frame.
void StorePair(const PairFrames& floats, std::int16_t* samples, std::int32_t frames, std::int32_t channels,
               std::int32_t pair, const Ramp& gain) noexcept;

// Channels past MaxChannels through the gain alone.
void StoreGainOnly(std::int16_t* samples, std::int32_t frames, std::int32_t channels,
                   const Ramp& gain) noexcept;

// One chunk of a block as an effect renders it.
class Chunk {
public:
    Chunk(std::int16_t* samples, std::int32_t frames, std::int32_t channels, const Ramp& gain) noexcept
        : _samples(samples), _frames(frames), _channels(channels), _gain(gain) {}
    Chunk(const Chunk&) = delete;
    Chunk& operator=(const Chunk&) = delete;

    std::int32_t Frames() const noexcept { return _frames; }

    // Runs `work(floats, pair)` on every pair of channels in turn, between loading the pair
    // and storing it back through the gain.
    template <typename Work> void ForEachPair(Work&& work) noexcept {
        const std::int32_t pairs = PairsFor(_channels);
        for (std::int32_t pair = 0; pair < pairs; ++pair) {
            LoadPair(_samples, _frames, _channels, pair, _floats);
            work(_floats, pair);
            StorePair(_floats, _samples, _frames, _channels, pair, _gain);
        }
    }

private:
    std::int16_t* _samples;
    std::int32_t _frames;
    std::int32_t _channels;
    const Ramp& _gain;
    alignas(32) PairFrames _floats;
};

// Runs one block: `framesUntilChange()` bounds a chunk to the frames over which the effect's
// parameters hold still, `render(chunk)` does the effect's work on it and must pass every
// pair through `ForEachPair`, if only to apply the gain.
template <typename Limit, typename Render>
void ProcessInChunks(std::int16_t* samples, std::int32_t frames, std::int32_t channels, Ramp& gain,
                     float volume, Limit&& framesUntilChange, Render&& render) noexcept {
    const DenormalGuard guard;
    gain.SetTarget(volume);
    for (std::int32_t done = 0; done < frames;) {
        const std::int32_t count = std::min({frames - done, ChunkFrames, framesUntilChange()});
        std::int16_t* at = samples + static_cast<std::ptrdiff_t>(done) * channels;
        Chunk chunk(at, count, channels, gain);
        render(chunk);
        if (channels > MaxChannels) {
            StoreGainOnly(at, count, channels, gain);
        }
        gain.Advance(count);
        done += count;
    }
}

} // namespace Tralvonic::Voice

#pragma once
// Sample arithmetic of the voice callbacks: gains, stereo placement, downmix, mixing into the
// host's output and the relay into the microphone. Samples are signed 16-bit, interleaved by
// channel; every addition saturates. Pure functions on caller-owned buffers: nothing here
// allocates, locks or logs, so all of it may run on the host's audio threads.

#include "core/Configuration.h"

#include <cstdint>
#include <span>

namespace Tralvonic {

class SampleQueue;

namespace Speakers {
constexpr unsigned int FrontLeft = 0x1;
constexpr unsigned int FrontRight = 0x2;
constexpr unsigned int BackLeft = 0x10;
constexpr unsigned int BackRight = 0x20;
constexpr unsigned int SideLeft = 0x200;
constexpr unsigned int SideRight = 0x400;
constexpr unsigned int HeadphonesLeft = 0x10000000;
constexpr unsigned int HeadphonesRight = 0x20000000;
} // namespace Speakers

std::int16_t Saturate(std::int32_t value) noexcept;
std::int16_t SaturatingAdd(std::int16_t sample, std::int32_t addend) noexcept;
// sample × volume, clamped to the sample range and truncated toward zero.
std::int16_t ApplyGain(std::int16_t sample, float volume) noexcept;

// Places sampleCount frames in the stereo field. One channel becomes sampleCount pairs in
// `buffer`, which must hold sampleCount × 2 samples; more channels are edited in place
// (LeftOnly keeps channel 0 of each frame, RightOnly channel 1). Answers the result.
std::span<std::int16_t> ApplyAudioMode(std::span<std::int16_t> buffer, int sampleCount, int channels,
                                       StereoMode mode) noexcept;

// Adds the pair (left, right) into `frame` of the host's output.
void MixOutputAudio(std::span<std::int16_t> buffer, int channels, const unsigned int* speakers, int frame,
                    std::int16_t left, std::int16_t right) noexcept;

// The post-process layout: one channel as it is, more folded into left and right by the
// side of each channel's speaker. `out` holds sampleCount × (channels == 1 ? 1 : 2) samples.
void Downmix(std::span<const std::int16_t> in, int sampleCount, int channels, const unsigned int* speakers,
             std::span<std::int16_t> out) noexcept;

// The fill mask a mixed output gets when the host had marked no channel as filled.
unsigned int FilledMask(int channels, const unsigned int* speakers) noexcept;

// Mixes relayed audio of `relayChannels` channels from `queue` into the captured `samples`.
// A layout that cannot be mixed empties the queue. True when the buffer was changed.
bool MixRelay(std::span<std::int16_t> samples, int sampleCount, int channels, SampleQueue& queue,
              int relayChannels) noexcept;

} // namespace Tralvonic

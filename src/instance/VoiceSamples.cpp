#include "instance/VoiceSamples.h"

#include "instance/SampleQueue.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstddef>

namespace Tralvonic {

namespace {

constexpr std::int32_t MinSample = -32768;
constexpr std::int32_t MaxSample = 32767;

bool IsLeftSide(unsigned int speaker) {
    return speaker == Speakers::FrontLeft || speaker == Speakers::BackLeft || speaker == Speakers::SideLeft ||
           speaker == Speakers::HeadphonesLeft;
}

bool IsRightSide(unsigned int speaker) {
    return speaker == Speakers::FrontRight || speaker == Speakers::BackRight ||
           speaker == Speakers::SideRight || speaker == Speakers::HeadphonesRight;
}

std::size_t Index(int frame, int channels, int channel) {
    return static_cast<std::size_t>(frame) * static_cast<std::size_t>(channels) +
           static_cast<std::size_t>(channel);
}

// Adds one relayed frame into captured frame `frame`: `in` holds relayChannels samples.
void AddRelayFrame(std::span<std::int16_t> samples, int channels, int frame, int relayChannels,
                   const std::int16_t* in) {
    if (channels == 1) {
        const std::int32_t value = relayChannels == 1 || in[0] == in[1]
                                       ? in[0]
                                       : static_cast<std::int32_t>(in[0]) + static_cast<std::int32_t>(in[1]);
        samples[Index(frame, 1, 0)] = SaturatingAdd(samples[Index(frame, 1, 0)], Saturate(value));
        return;
    }
    const std::int16_t left = in[0];
    const std::int16_t right = relayChannels == 1 ? in[0] : in[1];
    samples[Index(frame, 2, 0)] = SaturatingAdd(samples[Index(frame, 2, 0)], left);
    samples[Index(frame, 2, 1)] = SaturatingAdd(samples[Index(frame, 2, 1)], right);
}

} // namespace

std::int16_t Saturate(std::int32_t value) noexcept {
    return static_cast<std::int16_t>(std::clamp(value, MinSample, MaxSample));
}

std::int16_t SaturatingAdd(std::int16_t sample, std::int32_t addend) noexcept {
    return Saturate(static_cast<std::int32_t>(sample) + addend);
}

std::int16_t ApplyGain(std::int16_t sample, float volume) noexcept {
    const float scaled = static_cast<float>(sample) * volume;
    // A NaN gain (a hostile override cannot get here, but a zero range might) is silence.
    if (std::isnan(scaled)) {
        return 0;
    }
    return static_cast<std::int16_t>(std::clamp(scaled, -32768.0f, 32767.0f));
}

std::span<std::int16_t> ApplyAudioMode(std::span<std::int16_t> buffer, int sampleCount, int channels,
                                       StereoMode mode) noexcept {
    if (channels == 1) {
        // Backwards, so that each mono sample is read before its pair overwrites it.
        for (int frame = sampleCount - 1; frame >= 0; --frame) {
            const std::int16_t sample = buffer[static_cast<std::size_t>(frame)];
            buffer[Index(frame, 2, 0)] = mode == StereoMode::RightOnly ? std::int16_t{0} : sample;
            buffer[Index(frame, 2, 1)] = mode == StereoMode::LeftOnly ? std::int16_t{0} : sample;
        }
        return buffer.first(static_cast<std::size_t>(sampleCount) * 2);
    }
    if (mode != StereoMode::Stereo) {
        const int kept = mode == StereoMode::LeftOnly ? 0 : 1;
        for (int frame = 0; frame < sampleCount; ++frame) {
            for (int channel = 0; channel < channels; ++channel) {
                if (channel != kept) {
                    buffer[Index(frame, channels, channel)] = 0;
                }
            }
        }
    }
    return buffer.first(static_cast<std::size_t>(sampleCount) * static_cast<std::size_t>(channels));
}

void MixOutputAudio(std::span<std::int16_t> buffer, int channels, const unsigned int* speakers, int frame,
                    std::int16_t left, std::int16_t right) noexcept {
    if (channels == 1) {
        std::int32_t value = static_cast<std::int32_t>(left) + static_cast<std::int32_t>(right);
        if (right == 0) {
            value = left;
        } else if (left == 0 || left == right) {
            value = right;
        }
        buffer[Index(frame, 1, 0)] = SaturatingAdd(buffer[Index(frame, 1, 0)], value);
        return;
    }
    for (int channel = 0; channel < channels; ++channel) {
        const unsigned int speaker = speakers[channel];
        std::int16_t& sample = buffer[Index(frame, channels, channel)];
        if (speaker == Speakers::FrontLeft || speaker == Speakers::HeadphonesLeft) {
            sample = SaturatingAdd(sample, left);
        } else if (speaker == Speakers::FrontRight || speaker == Speakers::HeadphonesRight) {
            sample = SaturatingAdd(sample, right);
        }
    }
}

void Downmix(std::span<const std::int16_t> in, int sampleCount, int channels, const unsigned int* speakers,
             std::span<std::int16_t> out) noexcept {
    if (channels == 1) {
        std::copy_n(in.begin(), sampleCount, out.begin());
        return;
    }
    for (int frame = 0; frame < sampleCount; ++frame) {
        std::int32_t left = 0;
        std::int32_t right = 0;
        for (int channel = 0; channel < channels; ++channel) {
            const std::int16_t sample = in[Index(frame, channels, channel)];
            if (IsLeftSide(speakers[channel])) {
                left += sample;
            } else if (IsRightSide(speakers[channel])) {
                right += sample;
            }
        }
        out[Index(frame, 2, 0)] = Saturate(left);
        out[Index(frame, 2, 1)] = Saturate(right);
    }
}

unsigned int FilledMask(int channels, const unsigned int* speakers) noexcept {
    if (channels == 1) {
        return speakers[0];
    }
    const bool headphones = std::any_of(speakers, speakers + channels, [](unsigned int speaker) {
        return speaker == Speakers::HeadphonesLeft || speaker == Speakers::HeadphonesRight;
    });
    return headphones ? Speakers::HeadphonesLeft | Speakers::HeadphonesRight
                      : Speakers::FrontLeft | Speakers::FrontRight;
}

bool MixRelay(std::span<std::int16_t> samples, int sampleCount, int channels, SampleQueue& queue,
              int relayChannels) noexcept {
    if ((channels != 1 && channels != 2) || (relayChannels != 1 && relayChannels != 2)) {
        queue.Clear();
        return false;
    }
    const auto frameWidth = static_cast<std::size_t>(relayChannels);
    std::array<std::int16_t, 512> chunk{};
    int frame = 0;
    while (frame < sampleCount) {
        const std::size_t wanted =
            std::min<std::size_t>(chunk.size() / frameWidth, static_cast<std::size_t>(sampleCount - frame)) *
            frameWidth;
        const std::size_t taken = queue.Dequeue(std::span(chunk).first(wanted), frameWidth);
        for (std::size_t offset = 0; offset < taken; offset += frameWidth, ++frame) {
            AddRelayFrame(samples, channels, frame, relayChannels, chunk.data() + offset);
        }
        if (taken < wanted) {
            break;
        }
    }
    return true;
}

} // namespace Tralvonic

#pragma once
// Biquad sections in series, each channel with its own memory. Coefficients are the low-pass
// and high-pass formulas of Robert Bristow-Johnson's audio-EQ cookbook; two sections with the
// Butterworth Q values below make a fourth-order Butterworth slope (24 dB per octave).
// Samples in and out are floats scaled to -1..1; the sections run in transposed direct form II,
// which stays well-behaved in single precision.

#include "Sample.h"

#include <array>
#include <cstdint>
#include <initializer_list>

namespace Tralvonic::Voice {

constexpr double ButterworthSecondOrderQ = 0.7071067811865476;
// The two sections of a fourth-order Butterworth filter.
constexpr double ButterworthFourthOrderQ1 = 0.5411961001461971;
constexpr double ButterworthFourthOrderQ2 = 1.3065629648763766;

struct BiquadCoefficients {
    float B0 = 1.0f;
    float B1 = 0.0f;
    float B2 = 0.0f;
    float A1 = 0.0f;
    float A2 = 0.0f;

    static BiquadCoefficients LowPass(double cutoffHz, double q) noexcept;
    static BiquadCoefficients HighPass(double cutoffHz, double q) noexcept;
};

class FilterCascade {
public:
    static constexpr std::int32_t MaxSections = 4;

    // Replaces the sections (at most MaxSections are kept); the memory stays, so a changed
    // cut-off goes on from the current signal instead of restarting from silence.
    void SetSections(std::initializer_list<BiquadCoefficients> sections) noexcept;

    // A fourth-order Butterworth high-pass at `lowCutHz` followed by a fourth-order Butterworth
    // low-pass at `highCutHz`: the band of a voice channel.
    void SetBand(double lowCutHz, double highCutHz) noexcept;

    float Process(float input, std::int32_t channel) noexcept {
        float value = input;
        auto& memory = _memory[static_cast<std::size_t>(channel)];
        for (std::int32_t i = 0; i < _sectionCount; ++i) {
            const BiquadCoefficients& k = _sections[static_cast<std::size_t>(i)];
            auto& state = memory[static_cast<std::size_t>(i)];
            const float output = k.B0 * value + state[0];
            state[0] = k.B1 * value - k.A1 * output + state[1];
            state[1] = k.B2 * value - k.A2 * output;
            value = output;
        }
        return value;
    }

    // Clears the memory of every channel.
    void Reset() noexcept;

    // Zeroes memory that has decayed below audibility, so that silence never leaves the
    // filters computing on denormal numbers, which are very slow on x86. Called once a block.
    void FlushDenormals() noexcept;

private:
    std::array<BiquadCoefficients, MaxSections> _sections{};
    std::int32_t _sectionCount = 0;
    std::array<std::array<std::array<float, 2>, MaxSections>, MaxChannels> _memory{};
};

} // namespace Tralvonic::Voice

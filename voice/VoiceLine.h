#pragma once
// What a phone call and a radio have in common: a voice sent over a line that degrades. The
// voice goes through a shaper (a soft saturator blended in, or a hard clipper) with line hiss
// and crackle added, all growing with the degradation, and then through the line's band-pass
// (fourth-order Butterworth high-pass and low-pass, cookbook sections), which band-limits the
// noise like the voice. The shaper's loudness is made up by the root of its drive. At no
// degradation the shaper and the noise are bypassed and only the band-pass applies; a changed
// degradation glides to its value over 20 ms. Int16 interleaved in and out.

#include "Chunk.h"
#include "LineNoise.h"
#include "Ramp.h"
#include "StaggeredBand.h"

#include <array>
#include <cstdint>

namespace Tralvonic::Voice {

enum class LineShaper {
    // Blends in tanh-like saturation: a phone line's rough, compressed sound.
    Soft,
    // Clips hard at a limit that falls with the degradation: a radio's overdriven transmitter.
    Hard,
};

// The constants of one kind of line, each at the worst degradation.
struct LineCharacter {
    double LowCutHz;
    double HighCutHz;
    LineShaper Shaper;
    float MaxExtraDrive;
    // How far the hard clipper's limit falls from full scale.
    float MaxClipDrop;
    // Peak of the white hiss before the band-pass.
    float MaxHiss;
    // Chance per group of sixteen frames of a crackle (a burst of louder noise), growing with
    // the square of the degradation, and its peak.
    float MaxCrackleChance;
    float MaxCracklePeak;
    std::uint32_t NoiseSeed;
};

class VoiceLine {
public:
    struct Params {
        float Degradation = 0.0f; // 0 clean .. 1 worst
    };

    explicit VoiceLine(const LineCharacter& character) noexcept;

    void Prepare(double sampleRateHz) noexcept;
    void SetParams(const Params& params) noexcept;
    void Process(std::int16_t* samples, std::int32_t frames, std::int32_t channels, float volume) noexcept;
    void Reset() noexcept;

private:
    // The high-pass sections are the first stage, the low-pass sections the second.
    using Band = StaggeredBand<2>;
    using Memory = StaggeredMemory<2>;
    static constexpr std::int32_t DegradationRampSteps = 30;

    void Render(Chunk& chunk) noexcept;

    LineCharacter _character;
    Band _band{};
    std::array<Memory, MaxPairs> _memory{};
    SteppedRamp _degradation{DegradationRampSteps};
    LineNoise _noise;
    Ramp _gain{GainRampFrames};
};

} // namespace Tralvonic::Voice

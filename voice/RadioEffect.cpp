#include "RadioEffect.h"

#include "Shaping.h"

namespace Tralvonic::Voice {

namespace {

constexpr LineCharacter Radio{
    .LowCutHz = 300.0,
    .HighCutHz = 3400.0,
    .Shaper = LineShaper::Hard,
    // At the end of the range the voice is driven eight times into a clipper at half scale.
    .MaxExtraDrive = 7.0f,
    .MaxClipDrop = 0.5f,
    .MaxHiss = 0.12f,
    // About 40 crackles a second at the end of the range, in a pause about as loud as the
    // clipped voice: louder pops are what a listener turns the radio down for.
    .MaxCrackleChance = 0.0128f,
    .MaxCracklePeak = 0.3f,
    .NoiseSeed = 0x6C8E9CF5u,
};

} // namespace

RadioEffect::RadioEffect() noexcept : _line(Radio) {}

void RadioEffect::SetParams(const Params& params) noexcept {
    _line.SetParams({Amount(params.Distortion, MaxDistortion)});
}

} // namespace Tralvonic::Voice

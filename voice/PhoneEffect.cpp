#include "PhoneEffect.h"

namespace Tralvonic::Voice {

namespace {

constexpr LineCharacter Phone{
    .LowCutHz = 300.0,
    .HighCutHz = 3400.0,
    .Shaper = LineShaper::Soft,
    // Drive of the saturator with no signal.
    .MaxExtraDrive = 9.0f,
    .MaxClipDrop = 0.0f,
    // About -34 dBFS RMS after the band-pass with no signal.
    .MaxHiss = 0.1f,
    .MaxCrackleChance = 0.0f,
    .MaxCracklePeak = 0.0f,
    .NoiseSeed = 0x2545F491u,
};

// How far the line is from clean: the signal strength counted down from full.
float Degradation(float signalStrength) noexcept {
    if (!(signalStrength < PhoneEffect::FullSignal)) {
        return 0.0f;
    }
    if (!(signalStrength > 0.0f)) {
        return 1.0f;
    }
    return (PhoneEffect::FullSignal - signalStrength) / PhoneEffect::FullSignal;
}

} // namespace

PhoneEffect::PhoneEffect() noexcept : _line(Phone) {}

void PhoneEffect::SetParams(const Params& params) noexcept {
    _line.SetParams({Degradation(params.SignalStrength)});
}

} // namespace Tralvonic::Voice

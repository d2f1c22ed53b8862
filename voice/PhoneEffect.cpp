#include "PhoneEffect.h"

#include "Block.h"
#include "Shaping.h"

namespace Tralvonic::Voice {

namespace {

constexpr double LowCutHz = 300.0;
constexpr double HighCutHz = 3400.0;
// Drive of the saturator at the worst line.
constexpr float MaxExtraDrive = 9.0f;
// Peak of the hiss before the band-pass at the worst line (about -34 dBFS RMS after it).
constexpr float MaxHiss = 0.1f;
constexpr std::uint32_t NoiseSeed = 0x2545F491u;

} // namespace

PhoneEffect::PhoneEffect() noexcept : _noise(NoiseSeed) {
    _bandPass.SetBand(LowCutHz, HighCutHz);
}

void PhoneEffect::SetParams(const Params& params) noexcept {
    _amount = Amount(params.Distortion, MaxDistortion);
}

void PhoneEffect::Process(std::int16_t* samples, std::int32_t frames, std::int32_t channels,
                          float volume) noexcept {
    if (_amount == 0.0f) {
        ProcessBlock(samples, frames, channels, _gain, volume,
                     [this](float input, std::int32_t channel) { return _bandPass.Process(input, channel); });
    } else {
        const float amount = _amount;
        const float drive = 1.0f + MaxExtraDrive * amount;
        const float makeUp = MakeUp(drive);
        const float hiss = MaxHiss * amount;
        ProcessBlock(samples, frames, channels, _gain, volume, [&](float input, std::int32_t channel) {
            const float saturated = SoftOverdrive(input, drive, makeUp);
            const float line = (1.0f - amount) * input + amount * saturated + hiss * _noise.Next();
            return _bandPass.Process(line, channel);
        });
    }
    _bandPass.FlushDenormals();
}

} // namespace Tralvonic::Voice

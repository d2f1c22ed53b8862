#include "RadioEffect.h"

#include "Block.h"
#include "Shaping.h"

namespace Tralvonic::Voice {

namespace {

constexpr double LowCutHz = 400.0;
constexpr double HighCutHz = 2800.0;
// At the end of the range the voice is driven eight times into a clipper at half scale.
constexpr float MaxExtraDrive = 7.0f;
constexpr float MaxClipDrop = 0.5f;
constexpr float MaxHiss = 0.12f;
// Chance per sample of a crackle at the end of the range (about 40 a second), and its peak.
constexpr float MaxCrackleChance = 0.0008f;
constexpr float MaxCracklePeak = 0.7f;
constexpr std::uint32_t NoiseSeed = 0x6C8E9CF5u;

} // namespace

RadioEffect::RadioEffect() noexcept : _noise(NoiseSeed) {
    _bandPass.SetBand(LowCutHz, HighCutHz);
}

void RadioEffect::SetParams(const Params& params) noexcept {
    _amount = Amount(params.Distortion, MaxDistortion);
}

void RadioEffect::Process(std::int16_t* samples, std::int32_t frames, std::int32_t channels,
                          float volume) noexcept {
    if (_amount == 0.0f) {
        ProcessBlock(samples, frames, channels, _gain, volume,
                     [this](float input, std::int32_t channel) { return _bandPass.Process(input, channel); });
    } else {
        const float drive = 1.0f + MaxExtraDrive * _amount;
        const float limit = 1.0f - MaxClipDrop * _amount;
        const float makeUp = MakeUp(drive);
        const float hiss = MaxHiss * _amount;
        const float crackleChance = MaxCrackleChance * _amount * _amount;
        const float cracklePeak = MaxCracklePeak * _amount;
        ProcessBlock(samples, frames, channels, _gain, volume, [&](float input, std::int32_t channel) {
            float air = HardOverdrive(input, drive, limit, makeUp) + hiss * _noise.Next();
            if (_noise.NextUnit() < crackleChance) {
                air += cracklePeak * _noise.Next();
            }
            return _bandPass.Process(air, channel);
        });
    }
    _bandPass.FlushDenormals();
}

} // namespace Tralvonic::Voice

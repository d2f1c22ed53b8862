// The voices of other players: the playback block before the host places it in 3D (phone and
// radio copies, the relay into the microphone, muffle, silence for nobody's voice) and the
// post-processed block after it (distance gain, range, megaphone).

#include "instance/GameInstance.h"

#include "core/Base.h"
#include "core/DenormalGuard.h"
#include "effects/VoiceDistortion.h"
#include "instance/VoiceSamples.h"
#include "instance/VoiceScratch.h"

#include <algorithm>

namespace Tralvonic {

namespace {

// Effect and relay audio start 25 blocks' worth of samples behind the voice.
constexpr std::size_t EffectDelayBlocks = 25;

using Process = void (*)(const char*, std::int16_t*, std::int32_t, std::int32_t, float) noexcept;

void AddInto(std::span<std::int16_t> sum, std::span<const std::int16_t> addend) {
    for (std::size_t i = 0; i < sum.size(); ++i) {
        sum[i] = SaturatingAdd(sum[i], addend[i]);
    }
}

// Voice gain of a player in range: the game's fixed gain, or linear down to his range's edge.
float DistanceGain(const VoicePlayer& player) {
    return player.VolumeOverride ? *player.VolumeOverride : 1.0f - player.Distance / player.VoiceRange;
}

} // namespace

void GameInstance::OnEditPlaybackVoiceDataEvent(const TeamSpeak::Client& client, short* samples,
                                                int sampleCount, int channels) {
    if (!IsWorkableBlock(samples, sampleCount, channels)) {
        return;
    }
    const DenormalGuard denormals;
    const auto plan = _voicePlan.Read();
    const VoicePlayer* player = plan ? plan->FindByClient(client.Id()) : nullptr;
    const std::size_t count = BlockSamples(sampleCount, channels);
    if (player == nullptr || !player->IsAlive) {
        // Nobody the game knows speaks here: while in game his voice is not heard at all.
        if (InstanceState() == Model::GameInstanceState::Ingame) {
            std::fill_n(samples, count, std::int16_t{0});
        }
        return;
    }
    AddPlaybackEffects(*player, samples, sampleCount, channels);
    if (player->IsMuffled) {
        auto copy = VoiceScratch::Take(VoiceScratch::ForThisThread().Copy, count);
        std::copy_n(samples, count, copy.begin());
        VoiceDistortion::ProcessMuffle(player->Player->Name().c_str(), copy.data(), sampleCount, channels,
                                       player->VolumeOverride.value_or(1.0f));
        std::copy(copy.begin(), copy.end(), samples);
    }
}

// Phone and radio audio of the player goes to the final mix (and, when the user relays it,
// to his microphone) as processed copies; the host's block itself stays as it is.
bool GameInstance::AddPlaybackEffects(const VoicePlayer& player, const short* samples, int sampleCount,
                                      int channels) {
    if (!player.Phone && !player.Radio) {
        return false;
    }
    auto& scratch = VoiceScratch::ForThisThread();
    const std::size_t count = BlockSamples(sampleCount, channels);
    const std::size_t stereoCount = BlockSamples(sampleCount, 2);
    auto stereoSum = VoiceScratch::Take(scratch.Stereo, stereoCount);
    auto relaySum = VoiceScratch::Take(scratch.Relay, count);
    std::fill(stereoSum.begin(), stereoSum.end(), std::int16_t{0});
    std::fill(relaySum.begin(), relaySum.end(), std::int16_t{0});
    bool relayed = false;
    const auto offsets = Base::CurrentStereoOffsets();
    const char* name = player.Player->Name().c_str();

    const auto addEffect = [&](Process process, float volume, bool isRelayedByUser, StereoMode mode) {
        auto copy = VoiceScratch::Take(scratch.Copy, std::max(count, stereoCount));
        std::copy_n(samples, count, copy.begin());
        process(name, copy.data(), sampleCount, channels, volume);
        if (isRelayedByUser) {
            AddInto(relaySum, copy.first(count));
            relayed = true;
        }
        const auto placed = ApplyAudioMode(copy, sampleCount, channels, mode);
        AddInto(stereoSum, placed.first(std::min(stereoCount, placed.size())));
    };
    if (player.Phone) {
        addEffect(&VoiceDistortion::ProcessPhone, player.Phone->Volume, player.Phone->IsRelayedByUser,
                  offsets.Phone);
    }
    if (player.Radio) {
        addEffect(&VoiceDistortion::ProcessRadio, player.Radio->Volume, player.Radio->IsRelayedByUser,
                  player.Radio->Secondary ? offsets.SecondaryRadio : offsets.Radio);
    }

    const auto delay = static_cast<std::size_t>(sampleCount) * EffectDelayBlocks;
    player.Player->EffectQueue().Append(stereoSum, delay, 2);
    if (relayed) {
        player.Player->SetRelayChannels(channels);
        player.Player->RelayQueue().Append(relaySum, delay, static_cast<std::size_t>(channels));
    }
    return true;
}

void GameInstance::OnEditPostProcessVoiceDataEvent(const TeamSpeak::Client& client, short* samples,
                                                   int sampleCount, int channels,
                                                   const unsigned int* channelSpeakerArray,
                                                   unsigned int* channelFillMask) {
    if (!IsWorkableBlock(samples, sampleCount, channels) || channelSpeakerArray == nullptr ||
        channelFillMask == nullptr) {
        return;
    }
    const DenormalGuard denormals;
    const auto plan = _voicePlan.Read();
    const VoicePlayer* player = plan ? plan->FindByClient(client.Id()) : nullptr;
    if (player == nullptr) {
        return;
    }
    auto& scratch = VoiceScratch::ForThisThread();
    const std::size_t count = BlockSamples(sampleCount, channels);
    auto work = VoiceScratch::Take(scratch.Work, count);
    // Channels the host left unfilled carry no voice.
    if (*channelFillMask != 0) {
        std::copy_n(samples, count, work.begin());
    } else {
        std::fill(work.begin(), work.end(), std::int16_t{0});
    }

    const int outChannels = channels == 1 ? 1 : 2;
    auto downmix = VoiceScratch::Take(scratch.Downmix, BlockSamples(sampleCount, outChannels));
    Downmix(work, sampleCount, channels, channelSpeakerArray, downmix);
    const bool megaphone = AddMegaphone(*player, downmix, sampleCount, outChannels);

    if (player->InRange) {
        const float gain = DistanceGain(*player);
        for (auto& sample : work) {
            sample = ApplyGain(sample, gain);
        }
    } else {
        std::fill(work.begin(), work.end(), std::int16_t{0});
    }
    if (megaphone) {
        for (int frame = 0; frame < sampleCount; ++frame) {
            for (int channel = 0; channel < outChannels; ++channel) {
                auto& sample = work[BlockSamples(frame, channels) + static_cast<std::size_t>(channel)];
                sample = SaturatingAdd(
                    sample, downmix[BlockSamples(frame, outChannels) + static_cast<std::size_t>(channel)]);
            }
        }
    }
    std::copy(work.begin(), work.end(), samples);
}

bool GameInstance::AddMegaphone(const VoicePlayer& player, std::span<std::int16_t> downmix, int sampleCount,
                                int outChannels) {
    if (!player.Megaphone || !(player.Megaphone->Range > player.Distance)) {
        return false;
    }
    const float volume = player.Megaphone->Volume ? *player.Megaphone->Volume
                                                  : 1.0f - player.Distance / player.Megaphone->Range;
    if (!(volume > 0.0f)) {
        return false;
    }
    VoiceDistortion::ProcessMegaphone(player.Player->Name().c_str(), downmix.data(), sampleCount, outChannels,
                                      volume);
    player.Player->MegaphoneQueue().Append(downmix, BlockSamples(sampleCount, outChannels),
                                           static_cast<std::size_t>(outChannels));
    return true;
}

} // namespace Tralvonic

// What the user hears in the end and what he sends: the mixed output gets the queued phone,
// radio, megaphone and echo audio; the captured microphone gets relayed audio and the echo,
// feeds the own megaphone monitor and tells whether the user talks.

#include "instance/GameInstance.h"

#include "core/Base.h"
#include "core/DenormalGuard.h"
#include "core/Logger.h"
#include "effects/VoiceDistortion.h"
#include "instance/VoiceSamples.h"
#include "instance/VoiceScratch.h"

#include <algorithm>
#include <array>
#include <string>

namespace Tralvonic {

namespace {

// The host's word for a captured block.
constexpr int CapturedEdited = 1;
constexpr int CapturedSending = 2;
// The echo's own monitor copy is louder than the echo that is sent.
constexpr float EchoReplayGain = 1.8f;
// The own megaphone monitor keeps between two and four blocks queued.
constexpr std::size_t MonitorLowBlocks = 4;
constexpr std::size_t MonitorPadBlocks = 2;

// Mixes queued pairs into the output from frame 0 on; true when any frame got one. A mono
// output was fed mono by the post-process callback, so there each sample is a frame.
bool MixQueue(SampleQueue& queue, std::span<std::int16_t> out, int sampleCount, int channels,
              const unsigned int* speakers, bool isMonoQueue) {
    const std::size_t frameWidth = isMonoQueue ? 1 : 2;
    std::array<std::int16_t, 512> chunk{};
    int frame = 0;
    bool mixed = false;
    while (frame < sampleCount) {
        const std::size_t wanted =
            std::min<std::size_t>(chunk.size() / frameWidth, static_cast<std::size_t>(sampleCount - frame)) *
            frameWidth;
        const std::size_t taken = queue.Dequeue(std::span(chunk).first(wanted), frameWidth);
        for (std::size_t offset = 0; offset < taken; offset += frameWidth, ++frame) {
            const std::int16_t left = chunk[offset];
            const std::int16_t right = isMonoQueue ? left : chunk[offset + 1];
            MixOutputAudio(out, channels, speakers, frame, left, right);
            mixed = true;
        }
        if (taken < wanted) {
            break;
        }
    }
    return mixed;
}

std::string FlagNames(int word) {
    if (word == 0) {
        return "0";
    }
    std::string names;
    if ((word & CapturedEdited) != 0) {
        names = "Edited";
    }
    if ((word & CapturedSending) != 0) {
        names += names.empty() ? "Sending" : ", Sending";
    }
    if ((word & ~(CapturedEdited | CapturedSending)) != 0) {
        names = std::to_string(word);
    }
    return names;
}

} // namespace

void GameInstance::OnEditMixedPlaybackVoiceDataEvent(short* samples, int sampleCount, int channels,
                                                     const unsigned int* channelSpeakerArray,
                                                     unsigned int* channelFillMask) {
    if (!IsWorkableBlock(samples, sampleCount, channels) || channelSpeakerArray == nullptr ||
        channelFillMask == nullptr) {
        return;
    }
    const DenormalGuard denormals;
    const auto plan = _voicePlan.Read();
    if (!plan) {
        return;
    }
    const std::size_t count = BlockSamples(sampleCount, channels);
    auto out = VoiceScratch::Take(VoiceScratch::ForThisThread().Work, count);
    if (*channelFillMask != 0) {
        std::copy_n(samples, count, out.begin());
    } else {
        std::fill(out.begin(), out.end(), std::int16_t{0});
    }
    bool mixed = false;
    for (const auto& player : plan->Players) {
        mixed |=
            MixQueue(player.Player->EffectQueue(), out, sampleCount, channels, channelSpeakerArray, false);
        mixed |= MixQueue(player.Player->MegaphoneQueue(), out, sampleCount, channels, channelSpeakerArray,
                          channels == 1);
    }
    mixed |= MixQueue(_outputQueue, out, sampleCount, channels, channelSpeakerArray, false);
    mixed |= MixQueue(_ownState.EchoReplayQueue(), out, sampleCount, channels, channelSpeakerArray, false);
    if (!mixed) {
        return;
    }
    std::copy(out.begin(), out.end(), samples);
    if (*channelFillMask == 0) {
        *channelFillMask = FilledMask(channels, channelSpeakerArray);
    }
}

void GameInstance::OnEditCapturedVoiceDataEvent(short* samples, int sampleCount, int channels, int* edited) {
    if (edited == nullptr || !IsWorkableBlock(samples, sampleCount, channels) ||
        InstanceState() != Model::GameInstanceState::Ingame) {
        return;
    }
    const DenormalGuard denormals;
    const auto plan = _voicePlan.Read();
    if (!plan) {
        return;
    }
    const int flags = *edited;
    if (flags == CapturedSending && !_ownState.IsTalking()) {
        NoteTalkChange(true);
    } else if (flags == 0 && _ownState.IsTalking()) {
        NoteTalkChange(false);
    }

    const std::size_t count = BlockSamples(sampleCount, channels);
    auto work = VoiceScratch::Take(VoiceScratch::ForThisThread().Work, count);
    std::copy_n(samples, count, work.begin());
    bool changed = false;
    for (const auto& player : plan->Players) {
        SampleQueue& relay = player.Player->RelayQueue();
        if (!relay.Empty()) {
            changed |= MixRelay(work, sampleCount, channels, relay, player.Player->RelayChannels());
        }
    }
    changed |= RunEcho(*plan, work, channels, flags);
    MonitorOwnMegaphone(*plan, work, sampleCount, channels, flags);
    if (!changed) {
        return;
    }
    std::copy(work.begin(), work.end(), samples);
    // What the plugin put into the block must be sent, even while the user is silent.
    const int word = flags | CapturedSending | CapturedEdited;
    *edited = word;
    if (Base::CurrentLogLevel() >= LogLevel::ExtensiveDebug) {
        Logger::LogExtensiveDebug("OnEditCapturedVoiceDataEvent | override " + FlagNames(word) + " (" +
                                      std::to_string(flags) + " - " + FlagNames(flags) + ")",
                                  LogChannel::GameInstance);
    }
}

bool GameInstance::RunEcho(const VoicePlan& plan, std::span<std::int16_t> work, int channels, int flags) {
    SampleQueue& line = _ownState.EchoQueue();
    SampleQueue& replay = _ownState.EchoReplayQueue();
    const bool sending = (flags & CapturedSending) != 0;
    const std::size_t count = work.size();
    const auto frameWidth = static_cast<std::size_t>(channels);
    if (plan.Echo && (sending || _ownState.EchoRuns() > 0)) {
        const auto& echo = *plan.Echo;
        const std::size_t delay = count * static_cast<std::size_t>(echo.Delay);
        line.Pad(delay, frameWidth);
        replay.Pad(delay, 2);
        auto& scratch = VoiceScratch::ForThisThread();
        auto next = VoiceScratch::Take(scratch.Echo, count);
        auto monitor = VoiceScratch::Take(scratch.Replay, channels == 1 ? count * 2 : count);
        for (std::size_t i = 0; i < count; ++i) {
            const float delayed = echo.Rolloff * static_cast<float>(line.Peek(i));
            const float value = sending ? static_cast<float>(work[i]) + delayed : delayed;
            next[i] = Saturate(static_cast<std::int32_t>(std::clamp(value, -65536.0f, 65536.0f)));
            const std::int16_t heard = sending ? ApplyGain(next[i], EchoReplayGain) : next[i];
            if (channels == 1) {
                monitor[2 * i] = heard;
                monitor[2 * i + 1] = heard;
            } else {
                monitor[i] = heard;
            }
        }
        line.Append(next, 0, frameWidth);
        replay.Append(monitor, 0, 2);
        _ownState.SetEchoRuns(sending ? echo.Duration : _ownState.EchoRuns() - 1);
    }
    if (line.Empty()) {
        return false;
    }
    // The delay line plays out whether or not the echo is still on.
    std::array<std::int16_t, 512> chunk{};
    std::size_t index = 0;
    while (index < count) {
        const std::size_t wanted = std::min(chunk.size() - chunk.size() % frameWidth, count - index);
        const std::size_t taken = line.Dequeue(std::span(chunk).first(wanted), 1);
        for (std::size_t i = 0; i < taken; ++i, ++index) {
            work[index] = sending ? SaturatingAdd(work[index], chunk[i]) : chunk[i];
        }
        if (taken < wanted) {
            break;
        }
    }
    return true;
}

// The user hears his own megaphone voice; what he sends stays as it is, since every listener
// applies the megaphone to it himself.
void GameInstance::MonitorOwnMegaphone(const VoicePlan& plan, std::span<std::int16_t> work, int sampleCount,
                                       int channels, int flags) {
    if (!plan.OwnMegaphoneVolume || (flags & CapturedSending) == 0) {
        return;
    }
    const std::size_t count = work.size();
    if (_outputQueue.Size() < count * MonitorLowBlocks) {
        _outputQueue.AppendSilence(count * MonitorPadBlocks, 2);
    }
    auto& scratch = VoiceScratch::ForThisThread();
    auto processed = VoiceScratch::Take(scratch.Copy, count);
    std::copy(work.begin(), work.end(), processed.begin());
    VoiceDistortion::ProcessMegaphone(plan.OwnName.c_str(), processed.data(), sampleCount, channels,
                                      *plan.OwnMegaphoneVolume);
    auto pairs = VoiceScratch::Take(scratch.Stereo, BlockSamples(sampleCount, 2));
    for (int frame = 0; frame < sampleCount; ++frame) {
        const std::size_t first = BlockSamples(frame, channels);
        pairs[BlockSamples(frame, 2)] = processed[first];
        pairs[BlockSamples(frame, 2) + 1] = channels == 1 ? processed[first] : processed[first + 1];
    }
    _outputQueue.Append(pairs, 0, 2);
}

void GameInstance::NoteTalkChange(bool isTalking) {
    _ownState.SetIsTalking(isTalking);
    // The broadcast does I/O: a non-audio thread sends it (SendPendingTalkStates).
    std::uint64_t word = _talkChanges.load(std::memory_order_relaxed);
    while (!_talkChanges.compare_exchange_weak(word, (((word >> 1) + 1) << 1) | (isTalking ? 1u : 0u),
                                               std::memory_order_release, std::memory_order_relaxed)) {
    }
}

} // namespace Tralvonic

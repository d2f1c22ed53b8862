// The simulated client's audio chain, in the order the TeamSpeak client runs it for a tab:
// the microphone through the captured callback, then every talking client's voice through
// playback, 3D placement, post-process and into the mix, and the mix through the mixed
// playback callback to what the user hears.

#include "AudioThread.h"

#include "SimulatedClient.h"

#include "TeamSpeak/sdk/HostEnums.h"

#include <algorithm>
#include <cmath>
#include <exception>
#include <numbers>

namespace Tralvonic::Sim {

using namespace TeamSpeak;

namespace {

constexpr int CapturedSending = 2;

short Clamp(double value) {
    return static_cast<short>(std::clamp(std::lround(value), -32768L, 32767L));
}

// Equal-power panning by where the voice sits left or right of the listener, scaled by the
// rolloff volume; a voice on the listener (or never placed) is in the middle.
std::vector<short> Place(const std::vector<short>& mono, const TS3_VECTOR& offset, float volume) {
    const double length = std::sqrt(offset.x * offset.x + offset.y * offset.y + offset.z * offset.z);
    const double pan = length > 1e-6 ? std::clamp(offset.x / length, -1.0, 1.0) : 0.0;
    const double angle = (pan + 1) * std::numbers::pi / 4;
    const double left = std::cos(angle) * volume;
    const double right = std::sin(angle) * volume;
    std::vector<short> stereo(mono.size() * 2);
    for (std::size_t i = 0; i < mono.size(); ++i) {
        stereo[2 * i] = Clamp(mono[i] * left);
        stereo[2 * i + 1] = Clamp(mono[i] * right);
    }
    return stereo;
}

void AddInto(std::vector<short>& sum, const std::vector<short>& samples) {
    for (std::size_t i = 0; i < sum.size() && i < samples.size(); ++i) {
        sum[i] = Clamp(static_cast<double>(sum[i]) + samples[i]);
    }
}

TS3_VECTOR Minus(const TS3_VECTOR& a, const TS3_VECTOR& b) {
    return TS3_VECTOR{a.x - b.x, a.y - b.y, a.z - b.z};
}

} // namespace

void AudioThread::SetVoice(uint64 handler, anyID client, std::shared_ptr<VoiceSource> voice) {
    std::lock_guard lock(_mutex);
    _voices[{handler, client}] = std::move(voice);
}

void AudioThread::SetRoundObserver(std::function<void(uint64, const Round&)> observer) {
    std::lock_guard lock(_mutex);
    _roundObserver = std::move(observer);
}

std::shared_ptr<VoiceSource> AudioThread::VoiceOf(uint64 handler, anyID client, bool isOwn) {
    std::lock_guard lock(_mutex);
    auto& voice = _voices[{handler, client}];
    if (!voice) {
        // A silent microphone unless told otherwise; other talkers hum.
        voice = isOwn ? VoiceSource::Samples({}) : VoiceSource::Tone(440, 2000);
    }
    return voice;
}

std::vector<AudioThread::Tab> AudioThread::ConnectedTabs(std::optional<uint64> only) {
    std::vector<Tab> tabs;
    World& world = _client.GetWorld();
    std::lock_guard lock(world.Mutex);
    for (const auto& server : world.Servers) {
        if (server->Status != STATUS_CONNECTION_ESTABLISHED || (only && server->Handler != *only)) {
            continue;
        }
        Tab tab{server->Handler, server->OwnClient, false, {}};
        for (const SimClient& client : server->Clients) {
            if (client.Id == server->OwnClient) {
                tab.Sending = client.IsTalking();
            } else if (client.IsTalking()) {
                const TS3_VECTOR offset =
                    client.Position ? Minus(*client.Position, server->Listener.Position) : TS3_VECTOR{};
                tab.Talkers.push_back({client.Id, offset});
            }
        }
        tabs.push_back(std::move(tab));
    }
    return tabs;
}

AudioThread::Round AudioThread::Render(const Tab& tab) {
    Round round;
    const auto microphone = VoiceOf(tab.Handler, tab.Own, true)->Next(BlockFrames);
    auto captured = Capture(tab.Handler, tab.Sending ? microphone : std::vector<short>(BlockFrames),
                            tab.Sending ? CapturedSending : 0);
    round.Sent = std::move(captured.Samples);
    round.SentWord = captured.Edited;

    std::vector<short> mix(BlockFrames * 2);
    for (const Talker& talker : tab.Talkers) {
        const auto voice = VoiceOf(tab.Handler, talker.Id, false)->Next(BlockFrames);
        const float distance =
            std::sqrt(talker.Offset.x * talker.Offset.x + talker.Offset.y * talker.Offset.y +
                      talker.Offset.z * talker.Offset.z);
        const float volume = Rolloff(tab.Handler, talker.Id, distance);
        const auto played = Playback(tab.Handler, talker.Id, voice);
        const auto placed = Place(played, talker.Offset, volume);
        AddInto(mix, PostProcess(tab.Handler, talker.Id, placed).Samples);
    }
    // The host marks the mix as filled only when some voice went into it.
    auto heard = MixedPlayback(tab.Handler, std::move(mix), 2, tab.Talkers.empty() ? 0u : 0x3u);
    round.Heard = std::move(heard.Samples);
    round.HeardFillMask = heard.FillMask;
    return round;
}

AudioThread::Round AudioThread::RenderRound(uint64 handler) {
    Round round;
    RunOnAudioThread([&] {
        const auto tabs = ConnectedTabs(handler);
        if (!tabs.empty()) {
            round = Render(tabs.front());
        }
    });
    return round;
}

void AudioThread::ProcessRound() {
    std::function<void(uint64, const Round&)> observer;
    {
        std::lock_guard lock(_mutex);
        observer = _roundObserver;
    }
    for (const Tab& tab : ConnectedTabs(std::nullopt)) {
        const Round round = Render(tab);
        if (observer) {
            observer(tab.Handler, round);
        }
    }
    {
        std::lock_guard lock(_mutex);
        ++_rounds;
    }
    _client.NotifyChanged();
}

} // namespace Tralvonic::Sim

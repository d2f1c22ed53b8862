#include "VoiceOptions.h"

#include "AudioThread.h"
#include "SimServer.h"
#include "VoiceSource.h"
#include "WaveFile.h"

#include "TeamSpeak/sdk/HostEnums.h"

#include <stdexcept>
#include <string_view>

namespace Tralvonic::Sim::Host {

namespace {

std::shared_ptr<VoiceSource> SourceOf(const std::string& source) {
    constexpr std::string_view TonePrefix = "tone:";
    if (source.starts_with(TonePrefix)) {
        const double frequency = std::stod(source.substr(TonePrefix.size()));
        if (!(frequency > 0 && frequency < 24000)) {
            throw std::runtime_error("tone frequency out of range: " + source);
        }
        return VoiceSource::Tone(frequency, 8000);
    }
    return VoiceSource::WaveFile(source);
}

} // namespace

Recordings::Recordings() = default;
Recordings::~Recordings() = default;

void Recordings::Apply(const Options& options, SimServer& server, AudioThread& audio) {
    for (const VoiceOption& voice : options.Voices) {
        const auto client = server.FindClient(voice.Name);
        if (!client) {
            throw std::runtime_error("--voice: no client named " + voice.Name);
        }
        audio.SetVoice(server.Handler(), *client, SourceOf(voice.Source));
        server.SetTalking(*client, TeamSpeak::STATUS_TALKING);
    }
    if (options.Record) {
        _heard = std::make_shared<WaveWriter>(*options.Record, 2);
    }
    if (options.RecordMicrophone) {
        _sent = std::make_shared<WaveWriter>(*options.RecordMicrophone, 1);
    }
    if (_heard || _sent) {
        const uint64 handler = server.Handler();
        audio.SetRoundObserver(
            [handler, heard = _heard, sent = _sent](uint64 tab, const AudioThread::Round& round) {
                if (tab != handler) {
                    return;
                }
                if (heard) {
                    heard->Append(round.Heard);
                }
                if (sent) {
                    sent->Append(round.Sent);
                }
            });
    }
}

} // namespace Tralvonic::Sim::Host

#include "instance/GameInstance.h"

#include "core/Base.h"
#include "core/Logger.h"

#include <string>

namespace Tralvonic {

namespace {

constexpr LogChannel Log = LogChannel::GameInstance;

// All clicks share one handle, so a new click cuts the previous one short.
constexpr const char* MicClickHandle = "MicClick";

} // namespace

void GameInstance::OnOwnRadioStart(const Model::RadioCommunication& radio) {
    if (const auto client = Client(); client && !client->IsZero()) {
        // The radio must carry the user's voice whether or not he speaks loud enough for voice
        // activation or holds his push-to-talk key; what is switched here is switched back
        // when the transmission stops. A mode switched by an earlier update stays recorded.
        if (client->Vad()) {
            _micMode.store(Tralvonic::MicMode::VoiceActivityDetection);
            client->SetVad(false);
            Logger::LogDebug("VAD: Disabled", Log);
        } else if (!IsMicrophoneEnabled() && client->IsMicrophoneHarwareActive() &&
                   !client->IsMicrophoneEnabled()) {
            // Push-to-talk not held: the host reports the input deactivated.
            _micMode.store(Tralvonic::MicMode::PushToTalk);
            client->SetIsMicrophoneEnabled(true);
            Logger::LogDebug("PTT: Input Enabled", Log);
        }
    }
    if (SendRadioTrafficStates()) {
        SendRadioTrafficState(radio.Name, true, !radio.Secondary);
    }
    if (MicClicksApply(radio.PlayMicClick)) {
        PlayMicClick("selfOnMicClick");
    }
}

void GameInstance::OnOwnRadioStop(const Model::RadioCommunication& radio) {
    if (const auto client = Client(); client && !client->IsZero()) {
        RestoreMicMode(*client);
    }
    if (SendRadioTrafficStates()) {
        SendRadioTrafficState(radio.Name, false, !radio.Secondary);
    }
    if (MicClicksApply(radio.PlayMicClick)) {
        PlayMicClick("selfOffMicClick");
    }
}

void GameInstance::RestoreMicMode(const TeamSpeak::Client& client) {
    // Taken and cleared in one step: a stop and a reset racing each other restore it once.
    switch (_micMode.exchange(Tralvonic::MicMode::ContinuousTransmission)) {
    case Tralvonic::MicMode::VoiceActivityDetection:
        client.SetVad(true);
        Logger::LogDebug("VAD: Enabled", Log);
        break;
    case Tralvonic::MicMode::PushToTalk:
        client.SetIsMicrophoneEnabled(false);
        Logger::LogDebug("PTT: Input disabled", Log);
        break;
    case Tralvonic::MicMode::ContinuousTransmission:
        break;
    }
}

bool GameInstance::MicClicksApply(bool playMicClick) const {
    // Read each time: the user may change it in the settings window at any moment.
    switch (Base::CurrentConfiguration()->MicClickMode) {
    case MicClickMode::Always:
        return true;
    case MicClickMode::Never:
        return false;
    case MicClickMode::ScriptDependent:
        break;
    }
    return playMicClick;
}

void GameInstance::PlayMicClick(const std::string& filename) {
    PlaySound(Model::Sound{filename, false, MicClickHandle});
}

bool GameInstance::IsOwnName(std::string_view name) const {
    const auto& own = Name();
    return own && *own == name;
}

} // namespace Tralvonic

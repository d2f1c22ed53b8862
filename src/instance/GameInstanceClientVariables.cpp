#include "instance/GameInstance.h"

#include "TeamSpeak/sdk/HostEnums.h"
#include "core/Logger.h"

namespace Tralvonic {

namespace {

bool Is(const std::optional<std::string>& value, std::string_view expected) {
    return value && *value == expected;
}

} // namespace

void GameInstance::ReadSoundFlags(const TeamSpeak::Client& client) {
    _isMicrophoneMuted.store(client.IsMicrophoneMuted());
    _isMicrophoneEnabled.store(client.IsMicrophoneEnabled() && client.IsMicrophoneHarwareActive());
    _isSoundMuted.store(client.IsSoundMuted());
    _isSoundEnabled.store(client.IsSoundEnabled());
}

void GameInstance::OnClientVariableUpdate(int clientProperty, const std::optional<std::string>& value) {
    const bool wasMicrophoneMuted = IsMicrophoneMuted();
    const bool wasMicrophoneEnabled = IsMicrophoneEnabled();
    const bool wasSoundMuted = IsSoundMuted();
    const bool wasSoundEnabled = IsSoundEnabled();

    switch (clientProperty) {
    case TeamSpeak::CLIENT_NICKNAME: {
        const auto client = Client();
        if (IsResetted() || value == Name() || !client || IsSwissChannel(client->Channel())) {
            return;
        }
        const std::string name = Name().value_or("");
        Logger::LogExtensive("Name changed to \"" + value.value_or("") + "\" but should be \"" + name +
                                 "\", changing...",
                             LogChannel::GameInstance);
        client->SetName(name);
        return;
    }
    case TeamSpeak::CLIENT_FLAG_TALKING:
        break;
    case TeamSpeak::CLIENT_INPUT_MUTED:
        _isMicrophoneMuted.store(Is(value, "1"));
        break;
    case TeamSpeak::CLIENT_OUTPUT_MUTED:
        if (Is(value, "1")) {
            // Muted speakers take the microphone with them.
            _isMicrophoneMuted.store(true);
            _isSoundMuted.store(true);
        } else {
            const auto client = Client();
            _isMicrophoneMuted.store(client && client->IsMicrophoneMuted());
            _isSoundMuted.store(false);
        }
        break;
    case TeamSpeak::CLIENT_OUTPUTONLY_MUTED:
        _isSoundEnabled.store(Is(value, "0"));
        break;
    case TeamSpeak::CLIENT_INPUT_HARDWARE:
        _isMicrophoneEnabled.store(Is(value, "1"));
        break;
    case TeamSpeak::CLIENT_OUTPUT_HARDWARE:
        _isSoundEnabled.store(Is(value, "1"));
        break;
    case TeamSpeak::CLIENT_INPUT_DEACTIVATED:
        _isMicrophoneEnabled.store(Is(value, "0"));
        break;
    default:
        // CLIENT_VERSION, CLIENT_PLATFORM and everything else say nothing about sound.
        return;
    }
    if (IsMicrophoneMuted() != wasMicrophoneMuted || IsMicrophoneEnabled() != wasMicrophoneEnabled ||
        IsSoundMuted() != wasSoundMuted || IsSoundEnabled() != wasSoundEnabled) {
        SendSoundState();
    }
}

} // namespace Tralvonic

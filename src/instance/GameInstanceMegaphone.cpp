#include "instance/GameInstance.h"

#include "Model/PluginError.h"
#include "core/Logger.h"
#include "link/Messages.h"

#include <string>

namespace Tralvonic {

namespace {

constexpr LogChannel Log = LogChannel::GameInstance;

constexpr float MaxMegaphoneVolume = 1.6f;
constexpr std::size_t MaxMegaphoneCommunications = 1024;

bool IsValidVolume(const std::optional<float>& volume) {
    return !volume || (*volume >= 0.0f && *volume <= MaxMegaphoneVolume);
}

} // namespace

void GameInstance::OnMegaphoneCommunicationUpdate(const Model::MegaphoneCommunication& megaphone) {
    // Unlike phone and radio, a megaphone with a wrong volume is refused whole.
    if (!IsValidVolume(megaphone.Volume)) {
        BroadcastRecord(Model::PluginError(Model::Error::InvalidValue, ServerUniqueIdentifier(),
                                           "MegaphoneCommunication.Volume has to be >= 0f and <= 1.6f"));
        return;
    }
    if (!(megaphone.Range > 0.0f)) {
        RemoveMegaphoneCommunication(megaphone.Name);
    } else if (IsOwnName(megaphone.Name)) {
        _ownState.SetMegaphoneCommunication(megaphone);
    } else {
        const auto stored = _megaphoneCommunications.AddOrUpdate(
            StoredMegaphoneCommunication{megaphone}, MaxMegaphoneCommunications,
            [&](StoredMegaphoneCommunication& entry) {
                entry.Communication.Range = megaphone.Range;
                entry.Communication.Volume = megaphone.Volume;
            });
        if (stored == MegaphoneCommunicationList::Stored::Full) {
            Logger::LogError("Too many megaphone coms (" + std::to_string(MaxMegaphoneCommunications) +
                                 "), dropped the one of " + megaphone.Name,
                             Log);
            return;
        }
    }
    CalculateProximityChat();
}

void GameInstance::OnStopMegaphoneCommunication(const Model::MegaphoneCommunication& megaphone) {
    RemoveMegaphoneCommunication(megaphone.Name);
    CalculateProximityChat();
}

bool GameInstance::TryGetMegaphoneCommunication(std::string_view name,
                                                StoredMegaphoneCommunication& megaphone) const {
    return _megaphoneCommunications.TryGet(name, megaphone);
}

void GameInstance::RemoveMegaphoneCommunication(std::string_view name) {
    if (IsOwnName(name)) {
        _ownState.SetMegaphoneCommunication(std::nullopt);
    } else {
        _megaphoneCommunications.Remove(name);
    }
}

} // namespace Tralvonic

#include "instance/GameInstance.h"

#include "Model/PluginError.h"
#include "core/Base.h"
#include "core/Logger.h"
#include "instance/TargetPlayers.h"
#include "link/Messages.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <optional>
#include <string>
#include <unordered_map>
#include <utility>

namespace Tralvonic {

namespace {

using TeamSpeak::TSVector;

// A player's voice range maps to this many host units around the listener.
constexpr float OffsetScale = 10.0f;

bool Is3dEnabled() {
    return Base::CurrentConfiguration()->Is3dEnabled;
}

bool IsValidRolloff(float rolloff) {
    return rolloff > 0.0f && rolloff < 1.0f;
}

// The echo's delay line holds Delay blocks and its tail runs Duration blocks; both size what
// the audio path keeps, so the game may not choose them freely.
constexpr std::int32_t MinEchoDelay = 1;
constexpr std::int32_t MaxEchoDelay = 40;
constexpr std::int32_t MinEchoDuration = 0;
constexpr std::int32_t MaxEchoDuration = 500;

// The error for an echo the audio path cannot run; none for a valid one.
std::optional<std::string> EchoError(const Model::EchoEffect& echo) {
    if (!IsValidRolloff(echo.Rolloff)) {
        return "SelfState.Echo.Rolloff has to be > 0f and < 1f";
    }
    if (echo.Delay < MinEchoDelay || echo.Delay > MaxEchoDelay) {
        return "SelfState.Echo.Delay has to be >= 1 and <= 40";
    }
    if (echo.Duration < MinEchoDuration || echo.Duration > MaxEchoDuration) {
        return "SelfState.Echo.Duration has to be >= 0 and <= 500";
    }
    return std::nullopt;
}

// The player's offset turned into the listener's frame by θ (radians, the negated heading).
// Computed in double and rounded to float once per axis; height is dropped.
TSVector Rotate(const TSVector& difference, float theta) {
    const double cosine = std::cos(static_cast<double>(theta));
    const double sine = std::sin(static_cast<double>(theta));
    const double x = static_cast<double>(difference.X);
    const double y = static_cast<double>(difference.Y);
    return TSVector(static_cast<float>(x * cosine - y * sine), static_cast<float>(x * sine + y * cosine),
                    0.0f);
}

const std::string& MegaphoneName(const StoredMegaphoneCommunication& megaphone) {
    return megaphone.Communication.Name;
}

// The megaphone registered under one player's name, as an index of its own, for the steps
// that run for a single player outside a full recalculation.
std::vector<StoredMegaphoneCommunication> MegaphoneOf(const GameInstance& instance, const std::string& name) {
    StoredMegaphoneCommunication megaphone;
    if (!instance.TryGetMegaphoneCommunication(name, megaphone)) {
        return {};
    }
    return {std::move(megaphone)};
}

} // namespace

void GameInstance::OnSelfStateUpdate(const Model::SelfState& selfState) {
    if (selfState.Echo) {
        if (auto error = EchoError(*selfState.Echo)) {
            BroadcastRecord(
                Model::PluginError(Model::Error::InvalidValue, ServerUniqueIdentifier(), std::move(*error)));
            return;
        }
    }
    _ownState.SetState(selfState);

    if (!Is3dEnabled()) {
        // Without 3D the listener only follows the user; voices get no direction.
        if (const auto client = Client(); client && !client->IsZero()) {
            client->Set3DListenerPosition(selfState.Position, TSVector::Zero, TSVector::Zero);
        }
    }
    CalculateProximityChat();
}

void GameInstance::CalculateProximityChat() {
    const auto players = PlayerStates();
    // Looked up by name instead of scanning, since every player asks for his megaphone.
    const auto megaphoneSnapshot = MegaphoneCommunications();
    const MegaphoneIndex megaphones(*megaphoneSnapshot, MegaphoneName);
    for (const auto& player : players) {
        CalculateProximityOffset(*player, megaphones);
    }
    const auto channelClients = PlayerStateClientUpdate(players);

    TargetPlayers targets;
    const auto phones = PhoneCommunications();
    const auto radios = RadioCommunications();
    if (!phones->empty() || !radios->empty()) {
        const PlayerIndex index(players, NameOf);
        CalculatePhoneCommunications(phones, index, targets);
        CalculateRadioCommunications(radios, index, targets);
    }

    for (const auto& player : players) {
        CalculateProximityChat(*player, megaphones);
        if (IsPlayerInOwnVoiceRange(*player)) {
            targets.Append(player);
        }
    }

    // Whether a target's client is in the instance channel is answered by the channel's
    // client list that the binding read a moment ago, not by one host call per target.
    std::vector<TeamSpeak::anyID> clientIds;
    if (_ownState.IsAlive() && Channel()) {
        for (const auto& target : targets.Players()) {
            const auto client = target->Client();
            if (client && !client->IsZero() &&
                std::binary_search(channelClients.begin(), channelClients.end(), client->Id())) {
                clientIds.push_back(client->Id());
            }
        }
    }
    SetWhisperTargets(std::move(clientIds));
    PublishVoicePlan();
}

void GameInstance::CalculateProximityChat(const PlayerState& playerState) {
    const auto megaphone = MegaphoneOf(*this, playerState.Name());
    CalculateProximityChat(playerState, MegaphoneIndex(megaphone, MegaphoneName));
}

void GameInstance::CalculateProximityChat(const PlayerState& playerState, const MegaphoneIndex& megaphones) {
    const auto client = playerState.Client();
    if (!client || client->IsZero() || !playerState.Voice().IsAlive) {
        return;
    }
    // A megaphone whose range reaches the user carries the voice beyond the player's own range.
    const auto* megaphone = megaphones.Find(playerState.Name());
    const bool isCarried = megaphone != nullptr && megaphone->Communication.Range > playerState.Distance();
    if (!IsPlayerInRange(playerState) && !isCarried) {
        // Out-of-range voices are silenced on the audio path; the position is left alone.
        return;
    }
    client->Set3DPosition(Is3dEnabled() ? playerState.PositionOffset() : _ownState.Position());
}

void GameInstance::CalculateProximityOffset(PlayerState& playerState) const {
    const auto megaphone = MegaphoneOf(*this, playerState.Name());
    CalculateProximityOffset(playerState, MegaphoneIndex(megaphone, MegaphoneName));
}

void GameInstance::CalculateProximityOffset(PlayerState& playerState,
                                            const MegaphoneIndex& megaphones) const {
    const auto voice = playerState.Voice();
    if (!voice.Position) {
        // Nowhere to measure from: infinitely far, so no range test passes.
        playerState.SetDistance(std::numeric_limits<float>::infinity());
        playerState.SetPositionOffset(TSVector::Zero);
        return;
    }
    const TSVector ownPosition = _ownState.Position();
    const float distance = TSVector::Distance(ownPosition, *voice.Position);
    playerState.SetDistance(distance);

    // A player with a megaphone keeps his offset beyond his voice range, so the megaphone
    // places him. At distance 0 with range 0 the scale below would divide by zero: the
    // player sits on the listener instead.
    const bool hasMegaphone = megaphones.Find(playerState.Name()) != nullptr;
    if ((distance > voice.VoiceRange && !hasMegaphone) || !(voice.VoiceRange > 0.0f)) {
        playerState.SetPositionOffset(TSVector::Zero);
        return;
    }
    const TSVector rotated = Rotate(TSVector::Subtract(*voice.Position, ownPosition), _ownState.Rotation());
    playerState.SetPositionOffset(TSVector(rotated.X * OffsetScale / voice.VoiceRange,
                                           rotated.Y * OffsetScale / voice.VoiceRange, 0.0f));
}

void GameInstance::PlayerStateClientUpdate() {
    PlayerStateClientUpdate(PlayerStates());
}

std::vector<TeamSpeak::anyID>
GameInstance::PlayerStateClientUpdate(const std::vector<std::shared_ptr<PlayerState>>& players) {
    const auto channel = Channel();
    if (!channel) {
        for (const auto& player : players) {
            player->SetClient(std::nullopt);
        }
        return {};
    }

    // Games often list the user among the players. His own client is never another player's:
    // bound, it would move the listener and whisper to himself.
    const auto ownClient = Client();
    const auto clients = channel->Clients();
    std::vector<TeamSpeak::anyID> clientIds;
    clientIds.reserve(clients.size());
    std::unordered_map<std::string, TeamSpeak::Client> clientsByName;
    clientsByName.reserve(clients.size());
    for (const auto& client : clients) {
        clientIds.push_back(client.Id());
        if (ownClient && client.Id() == ownClient->Id()) {
            continue;
        }
        // The first client the host lists under a nickname wins.
        clientsByName.try_emplace(client.Name(), client);
    }
    // Every recalculation passes here: the text of a line the level drops is never built.
    const bool isLogged = Logger::IsWritten(LogLevel::Extensive);
    for (const auto& player : players) {
        const auto found = clientsByName.find(player->Name());
        if (found != clientsByName.end()) {
            player->SetClient(found->second);
        } else {
            player->SetClient(std::nullopt);
            if (isLogged) {
                Logger::LogExtensive("Could not find a TeamSpeak client for " + player->Name(),
                                     LogChannel::PlayerUpdate);
            }
        }
    }
    std::sort(clientIds.begin(), clientIds.end());
    return clientIds;
}

bool GameInstance::IsPlayerInRange(const PlayerState& playerState) const {
    const auto voice = playerState.Voice();
    return !voice.DistanceCulled && voice.VoiceRange > playerState.Distance();
}

bool GameInstance::IsPlayerInOwnVoiceRange(const PlayerState& playerState) const {
    if (playerState.Voice().DistanceCulled) {
        return false;
    }
    const float distance = playerState.Distance();
    if (_ownState.VoiceRange() > distance) {
        return true;
    }
    return _ownState.MegaphoneRange() > distance;
}

void GameInstance::On3dRolloffCalculation(const TeamSpeak::Client&, float, float* volume) const {
    if (volume != nullptr) {
        *volume = 1.0f;
    }
}

} // namespace Tralvonic

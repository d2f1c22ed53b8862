#include "instance/GameInstance.h"

#include <utility>

namespace Tralvonic {

namespace {

// The host takes at most this many clients in one whisper list; beyond it the user speaks
// to the whole instance channel instead.
constexpr std::size_t MaxWhisperClients = 50;

} // namespace

void GameInstance::SetWhisperTargets(std::vector<TeamSpeak::anyID> whisperTargets) {
    _whisperTargets.Publish(std::move(whisperTargets), [this](std::vector<TeamSpeak::anyID> latest) {
        const auto client = Client();
        if (!client || client->IsZero() || IsSwissChannel(client->Channel())) {
            return;
        }
        if (latest.size() <= MaxWhisperClients) {
            // An empty list is sent too: the user's voice then reaches nobody.
            client->SetWhisperTargets(std::nullopt, std::move(latest));
        } else if (const auto channel = Channel()) {
            client->SetWhisperTargets(std::vector<TeamSpeak::uint64>{channel->Id()}, std::nullopt);
        }
    });
}

} // namespace Tralvonic

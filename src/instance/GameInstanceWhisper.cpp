#include "instance/GameInstance.h"

#include <algorithm>
#include <utility>

namespace Tralvonic {

namespace {

// The host takes at most this many clients in one whisper list; beyond it the user speaks
// to the whole instance channel instead.
constexpr std::size_t MaxWhisperClients = 50;

std::vector<TeamSpeak::anyID> Sorted(std::vector<TeamSpeak::anyID> ids) {
    std::sort(ids.begin(), ids.end());
    return ids;
}

} // namespace

void GameInstance::SetWhisperTargets(std::vector<TeamSpeak::anyID> whisperTargets) {
    // Replacing and reading the previous list is one step, so two recalculations racing each
    // other each compare against the list they replaced.
    const auto previous = _whisperTargets.Exchange(whisperTargets);
    if (Sorted(previous) == Sorted(whisperTargets)) {
        return;
    }
    const auto client = Client();
    if (!client || client->IsZero() || IsSwissChannel(client->Channel())) {
        return;
    }

    if (whisperTargets.size() <= MaxWhisperClients) {
        // An empty list is sent too: the user's voice then reaches nobody.
        client->SetWhisperTargets(std::nullopt, std::move(whisperTargets));
    } else if (const auto channel = Channel()) {
        client->SetWhisperTargets(std::vector<TeamSpeak::uint64>{channel->Id()}, std::nullopt);
    }
}

} // namespace Tralvonic

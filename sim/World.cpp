#include "World.h"

#include "TeamSpeak/sdk/HostEnums.h"

#include <algorithm>
#include <charconv>

namespace Tralvonic::Sim {

using namespace TeamSpeak;

std::string Variables::Text(std::size_t flag) const {
    auto found = _values.find(flag);
    return found != _values.end() ? found->second : std::string();
}

std::int64_t Variables::Number(std::size_t flag) const {
    const std::string text = Text(flag);
    std::int64_t value = 0;
    std::from_chars(text.data(), text.data() + text.size(), value);
    return value;
}

std::string SimChannel::Name() const {
    return Values.Text(CHANNEL_NAME);
}

std::string SimChannel::Password() const {
    return Values.Text(CHANNEL_PASSWORD);
}

bool SimChannel::IsSubscribed() const {
    return Values.Number(CHANNEL_FLAG_ARE_SUBSCRIBED) == 1;
}

bool SimChannel::IsForceSilenced() const {
    return Values.Number(CHANNEL_FORCED_SILENCE) == 1;
}

std::string SimClient::Nickname() const {
    return Values.Text(CLIENT_NICKNAME);
}

std::string SimClient::UniqueIdentifier() const {
    return Values.Text(CLIENT_UNIQUE_IDENTIFIER);
}

uint64 SimClient::DatabaseId() const {
    return static_cast<uint64>(Values.Number(CLIENT_DATABASE_ID));
}

std::string SimClient::MetaData() const {
    return Values.Text(CLIENT_META_DATA);
}

bool SimClient::IsTalking() const {
    return Values.Number(CLIENT_FLAG_TALKING) == 1;
}

bool SimClient::IsInputMuted() const {
    return Values.Number(CLIENT_INPUT_MUTED) == 1;
}

bool SimClient::IsOutputMuted() const {
    return Values.Number(CLIENT_OUTPUT_MUTED) == 1;
}

bool SimClient::IsOutputOnlyMuted() const {
    return Values.Number(CLIENT_OUTPUTONLY_MUTED) == 1;
}

bool SimClient::HasInputHardware() const {
    return Values.Number(CLIENT_INPUT_HARDWARE) == 1;
}

bool SimClient::HasOutputHardware() const {
    return Values.Number(CLIENT_OUTPUT_HARDWARE) == 1;
}

bool SimClient::IsInputDeactivated() const {
    return Values.Number(CLIENT_INPUT_DEACTIVATED) == 1;
}

bool SimClient::IsLocallyMuted() const {
    return Values.Number(CLIENT_IS_MUTED) == 1;
}

SimChannel* ServerState::FindChannel(uint64 id) {
    auto found =
        std::find_if(Channels.begin(), Channels.end(), [&](const SimChannel& c) { return c.Id == id; });
    return found != Channels.end() ? &*found : nullptr;
}

SimClient* ServerState::FindClient(anyID id) {
    // Clients join with an id above every present one and leave without reordering the
    // rest, so the list stays sorted by id: nearly every host call looks a client up here.
    auto found = std::lower_bound(Clients.begin(), Clients.end(), id,
                                  [](const SimClient& c, anyID wanted) { return c.Id < wanted; });
    if (found != Clients.end() && found->Id == id)
        return &*found;
    // Should a test ever build the list in another order, the answer stays right.
    found = std::find_if(Clients.begin(), Clients.end(), [&](const SimClient& c) { return c.Id == id; });
    return found != Clients.end() ? &*found : nullptr;
}

ServerState* World::FindServer(uint64 handler) {
    auto found = std::find_if(Servers.begin(), Servers.end(),
                              [&](const std::unique_ptr<ServerState>& s) { return s->Handler == handler; });
    return found != Servers.end() ? found->get() : nullptr;
}

} // namespace Tralvonic::Sim

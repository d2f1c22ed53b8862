#include "TeamSpeak/Channel.h"

#include "TeamSpeak/Base.h"
#include "TeamSpeak/Client.h"
#include "TeamSpeak/OwnedIdentity.h"

#include <ostream>

namespace TeamSpeak {

namespace {

const TS3Functions& Host() {
    return Base::Functions();
}

} // namespace

std::string Channel::Name() const {
    char* name = nullptr;
    Host().getChannelVariableAsString(ServerId(), _id, CHANNEL_NAME, &name);
    return Base::GetString(name, true);
}

void Channel::SetName(std::string_view name) const {
    if (IsZero()) {
        return;
    }
    const std::string text(name);
    Host().setChannelVariableAsString(ServerId(), _id, CHANNEL_NAME, text.c_str());
    FlushUpdates();
}

std::optional<Channel> Channel::Parent() const {
    uint64 parent = 0;
    Host().getParentChannelOfChannel(ServerId(), _id, &parent);
    if (parent == 0) {
        return std::nullopt;
    }
    return Channel(_server, parent);
}

std::vector<Client> Channel::Clients() const {
    anyID* ids = nullptr;
    const bool ok = Base::Check(Host().getChannelClientList(ServerId(), _id, &ids));
    auto clients = Base::GetUshortArray(
        ids, [this](anyID id) { return Client(_server, id); }, true);
    if (!ok) {
        return {};
    }
    return clients;
}

bool Channel::IsSubscibed() const {
    int value = 0;
    // A failure is logged, but the value is used as the host left it.
    Base::Check(Host().getChannelVariableAsInt(ServerId(), _id, CHANNEL_FLAG_ARE_SUBSCRIBED, &value));
    return value == 1;
}

bool Channel::IsForceSilenced() const {
    int value = 0;
    Base::Check(Host().getChannelVariableAsInt(ServerId(), _id, CHANNEL_FORCED_SILENCE, &value));
    return value == 1;
}

Error Channel::Join(std::string_view password) const {
    return Join(_server.value_or(Server::Zero).LocalClient(), password);
}

Error Channel::Join(const Client& client, std::string_view password) const {
    const std::string text(password);
    return static_cast<Error>(Host().requestClientMove(ServerId(), client.Id(), _id, text.c_str(), nullptr));
}

void Channel::Join(std::span<const Client> clients, std::string_view password) const {
    for (const Client& client : clients) {
        Join(client, password);
    }
}

void Channel::MuteClients(bool toggle) const {
    const Client local = _server.value_or(Server::Zero).LocalClient();
    std::vector<anyID> ids;
    for (const Client& client : Clients()) {
        if (!client.Equals(local)) {
            ids.push_back(client.Id());
        }
    }
    if (ids.empty()) {
        return;
    }
    ids.push_back(0);
    if (toggle) {
        Host().requestMuteClients(ServerId(), ids.data(), nullptr);
    } else {
        Host().requestUnmuteClients(ServerId(), ids.data(), nullptr);
    }
}

void Channel::FlushUpdates() const {
    Host().flushChannelUpdates(ServerId(), _id, nullptr);
}

bool Channel::Equals(const Channel& other) const {
    return SameOwned(_server, _id, other._server, other._id);
}

std::size_t Channel::GetHashCode() const {
    return HashOwned(_server, _id);
}

std::string Channel::ToString() const {
    return "Channel ID: " + std::to_string(_id) + " | Server ID: " + (_server ? _server->ToString() : "");
}

std::ostream& operator<<(std::ostream& stream, const Channel& channel) {
    return stream << channel.ToString();
}

} // namespace TeamSpeak

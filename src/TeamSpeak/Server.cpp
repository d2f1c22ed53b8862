#include "TeamSpeak/Server.h"

#include "TeamSpeak/Base.h"
#include "TeamSpeak/Channel.h"
#include "TeamSpeak/Client.h"

#include <algorithm>
#include <array>
#include <ostream>

namespace TeamSpeak {

namespace {

constexpr std::size_t ConnectInfoBufferBytes = 256;

const TS3Functions& Host() {
    return Base::Functions();
}

} // namespace

bool Server::IsZero() const {
    return _id == 0 || ConnectionStatus() == STATUS_DISCONNECTED;
}

Server Server::CurrentServer() {
    return Server(Host().getCurrentServerConnectionHandlerID());
}

std::vector<Server> Server::ConnectedServers() {
    uint64* handlers = nullptr;
    const bool ok = Base::Check(Host().getServerConnectionHandlerList(&handlers));
    auto servers = Base::GetUlongArray(
        handlers, [](uint64 id) { return Server(id); }, true);
    if (!ok) {
        return {};
    }
    std::erase_if(servers, [](const Server& server) {
        return server.ConnectionStatus() != STATUS_CONNECTION_ESTABLISHED;
    });
    return servers;
}

bool Server::TryGetServer(std::string_view uniqueIdentifier, Server& server) {
    for (const Server& candidate : ConnectedServers()) {
        if (candidate.UniqueIdentifier() == uniqueIdentifier) {
            server = candidate;
            return true;
        }
    }
    return false;
}

Client Server::LocalClient() const {
    anyID id = 0;
    if (!Base::Check(Host().getClientID(_id, &id))) {
        return Client::Zero;
    }
    return Client(*this, id);
}

std::string Server::UniqueIdentifier() const {
    return StringVariable(VIRTUALSERVER_UNIQUE_IDENTIFIER);
}

std::string Server::Name() const {
    return StringVariable(VIRTUALSERVER_NAME);
}

ConnectStatus Server::ConnectionStatus() const {
    int status = STATUS_DISCONNECTED;
    Host().getConnectionStatus(_id, &status);
    return static_cast<ConnectStatus>(status);
}

std::vector<Channel> Server::Channels() const {
    uint64* ids = nullptr;
    const bool ok = Base::Check(Host().getChannelList(_id, &ids));
    auto channels = Base::GetUlongArray(
        ids, [this](uint64 id) { return Channel(*this, id); }, true);
    if (!ok) {
        return {};
    }
    return channels;
}

bool Server::TryGetChannel(uint64 id, Channel& channel) const {
    const auto channels = Channels();
    const auto found = std::ranges::find_if(channels, [id](const Channel& each) { return each.Id() == id; });
    if (found == channels.end()) {
        return false;
    }
    channel = *found;
    return true;
}

bool Server::TryGetChannel(std::string_view name, Channel& channel) const {
    const auto channels = Channels();
    const auto found =
        std::ranges::find_if(channels, [name](const Channel& each) { return each.Name() == name; });
    if (found == channels.end()) {
        return false;
    }
    channel = *found;
    return true;
}

uint64 Server::PlaySound(std::string_view path, bool loop) const {
    const Utf8Buffer nativePath = Base::AllocConvertManagedStringToNativeUtf8(path);
    uint64 handle = 0;
    Host().playWaveFileHandle(_id, nativePath.get(), loop ? 1 : 0, &handle);
    return handle;
}

void Server::PlaySound(std::string_view path) const {
    const std::string nativePath(path);
    Host().playWaveFile(_id, nativePath.c_str());
}

void Server::PauseSound(uint64 handle, bool pause) const {
    Host().pauseWaveFileHandle(_id, handle, pause ? 1 : 0);
}

void Server::StopSound(uint64 handle) const {
    Host().closeWaveFileHandle(_id, handle);
}

void Server::RequestVariables() const {
    Host().requestServerVariables(_id);
}

std::string Server::ConnectionString() const {
    const anyID localId = LocalClient().Id();
    char* ip = nullptr;
    Host().getConnectionVariableAsString(_id, localId, CONNECTION_SERVER_IP, &ip);
    std::string text = Base::GetString(ip, true);
    char* port = nullptr;
    Host().getConnectionVariableAsString(_id, localId, CONNECTION_SERVER_PORT, &port);
    return text + ":" + Base::GetString(port, true);
}

ServerConnectionInfo Server::ConnectionInfo() const {
    std::array<char, ConnectInfoBufferBytes> host{};
    unsigned short port = 0;
    Host().getServerConnectInfo(_id, host.data(), &port, nullptr, host.size());
    // A host that fills the buffer to the end must not make us read past it.
    host.back() = '\0';
    return ServerConnectionInfo{Base::MarshalNativeUtf8ToManagedString(host.data()), port};
}

std::int32_t Server::OnlineClients() const {
    RequestVariables();
    return IntVariable(VIRTUALSERVER_CLIENTS_ONLINE);
}

std::int32_t Server::MaxClients() const {
    RequestVariables();
    return IntVariable(VIRTUALSERVER_MAXCLIENTS);
}

std::string Server::WelcomeMessage() const {
    return StringVariable(VIRTUALSERVER_WELCOMEMESSAGE);
}

std::string Server::Platform() const {
    return StringVariable(VIRTUALSERVER_PLATFORM);
}

std::string Server::Version() const {
    return StringVariable(VIRTUALSERVER_VERSION);
}

std::string Server::Created() const {
    return StringVariable(VIRTUALSERVER_CREATED);
}

std::string Server::Uptime() const {
    RequestVariables();
    return StringVariable(VIRTUALSERVER_UPTIME);
}

CodecEncryptionMode Server::CodecEncryptionMode() const {
    return static_cast<TeamSpeak::CodecEncryptionMode>(IntVariable(VIRTUALSERVER_CODEC_ENCRYPTION_MODE));
}

bool operator==(const Server& left, const Server& right) {
    return left._id == right._id || (left.IsZero() && right.IsZero());
}

bool Server::Equals(const Server& other) const {
    return _id == other._id || UniqueIdentifier() == other.UniqueIdentifier() || (IsZero() && other.IsZero());
}

std::size_t Server::GetHashCode() const {
    return std::hash<std::string>{}(UniqueIdentifier());
}

std::string Server::ToString() const {
    return UniqueIdentifier();
}

std::string Server::StringVariable(std::size_t flag) const {
    char* text = nullptr;
    Host().getServerVariableAsString(_id, flag, &text);
    return Base::GetString(text, true);
}

std::int32_t Server::IntVariable(std::size_t flag) const {
    int value = 0;
    Host().getServerVariableAsInt(_id, flag, &value);
    return value;
}

std::ostream& operator<<(std::ostream& stream, const Server& server) {
    return stream << server.ToString();
}

} // namespace TeamSpeak

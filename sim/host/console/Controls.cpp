#include "Controls.h"

#include "SimServer.h"

#include "TeamSpeak/sdk/HostEnums.h"

#include <boost/json/parse.hpp>

#include <charconv>
#include <cstdio>
#include <optional>
#include <stdexcept>

namespace Tralvonic::Sim::Host {

namespace json = boost::json;
using namespace TeamSpeak;

namespace {

constexpr std::string_view ClientsPrefix = "/api/clients/";

ControlAnswer Refused(int status, std::string message) {
    return {status, std::move(message)};
}

ControlAnswer Done(std::string message) {
    std::printf("[console] %s\n", message.c_str());
    return {200, std::move(message)};
}

// The body's object; an empty body is an empty object.
std::optional<json::object> BodyObject(std::string_view body) {
    if (body.find_first_not_of(" \t\r\n") == std::string_view::npos) {
        return json::object{};
    }
    json::error_code error;
    json::value value = json::parse(body, error);
    if (error || !value.is_object()) {
        return std::nullopt;
    }
    return std::move(value.as_object());
}

std::optional<bool> Flag(const json::object& body, std::string_view key) {
    const auto* value = body.if_contains(key);
    return value != nullptr && value->is_bool() ? std::optional(value->as_bool()) : std::nullopt;
}

std::optional<uint64> ChannelId(const json::object& body) {
    const auto* value = body.if_contains("Channel");
    if (value != nullptr && value->is_int64() && value->as_int64() > 0) {
        return static_cast<uint64>(value->as_int64());
    }
    if (value != nullptr && value->is_uint64()) {
        return value->as_uint64();
    }
    return std::nullopt;
}

std::optional<anyID> ClientId(std::string_view text) {
    unsigned int id = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), id);
    if (error != std::errc() || end != text.data() + text.size() || id == 0 || id > 0xFFFF) {
        return std::nullopt;
    }
    return static_cast<anyID>(id);
}

ControlAnswer ServerControl(SimServer& server, std::string_view action) {
    const bool connected = server.Status() != STATUS_DISCONNECTED;
    if (action == "disconnect") {
        if (!connected) {
            return Refused(409, "the server is not connected");
        }
        server.Disconnect();
        return Done("disconnected from the server");
    }
    if (action == "connect") {
        if (connected) {
            return Refused(409, "the server is connected already");
        }
        server.Connect();
        return Done("connected to the server");
    }
    return Refused(404, "no server control " + std::string(action));
}

ControlAnswer Move(SimServer& server, const SimClient& client, const json::object& body) {
    const auto channel = ChannelId(body);
    if (!channel) {
        return Refused(400, "move wants {\"Channel\": a channel id}");
    }
    std::string channelName;
    try {
        channelName = server.Channel(*channel).Name();
    } catch (const std::out_of_range&) {
        return Refused(404, "no channel " + std::to_string(*channel));
    }
    if (client.Channel == *channel) {
        return Refused(409, client.Nickname() + " is in " + channelName + " already");
    }
    server.MoveClient(client.Id, *channel);
    return Done(client.Nickname() + " moved to " + channelName);
}

ControlAnswer Talk(SimServer& server, const SimClient& client, const json::object& body) {
    const auto talking = Flag(body, "Talking");
    if (!talking) {
        return Refused(400, "talk wants {\"Talking\": true or false}");
    }
    server.SetTalking(client.Id, *talking ? STATUS_TALKING : STATUS_NOT_TALKING);
    return Done(client.Nickname() + (*talking ? " talks" : " stopped talking"));
}

ControlAnswer Mute(SimServer& server, const SimClient& client, bool isUser, const json::object& body) {
    const auto muted = Flag(body, "Muted");
    if (!muted) {
        return Refused(400, "mute wants {\"Muted\": true or false}");
    }
    const std::string value = *muted ? "1" : "0";
    if (isUser) {
        server.UpdateOwnVariable(CLIENT_INPUT_MUTED, value);
        return Done(client.Nickname() + (*muted ? " muted his microphone" : " unmuted his microphone"));
    }
    server.UpdateClient(client.Id, CLIENT_IS_MUTED, value);
    return Done(client.Nickname() + (*muted ? " muted" : " unmuted"));
}

ControlAnswer Sound(SimServer& server, const SimClient& client, bool isUser, const json::object& body) {
    const auto muted = Flag(body, "Muted");
    if (!muted) {
        return Refused(400, "sound wants {\"Muted\": true or false}");
    }
    if (!isUser) {
        return Refused(400, "only the user's own speakers can be muted");
    }
    server.UpdateOwnVariable(CLIENT_OUTPUT_MUTED, *muted ? "1" : "0");
    return Done(client.Nickname() + (*muted ? " muted his speakers" : " unmuted his speakers"));
}

ControlAnswer ClientControl(SimServer& server, std::string_view rest, const json::object& body) {
    const auto slash = rest.find('/');
    if (slash == std::string_view::npos) {
        return Refused(404, "no control " + std::string(rest));
    }
    const auto id = ClientId(rest.substr(0, slash));
    const std::string_view action = rest.substr(slash + 1);
    if (!id) {
        return Refused(400, "a client id is a number from 1 to 65535");
    }
    if (action != "move" && action != "talk" && action != "mute" && action != "sound") {
        return Refused(404, "no client control " + std::string(action));
    }
    SimClient client;
    try {
        client = server.Client(*id);
    } catch (const std::out_of_range&) {
        return Refused(404, "no client " + std::to_string(*id));
    }
    if (server.Status() == STATUS_DISCONNECTED) {
        return Refused(409, "the server is not connected");
    }
    const bool isUser = client.Id == server.OwnClient();
    if (action == "move") {
        return Move(server, client, body);
    }
    if (action == "talk") {
        return Talk(server, client, body);
    }
    return action == "mute" ? Mute(server, client, isUser, body) : Sound(server, client, isUser, body);
}

} // namespace

ControlAnswer RunControl(SimServer& server, std::string_view path, std::string_view body) {
    const auto object = BodyObject(body);
    if (!object) {
        return Refused(400, "the body must be a JSON object");
    }
    constexpr std::string_view ServerPrefix = "/api/server/";
    if (path.starts_with(ServerPrefix)) {
        return ServerControl(server, path.substr(ServerPrefix.size()));
    }
    if (path.starts_with(ClientsPrefix)) {
        return ClientControl(server, path.substr(ClientsPrefix.size()), *object);
    }
    return Refused(404, "no control " + std::string(path));
}

} // namespace Tralvonic::Sim::Host

#include "GameLinkSettings.h"

#include <boost/json/parse.hpp>
#include <boost/json/value.hpp>

#include <algorithm>
#include <cctype>
#include <charconv>
#include <fstream>
#include <iterator>
#include <optional>
#include <stdexcept>
#include <system_error>

namespace Tralvonic::Sim::Host::Demo {

namespace json = boost::json;

namespace {

constexpr std::size_t MaximumSettingsBytes = 1 << 20;

bool SameIgnoringCase(std::string_view a, std::string_view b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
        return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
    });
}

// The plugin matches keys exactly first, then ignoring letter case.
const json::value* Key(const json::object& settings, std::string_view key) {
    if (const auto* exact = settings.if_contains(key)) {
        return exact;
    }
    for (const auto& member : settings) {
        if (SameIgnoringCase(member.key(), key)) {
            return &member.value();
        }
    }
    return nullptr;
}

std::optional<json::object> ReadObject(const std::filesystem::path& file) {
    std::ifstream stream(file, std::ios::binary);
    if (!stream) {
        return std::nullopt;
    }
    std::string text;
    text.assign(std::istreambuf_iterator<char>(stream), {});
    if (text.size() > MaximumSettingsBytes) {
        return std::nullopt;
    }
    std::error_code error;
    json::value value = json::parse(text, error);
    if (error || !value.is_object()) {
        return std::nullopt;
    }
    return std::move(value.get_object());
}

void SplitAddress(GameLinkSettings& settings) {
    const std::string& address = settings.Address;
    const auto colon = address.rfind(':');
    const auto invalid = std::invalid_argument("the game link's address " + address +
                                               " in settings.json is no IP address with a port");
    if (colon == std::string::npos || colon == 0) {
        throw invalid;
    }
    std::string host = address.substr(0, colon);
    if (host.front() == '[') {
        if (host.size() < 3 || host.back() != ']') {
            throw invalid;
        }
        host = host.substr(1, host.size() - 2);
    } else if (host.find(':') != std::string::npos) {
        throw invalid;
    }
    unsigned short port = 0;
    const char* first = address.data() + colon + 1;
    const char* last = address.data() + address.size();
    const auto [end, error] = std::from_chars(first, last, port);
    if (error != std::errc() || end != last || port == 0) {
        throw invalid;
    }
    // A server listening on every interface is reached through the loopback one.
    if (host == "0.0.0.0") {
        host = "127.0.0.1";
    } else if (std::all_of(host.begin(), host.end(), [](char c) { return c == ':' || c == '0'; })) {
        host = "::1";
    }
    settings.Host = host;
    settings.Port = port;
}

} // namespace

GameLinkSettings ReadGameLinkSettings(const std::filesystem::path& settingsFile) {
    GameLinkSettings settings;
    if (const auto file = ReadObject(settingsFile)) {
        const auto* expert = Key(*file, "ExpertMode");
        const auto* address = Key(*file, "WebSocketAddress");
        if (expert != nullptr && expert->is_bool() && expert->get_bool() && address != nullptr &&
            address->is_string()) {
            settings.Address = std::string(address->get_string());
        }
        const auto* timeout = Key(*file, "InstanceTimeout");
        if (timeout != nullptr && timeout->is_int64()) {
            settings.InstanceTimeoutSeconds =
                static_cast<int>(std::clamp<std::int64_t>(timeout->get_int64(), 0, 3600));
        }
    }
    SplitAddress(settings);
    return settings;
}

} // namespace Tralvonic::Sim::Host::Demo

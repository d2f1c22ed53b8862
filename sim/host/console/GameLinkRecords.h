#pragma once
// What the console heard on the plugin's game link: whether it is connected, and the latest
// records the plugin broadcast (talk, radio traffic, sound, instance and plugin states,
// errors, resets), oldest first, at most MaxRecords. Pings and pongs are left out: the
// keepalive would push everything else out within a minute. Any thread.

#include <boost/json/object.hpp>

#include <cstdint>
#include <deque>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace Tralvonic::Sim::Host {

struct GameLinkRecord {
    std::uint64_t Number = 0; // counts every record kept since the start
    std::string Time;         // wall-clock time of arrival, "HH:MM:SS.mmm"
    std::string Kind;         // "TalkState", ..., "PluginError"
    std::string ServerUniqueIdentifier;
    std::string Text; // the message as it came, cut at MaxTextBytes
};

class GameLinkRecords {
public:
    static constexpr std::size_t MaxRecords = 100;
    static constexpr std::size_t MaxTextBytes = 2048;

    explicit GameLinkRecords(std::string address) : _address(std::move(address)) {}

    void SetConnected(bool connected);
    // One text message of the plugin; kept when it is a record the console lists.
    void Add(std::string_view text);

    // Address, connection, the latest plugin and instance states, and the records.
    boost::json::object Snapshot() const;
    std::vector<GameLinkRecord> Records() const;

private:
    const std::string _address;
    mutable std::mutex _mutex;
    bool _connected = false;                               // guarded by _mutex
    std::deque<GameLinkRecord> _records;                   // guarded by _mutex
    std::uint64_t _kept = 0;                               // guarded by _mutex
    std::optional<std::int64_t> _activeInstances;          // guarded by _mutex
    std::map<std::string, boost::json::object> _instances; // guarded by _mutex; by server
};

} // namespace Tralvonic::Sim::Host

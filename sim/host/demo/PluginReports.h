#pragma once
// What the plugin sends the game, read the way the built-in game session needs it: which
// command it is, the few values the scene waits for, and one line that tells a person watching
// what the plugin reported.

#include <optional>
#include <string>
#include <string_view>

namespace Tralvonic::Sim::Host::Demo {

struct PluginReport {
    static constexpr int BareError = -1;

    int Command = BareError; // the envelope's command; BareError for an error sent without one
    std::string Name;        // TalkState and RadioTrafficState: the player
    bool IsOn = false;       // TalkState: talking; RadioTrafficState: sending
    int State = -1;          // InstanceState: the instance's state number
    std::string Description; // e.g. "TalkState: Bob is talking"
};

// Absent for a text that is not a JSON object.
std::optional<PluginReport> ReadReport(std::string_view text);

} // namespace Tralvonic::Sim::Host::Demo

#pragma once
// The game's side of the scene as a game session built into tralvonic-host knows it. The host
// itself sees only what the plugin asks of it (positions, whisper lists, names, channels); voice
// ranges, radio nets, calls and megaphones live in the game. The demo session publishes this
// view and the console page draws it beside the host's own view when one is there.
//
// The view is one JSON object, replaced whole at every publication:
//   {"Source":"demo",
//    "Self":{"Name":"Hero","X":0,"Y":0,"Z":0,"VoiceRange":8},
//    "Players":[{"Name":"Bob","X":3,"Y":1,"Z":0,"VoiceRange":8,"IsAlive":true}],
//    "Radios":[{"Frequency":"101.1","Members":["Hero","Bob"]}],
//    "Transmissions":[{"Name":"Bob","Frequency":"101.1"}],
//    "Phones":[{"Caller":"Hero","Partner":"Carol"}],
//    "Megaphones":[{"Name":"Dan","Range":30}],
//    "Sounds":["radio-click"],
//    "Step":"a phone call"}
// Any member may be missing; readers draw what is there.

#include <cstdint>
#include <mutex>
#include <string>

namespace Tralvonic::Sim::Host {

class GameView {
public:
    void Publish(std::string json);
    // The latest publication, or an empty text before the first.
    std::string Latest() const;
    // Counts publications, so a reader can tell whether anything changed since it last looked.
    std::uint64_t Version() const;

private:
    mutable std::mutex _mutex;
    std::string _json;
    std::uint64_t _version = 0;
};

} // namespace Tralvonic::Sim::Host

#pragma once
// Parameter of PlaySound and StopSound: a .wav file named without its extension, and the
// game's own handle for the playback. The host's wave handle is the instance's business.

#include "Model/Json.h"

#include <string>

namespace Tralvonic::Model {

struct Sound {
    // Relative to a sound folder, without ".wav". Null reads as empty: nothing to play.
    std::string Filename;
    bool IsLoop = false;
    // Blank means the file name is the handle.
    std::string Handle;

    bool operator==(const Sound&) const = default;
};
BOOST_DESCRIBE_STRUCT(Sound, (), (Filename, IsLoop, Handle))

} // namespace Tralvonic::Model

#pragma once
// The user's settings (settings.json). Members are in file order; the JSON description
// of this record lives beside it in Configuration.cpp.

#include <cstdint>
#include <string>
#include <vector>

namespace Tralvonic {

enum class UpdateBranch : std::int32_t { Stable = 0, Testing = 1, Preview = 2 };
enum class LogLevel : std::int32_t {
    Error = 0,
    Warning = 1,
    Info = 2,
    Debug = 3,
    Extensive = 4,
    ExtensiveDebug = 5
};
enum class StereoMode : std::int32_t { Stereo = 0, LeftOnly = 1, RightOnly = 2 };
enum class MicClickMode : std::int32_t { ScriptDependent = 0, Never = 1, Always = 2 };

struct Configuration {
    std::string WebSocketAddress = "127.0.0.1:38088";
    Tralvonic::UpdateBranch UpdateBranch = Tralvonic::UpdateBranch::Stable;
    std::vector<std::string> OriginExceptions = DefaultOriginExceptions();
    std::int32_t InstanceTimeout = 6;
    bool Is3dEnabled = true;
    bool ExpertMode = false;
    Tralvonic::LogLevel LogLevel = Tralvonic::LogLevel::Info;
    Tralvonic::StereoMode PhoneOffset = Tralvonic::StereoMode::RightOnly;
    Tralvonic::StereoMode RadioOffset = Tralvonic::StereoMode::LeftOnly;
    Tralvonic::StereoMode SecondaryRadioOffset = Tralvonic::StereoMode::RightOnly;
    Tralvonic::MicClickMode MicClickMode = Tralvonic::MicClickMode::ScriptDependent;

    // Resets the keys that can break the plugin to their defaults unless ExpertMode is on.
    // True when nothing had to be changed.
    bool ValidateExpertMode();

    static std::vector<std::string> DefaultOriginExceptions();

    bool operator==(const Configuration&) const = default;
};

} // namespace Tralvonic

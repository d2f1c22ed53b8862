#pragma once
// The settings file's form of Configuration: keys in member order, enumerations written as
// member names. Include this, not a second description, wherever the settings are (de)serialised.

#include "Model/Json.h"
#include "core/Configuration.h"

namespace Tralvonic {

BOOST_DESCRIBE_ENUM(UpdateBranch, Stable, Testing, Preview)
BOOST_DESCRIBE_ENUM(LogLevel, Error, Warning, Info, Debug, Extensive, ExtensiveDebug)
BOOST_DESCRIBE_ENUM(StereoMode, Stereo, LeftOnly, RightOnly)
BOOST_DESCRIBE_ENUM(MicClickMode, ScriptDependent, Never, Always)

BOOST_DESCRIBE_STRUCT(Configuration, (),
                      (WebSocketAddress, UpdateBranch, OriginExceptions, InstanceTimeout, Is3dEnabled,
                       ExpertMode, LogLevel, PhoneOffset, RadioOffset, SecondaryRadioOffset, MicClickMode))

} // namespace Tralvonic

namespace Tralvonic::Model {

template <> inline constexpr EnumForm EnumJsonForm<Tralvonic::UpdateBranch> = EnumForm::Name;
template <> inline constexpr EnumForm EnumJsonForm<Tralvonic::LogLevel> = EnumForm::Name;
template <> inline constexpr EnumForm EnumJsonForm<Tralvonic::StereoMode> = EnumForm::Name;
template <> inline constexpr EnumForm EnumJsonForm<Tralvonic::MicClickMode> = EnumForm::Name;

} // namespace Tralvonic::Model

#pragma once
// Parameter of the PluginState command: the plugin's version and how many game instances are
// registered at the moment the record is made.

#include "Model/Json.h"
#include "version/Version.h"

#include <cstdint>
#include <string>

namespace Tralvonic::Model {

struct PluginState {
    std::string Version{ReleaseVersion};
    std::int32_t ActiveInstances = 0;

    PluginState() = default;
    explicit PluginState(std::int32_t activeInstances) : ActiveInstances(activeInstances) {}

    bool operator==(const PluginState&) const = default;
};
BOOST_DESCRIBE_STRUCT(PluginState, (), (Version, ActiveInstances))

} // namespace Tralvonic::Model

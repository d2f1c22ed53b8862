// The settings file as the plugin reads it at start: a text that reads is validated, and the
// file the plugin would write from it reads back as the same settings.

#include "Model/JsonError.h"
#include "core/ConfigurationJson.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using Tralvonic::Configuration;
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    Configuration configuration;
    try {
        configuration = Tralvonic::Model::ParseJson<Configuration>(text);
    } catch (const Tralvonic::Model::JsonError&) {
        return 0;
    }
    configuration.ValidateExpertMode();
    const auto written = Tralvonic::Model::SerializeJson(configuration);
    Configuration reread;
    try {
        reread = Tralvonic::Model::ParseJson<Configuration>(written);
    } catch (const Tralvonic::Model::JsonError&) {
        std::abort();
    }
    if (!(reread == configuration))
        std::abort();
    return 0;
}

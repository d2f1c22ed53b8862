// The origin filter with a pattern and an origin from the input (split at the first NUL):
// any pattern, valid or not, against any origin ends quickly and never crashes. The default
// patterns decide on the origin as well.

#include "core/Configuration.h"
#include "link/OriginFilter.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static Tralvonic::OriginFilter filter;
    static const auto defaults = Tralvonic::Configuration::DefaultOriginExceptions();
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    const auto split = input.find('\0');
    const std::string pattern(input.substr(0, split));
    const std::string_view origin =
        split == std::string_view::npos ? std::string_view() : input.substr(split + 1);
    filter.Matches(pattern, origin);
    filter.IsAllowed(std::string(origin), defaults);
    return 0;
}

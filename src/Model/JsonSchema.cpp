#include "Model/JsonSchema.h"

namespace Tralvonic::Model::Detail {

std::string CaseBlindPattern(std::string_view name) {
    std::string pattern;
    for (const char c : name) {
        const bool upper = c >= 'A' && c <= 'Z';
        const bool lower = c >= 'a' && c <= 'z';
        if (upper || lower) {
            pattern += '[';
            pattern += upper ? c : static_cast<char>(c - 'a' + 'A');
            pattern += upper ? static_cast<char>(c - 'A' + 'a') : c;
            pattern += ']';
        } else {
            pattern += c;
        }
    }
    return pattern;
}

} // namespace Tralvonic::Model::Detail

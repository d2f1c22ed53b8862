#include "TeamSpeak/ArgumentError.h"

#include <utility>

namespace TeamSpeak {

namespace {

std::string Describe(const std::string& paramName, const std::string& message) {
    return message + " (Parameter '" + paramName + "')";
}

} // namespace

ArgumentError::ArgumentError(std::string paramName, std::string message)
    : std::invalid_argument(Describe(paramName, message)), _paramName(std::move(paramName)),
      _message(std::move(message)) {}

ArgumentError ArgumentError::Missing(std::string paramName) {
    return ArgumentError(std::move(paramName), "Value cannot be null.");
}

} // namespace TeamSpeak

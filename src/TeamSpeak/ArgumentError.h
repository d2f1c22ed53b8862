#pragma once
// A bad argument to a value type or helper: carries the offending parameter's name and a
// message, so callers and tests can tell which argument was wrong without parsing text.

#include <stdexcept>
#include <string>

namespace TeamSpeak {

class ArgumentError : public std::invalid_argument {
public:
    ArgumentError(std::string paramName, std::string message);

    // For a required argument that was not given at all.
    static ArgumentError Missing(std::string paramName);

    const std::string& ParamName() const noexcept { return _paramName; }
    const std::string& Message() const noexcept { return _message; }

private:
    std::string _paramName;
    std::string _message;
};

} // namespace TeamSpeak

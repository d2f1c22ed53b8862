#pragma once
// A JSON text or value that does not fit the record it is read into. The description names
// the key path from the top-level record down to the offending value, so a dropped game
// message or a rejected settings file can be traced in the log.

#include <cstddef>
#include <exception>
#include <string>
#include <string_view>

namespace Tralvonic::Model {

class JsonError : public std::exception {
public:
    explicit JsonError(std::string reason);

    const char* what() const noexcept override { return _message.c_str(); }
    // Dotted key path with array indexes, e.g. "PlayerStates[2].Position.X"; empty at top level.
    const std::string& Path() const noexcept { return _path; }
    const std::string& Reason() const noexcept { return _reason; }

    // Called while the error travels outwards through nested records and lists.
    void PrependKey(std::string_view key);
    void PrependIndex(std::size_t index);

private:
    void Compose();

    std::string _reason;
    std::string _path;
    std::string _message;
};

} // namespace Tralvonic::Model

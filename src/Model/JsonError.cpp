#include "Model/JsonError.h"

#include <utility>

namespace Tralvonic::Model {

JsonError::JsonError(std::string reason) : _reason(std::move(reason)) {
    Compose();
}

void JsonError::PrependKey(std::string_view key) {
    if (_path.empty() || _path.front() == '[') {
        _path.insert(0, key);
    } else {
        _path.insert(0, std::string(key) + ".");
    }
    Compose();
}

void JsonError::PrependIndex(std::size_t index) {
    const bool keyFollows = !_path.empty() && _path.front() != '[';
    _path.insert(0, "[" + std::to_string(index) + (keyFollows ? "]." : "]"));
    Compose();
}

void JsonError::Compose() {
    _message = _path.empty() ? _reason : "Error reading '" + _path + "': " + _reason;
}

} // namespace Tralvonic::Model

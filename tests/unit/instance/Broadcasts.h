#pragma once
// What the instance broadcasts to the game, seen in process through the broadcast observer:
// the exact texts a connected game would receive, whether or not a server runs.

#include "link/Messages.h"

#include <mutex>
#include <string>
#include <string_view>
#include <vector>

namespace Tralvonic::Test {

class Broadcasts {
public:
    Broadcasts() {
        SetBroadcastObserver([this](const std::string& text) {
            std::lock_guard lock(_mutex);
            _texts.push_back(text);
        });
    }
    ~Broadcasts() { SetBroadcastObserver({}); }
    Broadcasts(const Broadcasts&) = delete;
    Broadcasts& operator=(const Broadcasts&) = delete;

    std::vector<std::string> Texts() const {
        std::lock_guard lock(_mutex);
        return _texts;
    }

    // The texts that start like a message of `command`, or like a PluginError when absent.
    std::vector<std::string> Commands(int command) const {
        return Starting(R"({"Command":)" + std::to_string(command) + ",");
    }
    std::vector<std::string> Errors() const { return Starting(R"({"Error":)"); }

    void Clear() {
        std::lock_guard lock(_mutex);
        _texts.clear();
    }

    // The PluginError text the game receives for an InvalidValue report of this server.
    static std::string InvalidValue(std::string_view message, std::string_view server = "uid-alpha") {
        return R"({"Error":6,"Message":")" + std::string(message) + R"(","ServerIdentifier":")" +
               std::string(server) + R"("})";
    }

    // A RadioTrafficState message as the game receives it.
    static std::string Traffic(std::string_view name, bool isSending, bool isPrimary,
                               std::string_view relay = {}, std::string_view server = "uid-alpha") {
        std::string text = R"({"Command":33,"ServerUniqueIdentifier":")" + std::string(server) +
                           R"(","Parameter":{"Name":")" + std::string(name) + R"(","IsSending":)" +
                           (isSending ? "true" : "false") + R"(,"IsPrimaryChannel":)" +
                           (isPrimary ? "true" : "false");
        if (!relay.empty()) {
            text += R"(,"ActiveRelay":")" + std::string(relay) + "\"";
        }
        return text + "}}";
    }

private:
    std::vector<std::string> Starting(const std::string& prefix) const {
        std::vector<std::string> found;
        for (const auto& text : Texts()) {
            if (text.starts_with(prefix)) {
                found.push_back(text);
            }
        }
        return found;
    }

    mutable std::mutex _mutex;
    std::vector<std::string> _texts;
};

} // namespace Tralvonic::Test

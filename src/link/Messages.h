#pragma once
// Sending records to the game: every envelope and error goes out as compact JSON through the
// running WebSocket server. Without a running server nothing is sent. Any thread.

#include "Model/Json.h"

#include <functional>
#include <memory>
#include <string>

namespace Tralvonic {

class Connection;

// Serialised text to one connection, or to every accepted one, logged as a sent record.
void SendSerialized(const std::shared_ptr<Connection>& connection, std::string text);
void BroadcastSerialized(std::string text);

template <class Record> void SendRecord(const std::shared_ptr<Connection>& connection, const Record& record) {
    SendSerialized(connection, Model::SerializeJson(record));
}

template <class Record> void BroadcastRecord(const Record& record) {
    BroadcastSerialized(Model::SerializeJson(record));
}

// Sees every broadcast text before the server (if one runs) takes it, on the broadcasting
// thread, with no lock held; for tests that check what the game would receive without a
// connection. One observer at a time; an empty function removes it.
using BroadcastObserver = std::function<void(const std::string& text)>;
void SetBroadcastObserver(BroadcastObserver observer);

} // namespace Tralvonic

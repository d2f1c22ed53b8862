#include "TeamSpeak/Client.h"

#include "TeamSpeak/Base.h"
#include "TeamSpeak/Logger.h"
#include "TeamSpeak/MetaDataElement.h"
#include "TeamSpeak/OwnedIdentity.h"

#include <algorithm>
#include <cctype>
#include <ostream>

namespace TeamSpeak {

namespace {

constexpr std::size_t ChatBufferSlackBytes = 256;
constexpr const char* VadIdentifier = "vad";

const TS3Functions& Host() {
    return Base::Functions();
}

bool EqualsIgnoringCase(std::string_view left, std::string_view right) {
    return std::ranges::equal(
        left, right, [](unsigned char a, unsigned char b) { return std::tolower(a) == std::tolower(b); });
}

// The host reads id lists up to a 0 entry; an empty list is that entry alone.
template <typename Id> void TerminateList(std::optional<std::vector<Id>>& list) {
    if (list && (list->empty() || list->back() != 0)) {
        list->push_back(0);
    }
}

template <typename Id> std::string ListText(const std::optional<std::vector<Id>>& list) {
    if (!list) {
        return "null";
    }
    std::string text;
    for (const Id id : *list) {
        if (!text.empty()) {
            text += ", ";
        }
        text += std::to_string(id);
    }
    return text;
}

} // namespace

bool Client::IsLocal() const {
    return !IsZero() && _server->LocalClient().Equals(*this);
}

std::string Client::UniqueIdentifier() const {
    char* text = nullptr;
    const bool ok =
        Base::Check(Host().getClientVariableAsString(ServerId(), _id, CLIENT_UNIQUE_IDENTIFIER, &text));
    std::string value = Base::GetString(text, true);
    return ok ? value : std::string{};
}

uint64 Client::DatabaseId() const {
    uint64 value = 0;
    if (!Base::Check(Host().getClientVariableAsUInt64(ServerId(), _id, CLIENT_DATABASE_ID, &value))) {
        return 0;
    }
    return value;
}

std::string Client::Name() const {
    if (IsZero()) {
        return {};
    }
    char* text = nullptr;
    const bool ok = Base::Check(Host().getClientVariableAsString(ServerId(), _id, CLIENT_NICKNAME, &text));
    std::string value = Base::GetString(text, true);
    return ok ? value : std::string{};
}

void Client::SetName(std::string_view name) const {
    if (!IsLocal()) {
        return;
    }
    const Utf8Buffer text = Base::AllocConvertManagedStringToNativeUtf8(name);
    if (Base::Check(Host().setClientSelfVariableAsString(ServerId(), CLIENT_NICKNAME, text.get()))) {
        FlushUpdates();
    }
}

bool Client::Vad() const {
    if (!IsLocal()) {
        return false;
    }
    char* text = nullptr;
    const bool ok = Base::Check(Host().getPreProcessorConfigValue(ServerId(), VadIdentifier, &text));
    const std::string value = Base::GetString(text, true);
    return ok && EqualsIgnoringCase(value, "true");
}

void Client::SetVad(bool enabled) const {
    if (!IsLocal()) {
        return;
    }
    Host().setPreProcessorConfigValue(ServerId(), VadIdentifier, enabled ? "true" : "false");
}

bool Client::IsLocallyMuted() const {
    return IntVariableIs(CLIENT_IS_MUTED, 1);
}

void Client::SetIsLocallyMuted(bool muted) const {
    RequestMute(muted);
}

bool Client::IsTalking() const {
    return IntVariableIs(CLIENT_FLAG_TALKING, 1);
}

bool Client::IsMicrophoneMuted() const {
    return IntVariableIs(CLIENT_INPUT_MUTED, 1);
}

void Client::SetIsMicrophoneMuted(bool muted) const {
    WriteOwnFlag(CLIENT_INPUT_MUTED, muted);
}

bool Client::IsMicrophoneEnabled() const {
    return IntVariableIs(CLIENT_INPUT_DEACTIVATED, 0);
}

void Client::SetIsMicrophoneEnabled(bool enabled) const {
    WriteOwnFlag(CLIENT_INPUT_DEACTIVATED, !enabled);
}

bool Client::IsMicrophoneHarwareActive() const {
    return IntVariableIs(CLIENT_INPUT_HARDWARE, 1);
}

bool Client::IsSoundMuted() const {
    return IntVariableIs(CLIENT_OUTPUT_MUTED, 1);
}

void Client::SetIsSoundMuted(bool muted) const {
    WriteOwnFlag(CLIENT_OUTPUT_MUTED, muted);
}

bool Client::IsSoundEnabled() const {
    return IntVariableIs(CLIENT_OUTPUT_HARDWARE, 1);
}

Channel Client::Channel() const {
    uint64 channel = 0;
    if (!Base::Check(Host().getChannelOfClient(ServerId(), _id, &channel))) {
        return Channel::Zero;
    }
    return TeamSpeak::Channel(_server, channel);
}

Error Client::Move(const TeamSpeak::Channel& channel, std::string_view password) const {
    return channel.Join(*this, password);
}

void Client::Set3DPosition(const TSVector& position) const {
    if (IsLocal()) {
        SetListener(position, TSVector::Zero, TSVector::Zero);
    } else {
        SetSourcePosition(position);
    }
}

void Client::Set3DListenerPosition(const TSVector& position, const TSVector& forward,
                                   const TSVector& up) const {
    if (IsLocal()) {
        SetListener(position, forward, up);
    } else {
        SetSourcePosition(position);
    }
}

void Client::Reset3DPosition() const {
    if (IsLocal()) {
        SetListener(TSVector::Zero, TSVector::Zero, TSVector::Zero);
    } else {
        SetSourcePosition(TSVector::Zero);
    }
}

void Client::SetWhisperTargets(std::optional<std::vector<uint64>> channels,
                               std::optional<std::vector<anyID>> clients) const {
    TerminateList(channels);
    TerminateList(clients);
    Logger::Trace([&] {
        return "SetWhisperTargets | Channel: " + ListText(channels) + " | Clients: " + ListText(clients);
    });
    Base::Check(Host().requestClientSetWhisperList(ServerId(), _id, channels ? channels->data() : nullptr,
                                                   clients ? clients->data() : nullptr, nullptr));
}

void Client::PrintMessage(std::string_view message) const {
    if (!IsLocal()) {
        return;
    }
    // Sized by the UTF-8 length: two bytes per byte of text plus slack leave room for the
    // link tags without cutting text that needs several bytes per character.
    std::vector<char> converted(2 * message.size() + ChatBufferSlackBytes, '\0');
    const Utf8Buffer text = Base::AllocConvertManagedStringToNativeUtf8(message);
    Host().urlsToBB(text.get(), converted.data(), converted.size());
    converted.back() = '\0';
    Host().printMessageToCurrentTab(converted.data());
}

std::string Client::GetMetaData(std::string_view key) const {
    std::string metaData;
    if (!ReadMetaData(metaData)) {
        return {};
    }
    return FindMetaDataElement(metaData, key);
}

void Client::SetMetaData(std::string_view key, std::string_view value) const {
    std::string metaData;
    if (!IsLocal() || !ReadMetaData(metaData)) {
        return;
    }
    WriteMetaData(ReplaceMetaDataElement(metaData, key, value));
}

void Client::RemoveMetaData(std::string_view key) const {
    std::string metaData;
    if (!IsLocal() || !ReadMetaData(metaData)) {
        return;
    }
    WriteMetaData(RemoveMetaDataElement(metaData, key));
}

void Client::FlushUpdates() const {
    Host().flushClientSelfUpdates(ServerId(), nullptr);
}

bool Client::Equals(const Client& other) const {
    return SameOwned(_server, _id, other._server, other._id);
}

std::size_t Client::GetHashCode() const {
    return HashOwned(_server, _id);
}

std::string Client::ToString() const {
    return "Client ID: " + std::to_string(_id) + " | Server ID: " + (_server ? _server->ToString() : "");
}

bool Client::IntVariableIs(std::size_t flag, int expected) const {
    int value = 0;
    Host().getClientVariableAsInt(ServerId(), _id, flag, &value);
    return value == expected;
}

// The host applies own-variable writes only on flush, so these flush whether or not the
// write was taken.
void Client::WriteOwnFlag(std::size_t flag, bool set) const {
    if (!IsLocal()) {
        return;
    }
    Host().setClientSelfVariableAsInt(ServerId(), flag, set ? 1 : 0);
    FlushUpdates();
}

void Client::SetListener(const TSVector& position, const TSVector& forward, const TSVector& up) const {
    Base::Check(Host().systemset3DListenerAttributes(ServerId(), position.HostVector(), forward.HostVector(),
                                                     up.HostVector()));
}

void Client::SetSourcePosition(const TSVector& position) const {
    Base::Check(Host().channelset3DAttributes(ServerId(), _id, position.HostVector()));
}

void Client::RequestMute(bool muted) const {
    const anyID ids[] = {_id, 0};
    if (muted) {
        Host().requestMuteClients(ServerId(), ids, nullptr);
    } else {
        Host().requestUnmuteClients(ServerId(), ids, nullptr);
    }
}

bool Client::ReadMetaData(std::string& metaData) const {
    char* text = nullptr;
    const bool ok = Base::Check(Host().getClientVariableAsString(ServerId(), _id, CLIENT_META_DATA, &text));
    metaData = Base::GetString(text, true);
    return ok;
}

void Client::WriteMetaData(const std::string& metaData) const {
    const Utf8Buffer text = Base::AllocConvertManagedStringToNativeUtf8(metaData);
    if (Base::Check(Host().setClientSelfVariableAsString(ServerId(), CLIENT_META_DATA, text.get()))) {
        FlushUpdates();
    }
}

std::ostream& operator<<(std::ostream& stream, const Client& client) {
    return stream << client.ToString();
}

} // namespace TeamSpeak

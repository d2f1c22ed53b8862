#include "TeamSpeak/Permissions.h"

#include "TeamSpeak/Base.h"

#include <string>

namespace TeamSpeak {

std::uint32_t Permissions::IdByName(const Server& server, std::string_view name) {
    const std::string permissionName(name);
    unsigned int id = 0;
    Base::Functions().getPermissionIDByName(server.Id(), permissionName.c_str(), &id);
    return id;
}

std::optional<std::string> Permissions::NameById(const Server& server, std::uint32_t id,
                                                 std::source_location location) {
    constexpr std::size_t BufferSize = 512;
    char buffer[BufferSize] = {};
    if (!Base::Check(Base::Functions().getPermissionNameByID(server.Id(), id, buffer, BufferSize),
                     location)) {
        return std::nullopt;
    }
    buffer[BufferSize - 1] = '\0';
    return Base::MarshalNativeUtf8ToManagedString(buffer);
}

void Permissions::RequestOverview(const Server& server, uint64 clientDatabaseId, uint64 channelId,
                                  std::string_view returnCode) {
    const std::string code(returnCode);
    Base::Functions().requestPermissionOverview(server.Id(), clientDatabaseId, channelId, code.c_str());
}

} // namespace TeamSpeak

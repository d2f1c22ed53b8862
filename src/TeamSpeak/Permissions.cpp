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

} // namespace TeamSpeak

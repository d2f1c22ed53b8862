#include "Model/TSVectorJson.h"

namespace Tralvonic::Model {
namespace {

void ReadComponent(const boost::json::object& object, const char* key, float& component) {
    const boost::json::value* json = Detail::FindMember(object, key);
    if (json == nullptr)
        return;
    try {
        JsonMapping<float>::Read(*json, component);
    } catch (JsonError& error) {
        error.PrependKey(key);
        throw;
    }
}

} // namespace

void JsonMapping<TeamSpeak::TSVector>::Read(const boost::json::value& json, TeamSpeak::TSVector& target) {
    const auto& object = Detail::RequireObject(json);
    TeamSpeak::TSVector result;
    ReadComponent(object, "X", result.X);
    ReadComponent(object, "Y", result.Y);
    ReadComponent(object, "Z", result.Z);
    target = result;
}

boost::json::value JsonMapping<TeamSpeak::TSVector>::Write(const TeamSpeak::TSVector& value) {
    boost::json::object object;
    object.emplace("X", Detail::WriteFloat(value.X));
    object.emplace("Y", Detail::WriteFloat(value.Y));
    object.emplace("Z", Detail::WriteFloat(value.Z));
    return object;
}

} // namespace Tralvonic::Model

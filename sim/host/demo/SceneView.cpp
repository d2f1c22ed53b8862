#include "SceneView.h"

#include "SceneState.h"

#include <boost/json/array.hpp>
#include <boost/json/object.hpp>
#include <boost/json/serialize.hpp>

#include <algorithm>

namespace Tralvonic::Sim::Host::Demo {

namespace json = boost::json;

PlayerState* SceneState::FindPlayer(const std::string& name) {
    const auto found = std::find_if(Players.begin(), Players.end(),
                                    [&](const PlayerState& player) { return player.Name == name; });
    return found == Players.end() ? nullptr : &*found;
}

namespace {

template <typename Item, typename Write> json::array Each(const std::vector<Item>& items, Write write) {
    json::array array;
    for (const Item& item : items) {
        array.emplace_back(write(item));
    }
    return array;
}

json::value Text(const std::string& text) {
    return json::value(text);
}

} // namespace

std::string SceneViewJson(const SceneState& scene) {
    json::object view;
    view["Source"] = "demo";
    view["Self"] = json::object{{"Name", scene.SelfName},
                                {"X", scene.Self.Location.X},
                                {"Y", scene.Self.Location.Y},
                                {"Z", scene.Self.Location.Z},
                                {"VoiceRange", scene.Self.VoiceRange}};
    view["Players"] = Each(scene.Players, [](const PlayerState& player) {
        return json::object{
            {"Name", player.Name},    {"X", player.Location.X},          {"Y", player.Location.Y},
            {"Z", player.Location.Z}, {"VoiceRange", player.VoiceRange}, {"IsAlive", player.IsAlive}};
    });
    view["Radios"] = Each(scene.Radios, [](const RadioNet& net) {
        return json::object{{"Frequency", net.Frequency}, {"Members", Each(net.Members, Text)}};
    });
    view["Transmissions"] = Each(scene.Transmissions, [](const Transmission& transmission) {
        return json::object{{"Name", transmission.Name}, {"Frequency", transmission.Frequency}};
    });
    view["Phones"] = Each(scene.Phones, [](const PhoneCall& call) {
        return json::object{{"Caller", call.Caller}, {"Partner", call.Partner}};
    });
    view["Megaphones"] = Each(scene.Megaphones, [](const MegaphoneCommunication& megaphone) {
        return json::object{{"Name", megaphone.Name}, {"Range", megaphone.Range}};
    });
    view["Sounds"] = Each(scene.Sounds, Text);
    view["Step"] = scene.Step;
    return json::serialize(view);
}

} // namespace Tralvonic::Sim::Host::Demo

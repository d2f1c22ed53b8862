// The blocks the plugin hands to the host: its menu (array and records) and the info panel
// texts, which the host gives back through ts3plugin_freeMemory. Under AddressSanitizer a
// block that is never released, or released twice, fails the run.

#include "unit/plugin/PluginFixture.h"

namespace Tralvonic::Test {
namespace {

using Menus = PluginTest;

TEST_F(Menus, TwoGlobalEntriesWithoutIcons) {
    ASSERT_EQ(StartPlugin(), 0);

    const auto& menus = Driver->Menus();
    ASSERT_EQ(menus.size(), 2u);
    EXPECT_EQ(menus[0].Type, TeamSpeak::PLUGIN_MENU_TYPE_GLOBAL);
    EXPECT_EQ(menus[0].Id, 1);
    EXPECT_EQ(menus[0].Text, "Settings");
    EXPECT_EQ(menus[0].Icon, "");
    EXPECT_EQ(menus[1].Type, TeamSpeak::PLUGIN_MENU_TYPE_GLOBAL);
    EXPECT_EQ(menus[1].Id, 2);
    EXPECT_EQ(menus[1].Text, "Troubleshooting");
    EXPECT_EQ(menus[1].Icon, "");
}

TEST_F(Menus, ArrayEndsWithNullAndNoMenuIconIsGiven) {
    TeamSpeak::PluginMenuItem** items = nullptr;
    char* icon = reinterpret_cast<char*>(&items); // anything but null
    ts3plugin_initMenus(&items, &icon);

    ASSERT_NE(items, nullptr);
    EXPECT_EQ(icon, nullptr);
    ASSERT_NE(items[0], nullptr);
    ASSERT_NE(items[1], nullptr);
    EXPECT_EQ(items[2], nullptr);
    for (auto** item = items; *item != nullptr; ++item) {
        ts3plugin_freeMemory(*item);
    }
    ts3plugin_freeMemory(items);
}

using InfoPanel = PluginTest;

TEST_F(InfoPanel, ServerAndChannelItemsNameTheirIds) {
    auto& server = AddServer("uid-alpha");
    ASSERT_EQ(StartPlugin(), 0);

    EXPECT_EQ(Driver->InfoData(server.Handler(), 0, TeamSpeak::PLUGIN_SERVER), "Server UID: uid-alpha");
    EXPECT_EQ(Driver->InfoData(server.Handler(), 18446744073709551615ull, TeamSpeak::PLUGIN_CHANNEL),
              "Channel ID: 18446744073709551615");
    EXPECT_EQ(Driver->InfoData(server.Handler(), 7, static_cast<TeamSpeak::PluginItemType>(3)), std::nullopt);
}

TEST_F(InfoPanel, ClientItemShowsThePluginVersionThatClientAnnounced) {
    auto& server = AddServer("uid-alpha");
    const auto lobby = *server.FindChannel("Lobby");
    const auto withPlugin = server.AddClient("WithPlugin", lobby);
    const auto withoutPlugin = server.AddClient("WithoutPlugin", lobby);
    const auto blank = server.AddClient("Blank", lobby);
    server.SetClientVariable(withPlugin, TeamSpeak::CLIENT_META_DATA,
                             "<Other>1</Other><Tralvonic>3.0.9</Tralvonic>");
    server.SetClientVariable(withoutPlugin, TeamSpeak::CLIENT_META_DATA, "<Other>1</Other>");
    server.SetClientVariable(blank, TeamSpeak::CLIENT_META_DATA, "<Tralvonic> \t </Tralvonic>");
    ASSERT_EQ(StartPlugin(), 0);

    EXPECT_EQ(Driver->InfoData(server.Handler(), withPlugin, TeamSpeak::PLUGIN_CLIENT), "3.0.9");
    EXPECT_EQ(Driver->InfoData(server.Handler(), withoutPlugin, TeamSpeak::PLUGIN_CLIENT), std::nullopt);
    EXPECT_EQ(Driver->InfoData(server.Handler(), blank, TeamSpeak::PLUGIN_CLIENT), std::nullopt);
    // Only the low 16 bits of the item id name the client.
    EXPECT_EQ(
        Driver->InfoData(server.Handler(), (std::uint64_t{5} << 32) | withPlugin, TeamSpeak::PLUGIN_CLIENT),
        "3.0.9");
    // After the start the user's own client announces this plugin's version.
    EXPECT_EQ(Driver->InfoData(server.Handler(), server.OwnClient(), TeamSpeak::PLUGIN_CLIENT), "3.1.2");
}

TEST_F(InfoPanel, NullDataPointerIsLeftAlone) {
    auto& server = AddServer("uid-alpha");
    ts3plugin_setFunctionPointers(Sim.Functions());
    ts3plugin_infoData(server.Handler(), 1, TeamSpeak::PLUGIN_CHANNEL, nullptr);
    char* data = reinterpret_cast<char*>(&data);
    ts3plugin_infoData(server.Handler(), 1, static_cast<TeamSpeak::PluginItemType>(3), &data);
    EXPECT_EQ(data, nullptr);
}

} // namespace
} // namespace Tralvonic::Test

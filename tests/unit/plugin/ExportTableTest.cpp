// What the host sees of the library before it starts it: the plain answers about the plugin.
// That it exports exactly the 32 entry points is read from the ELF file in
// ExportTablePosix.cpp and from the DLL by the Win64.* checks.

#include "unit/plugin/PluginFixture.h"

#include "TeamSpeak/Base.h"

namespace Tralvonic::Test {
namespace {

TEST(PluginExportTable, SimpleQuestionsGetTheirFixedAnswers) {
    EXPECT_STREQ(ts3plugin_name(), "Tralvonic");
    EXPECT_STREQ(ts3plugin_version(), "3.1.2");
    EXPECT_EQ(ts3plugin_apiVersion(), 26);
    EXPECT_STREQ(ts3plugin_description(), "WebSocket based in-game voice control");
    EXPECT_STREQ(ts3plugin_author(), "Tralvonic Team");
    EXPECT_EQ(ts3plugin_offersConfigure(), TeamSpeak::PLUGIN_OFFERS_CONFIGURE_NEW_THREAD);
    EXPECT_EQ(ts3plugin_requestAutoload(), 0);
    EXPECT_STREQ(ts3plugin_commandKeyword(), "");
    EXPECT_EQ(ts3plugin_processCommand(1, "anything"), 0);
    EXPECT_STREQ(ts3plugin_infoTitle(), "Tralvonic");
    // The host keeps these pointers: they are the same on every call.
    EXPECT_EQ(ts3plugin_name(), ts3plugin_name());
    EXPECT_EQ(ts3plugin_author(), ts3plugin_author());
}

TEST(PluginExportTable, RegisteredPluginIdIsStored) {
    ts3plugin_registerPluginID("tralvonic-test-id");
    EXPECT_EQ(TeamSpeak::Base::PluginId(), "tralvonic-test-id");
    ts3plugin_registerPluginID(nullptr);
    EXPECT_EQ(TeamSpeak::Base::PluginId(), "");
}

} // namespace
} // namespace Tralvonic::Test

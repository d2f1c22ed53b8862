// The plugin library as an ELF file: exactly the 32 entry points defined and exported.

#include <gtest/gtest.h>

#include <cstdio>
#include <memory>
#include <set>
#include <sstream>
#include <string>

namespace Tralvonic::Test {
namespace {

const std::set<std::string> ExpectedExports{
    "ts3plugin_name",
    "ts3plugin_version",
    "ts3plugin_apiVersion",
    "ts3plugin_author",
    "ts3plugin_description",
    "ts3plugin_setFunctionPointers",
    "ts3plugin_init",
    "ts3plugin_shutdown",
    "ts3plugin_registerPluginID",
    "ts3plugin_offersConfigure",
    "ts3plugin_configure",
    "ts3plugin_commandKeyword",
    "ts3plugin_processCommand",
    "ts3plugin_requestAutoload",
    "ts3plugin_infoTitle",
    "ts3plugin_infoData",
    "ts3plugin_initMenus",
    "ts3plugin_onMenuItemEvent",
    "ts3plugin_freeMemory",
    "ts3plugin_onConnectStatusChangeEvent",
    "ts3plugin_onClientMoveEvent",
    "ts3plugin_onClientMoveMovedEvent",
    "ts3plugin_onClientSelfVariableUpdateEvent",
    "ts3plugin_onTalkStatusChangeEvent",
    "ts3plugin_onPermissionOverviewEvent",
    "ts3plugin_onPermissionOverviewFinishedEvent",
    "ts3plugin_onServerPermissionErrorEvent",
    "ts3plugin_onCustom3dRolloffCalculationClientEvent",
    "ts3plugin_onEditPlaybackVoiceDataEvent",
    "ts3plugin_onEditPostProcessVoiceDataEvent",
    "ts3plugin_onEditMixedPlaybackVoiceDataEvent",
    "ts3plugin_onEditCapturedVoiceDataEvent",
};

std::string RunCommand(const std::string& command) {
    std::unique_ptr<FILE, int (*)(FILE*)> pipe(popen(command.c_str(), "r"), pclose);
    if (!pipe) {
        return {};
    }
    std::string output;
    char buffer[4096];
    while (std::size_t read = std::fread(buffer, 1, sizeof buffer, pipe.get())) {
        output.append(buffer, read);
    }
    return output;
}

TEST(PluginExportTable, TheLibraryDefinesExactlyTheThirtyTwoEntryPoints) {
    const std::string table = RunCommand(std::string("nm -D --defined-only ") + TRALVONIC_PLUGIN_LIBRARY);
    ASSERT_FALSE(table.empty());

    // Each line: address, type, name. Anything else defined (a Boost class, a unique symbol,
    // a version node) would be listed too.
    std::set<std::string> defined;
    std::istringstream lines(table);
    std::string address, type, name;
    while (lines >> address >> type >> name) {
        EXPECT_EQ(type, "T") << name;
        defined.insert(name);
    }
    EXPECT_EQ(defined, ExpectedExports);
}

} // namespace
} // namespace Tralvonic::Test

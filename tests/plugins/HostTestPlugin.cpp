// A minimal plugin for the tralvonic-host test: the required exports plus a connection
// event, a few host calls, and a marker line per shutdown in the file named by
// TRALVONIC_TEST_PLUGIN_MARKER, so the test can count shutdowns after the process ended.

#include "TeamSpeak/sdk/HostFunctions.h"

#include <cstdio>
#include <cstdlib>

using namespace TeamSpeak;

namespace {

TS3Functions host{};

void Log(const char* message) {
    host.logMessage(message, LogLevel_INFO, "HostTestPlugin", 0);
}

} // namespace

#ifdef _WIN32
#define TEST_PLUGIN_EXPORT extern "C" __declspec(dllexport)
#else
#define TEST_PLUGIN_EXPORT extern "C" __attribute__((visibility("default")))
#endif

TEST_PLUGIN_EXPORT const char* ts3plugin_name() {
    return "HostTestPlugin";
}

TEST_PLUGIN_EXPORT const char* ts3plugin_version() {
    return "1.0";
}

TEST_PLUGIN_EXPORT int ts3plugin_apiVersion() {
    return 26;
}

TEST_PLUGIN_EXPORT const char* ts3plugin_author() {
    return "Tralvonic tests";
}

TEST_PLUGIN_EXPORT const char* ts3plugin_description() {
    return "Drives the simulated host in tests";
}

TEST_PLUGIN_EXPORT void ts3plugin_setFunctionPointers(const TS3Functions functions) {
    host = functions;
}

TEST_PLUGIN_EXPORT int ts3plugin_init() {
    Log("test plugin: init");
    return 0;
}

TEST_PLUGIN_EXPORT void ts3plugin_shutdown() {
    Log("test plugin: shutdown");
    if (const char* marker = std::getenv("TRALVONIC_TEST_PLUGIN_MARKER")) {
        if (std::FILE* file = std::fopen(marker, "a")) {
            std::fputs("shutdown\n", file);
            std::fclose(file);
        }
    }
}

TEST_PLUGIN_EXPORT void ts3plugin_onConnectStatusChangeEvent(uint64 handler, int status, unsigned int) {
    if (status != STATUS_CONNECTION_ESTABLISHED) {
        return;
    }
    host.setClientSelfVariableAsString(handler, CLIENT_NICKNAME, "Renamed by test plugin");
    host.flushClientSelfUpdates(handler, nullptr);
    anyID own = 0;
    uint64* channels = nullptr;
    if (host.getClientID(handler, &own) == 0 && host.getChannelList(handler, &channels) == 0) {
        if (channels[0] != 0 && channels[1] != 0) {
            host.requestClientMove(handler, own, channels[1], "", nullptr);
        }
        host.freeMemory(channels);
    }
    Log("test plugin: connected");
}

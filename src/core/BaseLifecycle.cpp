#include "core/Base.h"

#include "core/GuiThread.h"
#include "core/LastResort.h"
#include "core/Logger.h"
#include "core/Platform.h"
#include "core/VersionAnnouncement.h"
#include "effects/VoiceDistortion.h"
#include "link/MessageDispatch.h"
#include "link/WebSocket.h"
#include "update/VersionCheck.h"

#include <mutex>
#include <string>

namespace Tralvonic {

namespace {

constexpr std::string_view LineBreak = "\r\n";

std::mutex webSocketMutex;
std::shared_ptr<Tralvonic::WebSocket> runningWebSocket; // guarded by webSocketMutex

void SetWebSocket(std::shared_ptr<Tralvonic::WebSocket> webSocket) {
    std::lock_guard lock(webSocketMutex);
    runningWebSocket = std::move(webSocket);
}

std::string PluginFolder() {
    return Platform::JoinPath(Base::ExtensionFilepath(), Base::Name);
}

// Tells the user why the plugin cannot run: a missing effect library means a broken
// installation; a present one that does not load usually lacks its C++ runtime.
void ReportUnusableEffectLibrary() {
    Platform& platform = Platform::Current();
    const std::string library = Platform::JoinPath(PluginFolder(), Platform::EffectLibraryFileName());
    const std::string caption(Base::Name);
    if (!platform.FileExists(library)) {
        platform.ShowMessageBox(caption,
                                "The installation of Tralvonic is corrupt. A critical library file is "
                                "missing, which is needed for voice "
                                "distortion operations." +
                                    std::string(LineBreak) + std::string(LineBreak) +
                                    "Please close TeamSpeak and try installing Tralvonic one more time. If "
                                    "you still run into this "
                                    "issue, please contact us through our Discord for support.",
                                MessageBoxButtons::Ok, MessageBoxIcon::Error);
        return;
    }
    if (platform.IsSoftwareInstalled(Platform::RuntimeSearchName())) {
        return;
    }
    const std::string text = "Tralvonic needs \"" + std::string(Platform::RuntimeName()) +
                             "\" to run, but it seems like you don't have it installed." +
                             std::string(LineBreak) + std::string(LineBreak) + "Download now?";
    if (platform.ShowMessageBox(caption, text, MessageBoxButtons::YesNo, MessageBoxIcon::Information) ==
        MessageBoxResult::Yes) {
        platform.OpenAddress(Platform::RuntimeDownloadAddress());
    }
}

bool IsEffectLibraryUsable() {
    std::string error;
    if (!VoiceDistortion::Load(PluginFolder(), error)) {
        Logger::LogError(error, LogChannel::Base);
        return false;
    }
    VoiceDistortion::Test();
    return true;
}

} // namespace

std::shared_ptr<Tralvonic::WebSocket> Base::WebSocket() {
    std::lock_guard lock(webSocketMutex);
    return runningWebSocket;
}

int Base::OnPluginStart() {
    Logger::LogInfo("Starting Tralvonic " + std::string(Version), LogChannel::Base);
    GuiThread::Open();
    InstallLastResortHandler();
    Logger::LogExtensive("Added exception event handler", LogChannel::Base);

    SetExtensionFilepath(Platform::Current().PluginDirectory());
    Logger::LogExtensive("Got extension path at " + ExtensionFilepath(), LogChannel::Base);

    Logger::LogExtensive("Checking if VoiceDistortion.dll is available", LogChannel::Base);
    if (!IsEffectLibraryUsable()) {
        ReportUnusableEffectLibrary();
        // The host unloads the library without a stop.
        RunGuarded(GuiThread::Close);
        RemoveLastResortHandler();
        return 1;
    }
    Logger::LogExtensive("VoiceDistortion.dll is available", LogChannel::Base);

    LoadConfiguration();
    StartUp();
    return 0;
}

bool Base::StartUp() {
    Logger::LogExtensive("Checking for a new version in the background...", LogChannel::Base);
    RunGuarded(VersionCheck::Start);
    Logger::LogExtensive("Starting WebSocket...", LogChannel::Base);
    try {
        auto webSocket = std::make_shared<Tralvonic::WebSocket>();
        SetWebSocket(webSocket);
        webSocket->SetMessageHandler(MessageDispatch::OnMessage);
        webSocket->Start();
    } catch (...) {
        Logger::LogError(DescribeCurrentException(), LogChannel::WebSocketStart);
        return false;
    }
    Logger::LogInfo("WebSocket started", LogChannel::WebSocketStart);
    Logger::LogExtensive("Startup successful", LogChannel::Base);
    // Only a plugin whose game link runs tells other users its version.
    RunGuarded(VersionAnnouncement::AnnounceOnConnectedServers);
    return true;
}

void Base::OnPluginStop() {
    // Before anything is joined: a thread waiting for the GUI thread (a box, a window, a
    // permission answer) is released here, and nothing queued for the GUI thread stays behind.
    RunGuarded(GuiThread::Close);
    if (auto webSocket = WebSocket()) {
        try {
            webSocket->Stop();
            SetWebSocket(nullptr);
            Logger::LogInfo("WebSocket stopped", LogChannel::WebSocketStop);
        } catch (...) {
            SetWebSocket(nullptr);
            Logger::LogError(DescribeCurrentException(), LogChannel::WebSocketStop);
        }
    }
    RunGuarded(VersionAnnouncement::WithdrawFromConnectedServers);
    StopGameInstances();
    // The host may unload the library as soon as the stop returns: no window thread or version
    // check may still run then, and the last-resort handler must not point into the library.
    RunGuarded(VersionCheck::Stop);
    RunGuarded(CloseMenuWindows);
    Logger::LogInfo("Stopped", LogChannel::Base);
    RemoveLastResortHandler();
}

} // namespace Tralvonic

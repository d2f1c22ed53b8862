#include "update/VersionCheck.h"

#include "core/Base.h"
#include "core/LastResort.h"
#include "core/Logger.h"
#include "core/Platform.h"
#include "update/WebAPI.h"

#include <atomic>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <utility>

namespace Tralvonic {

namespace {

constexpr std::string_view LineBreak = "\r\n";
constexpr std::string_view NoVersion = "Error fetching version";

struct CheckThread {
    std::mutex Mutex;
    std::jthread Thread;                     // guarded by Mutex
    std::shared_ptr<std::atomic<bool>> Done; // guarded by Mutex; set as the thread's last step
};

CheckThread& State() {
    static CheckThread state;
    return state;
}

std::string OfferText(const std::string& branch, const std::string& onlineVersion) {
    const std::string lineBreak(LineBreak);
    return "Get the latest version now, please make sure your server supports it!" + lineBreak + lineBreak +
           "Update Branch: " + branch + lineBreak + "Your Version: " + std::string(Base::Version) +
           lineBreak + "Latest Version: " + onlineVersion + lineBreak + lineBreak + "Download now?";
}

// Logs the outcome and, for a version other than this one, offers the download.
void Report(const std::optional<std::string>& onlineVersion, const std::stop_token& stop) {
    const std::string branch = WebAPI::BranchName(Base::CurrentConfiguration()->UpdateBranch);
    Logger::LogInfo("Current Version: " + std::string(Base::Version) + " | Online Version: " +
                        (onlineVersion ? *onlineVersion : std::string(NoVersion)) + " (" + branch + ")",
                    LogChannel::Base);
    // Any difference counts, an older or differently written version too.
    if (!onlineVersion || *onlineVersion == Base::Version || stop.stop_requested()) {
        return;
    }
    const MessageBoxResult answer = Platform::Current().ShowMessageBox(
        Base::Name, OfferText(branch, *onlineVersion), MessageBoxButtons::YesNo, MessageBoxIcon::Question);
    if (answer == MessageBoxResult::Yes && !stop.stop_requested()) {
        WebAPI::OpenDownload(*onlineVersion);
    }
}

} // namespace

void VersionCheck::CheckVersion(std::stop_token stop) {
    const std::optional<std::string> onlineVersion = WebAPI::GetVersionAsync(stop);
    if (stop.stop_requested()) {
        return;
    }
    try {
        Report(onlineVersion, stop);
    } catch (...) {
        Logger::LogError({"Couldn't fetch latest version from " + WebAPI::ServiceHostName() + " API.",
                          DescribeCurrentException()},
                         LogChannel::Base);
    }
}

void VersionCheck::Start() {
    auto& state = State();
    std::jthread finished;
    {
        std::lock_guard lock(state.Mutex);
        if (state.Thread.joinable() && !state.Done->load()) {
            return;
        }
        finished = std::move(state.Thread);
        auto done = std::make_shared<std::atomic<bool>>(false);
        state.Done = done;
        state.Thread = std::jthread([done](std::stop_token stop) {
            RunGuarded([&] { CheckVersion(stop); });
            done->store(true);
        });
    }
    // The previous check has already ended; its join does not wait.
    if (finished.joinable()) {
        finished.join();
    }
}

void VersionCheck::Stop() {
    auto& state = State();
    std::jthread thread;
    {
        std::lock_guard lock(state.Mutex);
        thread = std::move(state.Thread);
    }
    if (!thread.joinable()) {
        return;
    }
    thread.request_stop();
    if (thread.get_id() == std::this_thread::get_id()) {
        // A check cannot wait for itself; it ends on its own at the next stop check.
        thread.detach();
        return;
    }
    thread.join();
}

bool VersionCheck::IsRunning() {
    auto& state = State();
    std::lock_guard lock(state.Mutex);
    return state.Thread.joinable() && !state.Done->load();
}

} // namespace Tralvonic

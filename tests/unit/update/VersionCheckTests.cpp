// The once-per-start version check against a local stand-in for the update service: what the
// service is asked, what the log says, when the download is offered and what Yes opens, and
// that the plugin's stop ends a check that is still waiting for the service.

#include "unit/update/LocalHttpServer.h"

#include "TeamSpeak/Base.h"
#include "core/Base.h"
#include "core/LogChannel.h"
#include "support/FakePlatform.h"
#include "update/HttpClient.h"
#include "update/VersionCheck.h"
#include "update/WebAPI.h"

#include "SimulatedClient.h"

#include <gtest/gtest.h>

#include <chrono>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

namespace Tralvonic::Test {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

constexpr auto Deadline = 5s;
constexpr auto SilentService = 1s;
// Severities as the simulated host records them.
constexpr int HostError = 1;
constexpr int HostInfo = 4;

const std::string CheckedPath = "/tralvonic/api/v2/version/Stable/3.1.2";

std::string InfoLine(const std::string& onlineVersion, const std::string& branch = "Stable") {
    return "Current Version: 3.1.2 | Online Version: " + onlineVersion + " (" + branch + ")";
}

// A platform whose message boxes fail, as a desktop that has gone away would.
class BrokenDesktop final : public Platform {
public:
    MessageBoxResult ShowMessageBox(std::string_view, std::string_view, MessageBoxButtons,
                                    MessageBoxIcon) override {
        throw std::runtime_error("no display");
    }
    void OpenAddress(std::string_view) override {}
    bool IsSoftwareInstalled(std::string_view) override { return true; }
    std::string PluginDirectory() override { return "/plugins"; }
    bool FileExists(const std::string&) override { return false; }
    std::unique_ptr<NativeLibrary> OpenLibrary(const std::string&, std::string& error) override {
        error = "not here";
        return nullptr;
    }
};

class VersionCheckTest : public ::testing::Test {
protected:
    VersionCheckTest() {
        TeamSpeak::Base::SetFunctions(Host.Functions());
        Configure(UpdateBranch::Stable);
        WebAPI::SetServiceAddress(Service.Address());
    }

    ~VersionCheckTest() override {
        VersionCheck::Stop();
        WebAPI::SetServiceAddress("");
        Base::SetConfiguration(Configuration{});
    }

    static void Configure(UpdateBranch branch) {
        Configuration configuration;
        configuration.UpdateBranch = branch;
        configuration.WebSocketAddress = "127.0.0.1:0";
        configuration.LogLevel = LogLevel::Extensive;
        Base::SetConfiguration(configuration);
    }

    std::vector<Sim::LogEntry> BaseLines() const {
        std::vector<Sim::LogEntry> lines;
        for (auto& entry : Host.LogEntries()) {
            if (entry.LogId == static_cast<std::uint64_t>(LogChannel::Base)) {
                lines.push_back(std::move(entry));
            }
        }
        return lines;
    }

    Sim::SimulatedClient Host;
    LocalHttpServer Service;
    Testing::FakePlatform System;
    Testing::ScopedPlatform InstalledSystem{System};
};

TEST_F(VersionCheckTest, TheRunningVersionIsLoggedOnceAndNotOffered) {
    Service.Answer(200, "3.1.2");

    VersionCheck::CheckVersion();

    const auto requests = Service.Requests();
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_EQ(requests[0].Target, CheckedPath);
    EXPECT_EQ(requests[0].UserAgent, "Tralvonic 3.1.2");
    const auto lines = BaseLines();
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0].Message, InfoLine("3.1.2"));
    EXPECT_EQ(lines[0].Severity, HostInfo);
    EXPECT_TRUE(System.Boxes().empty());
}

TEST_F(VersionCheckTest, AnyOtherTextIsOfferedEvenTheSameVersionWithALineBreak) {
    Service.Answer(200, "3.1.2\n");
    System.Answer = MessageBoxResult::No;

    VersionCheck::CheckVersion();

    const auto lines = BaseLines();
    ASSERT_EQ(lines.size(), 1u);
    // The service's text reaches the log with its line break written out.
    EXPECT_EQ(lines[0].Message, InfoLine("3.1.2\\n"));
    const auto boxes = System.Boxes();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].Caption, "Tralvonic");
    EXPECT_EQ(boxes[0].Text, "Get the latest version now, please make sure your server supports it!\r\n\r\n"
                             "Update Branch: Stable\r\nYour Version: 3.1.2\r\nLatest Version: 3.1.2\n\r\n\r\n"
                             "Download now?");
    EXPECT_EQ(boxes[0].Buttons, MessageBoxButtons::YesNo);
    EXPECT_EQ(boxes[0].Icon, MessageBoxIcon::Question);
    EXPECT_TRUE(System.OpenedAddresses().empty());
}

TEST_F(VersionCheckTest, YesOpensTheDownloadPageWithTheVersionAsOnePathSegment) {
    System.Answer = MessageBoxResult::Yes;
    Service.Answer(200, "3.1.3");
    VersionCheck::CheckVersion();
    // Whatever the service sends cannot lead the browser elsewhere.
    Service.Answer(200, "../../evil?x=1#y z");
    VersionCheck::CheckVersion();

    const std::string downloads = Service.Address() + "/tralvonic/download/";
    EXPECT_EQ(System.OpenedAddresses(),
              (std::vector<std::string>{downloads + "3.1.3", downloads + "..%2F..%2Fevil%3Fx%3D1%23y%20z"}));
}

TEST_F(VersionCheckTest, AFailureStatusMeansNoVersionWithoutAnErrorLine) {
    for (const unsigned status : {404u, 500u}) {
        Host.ClearLog();
        Service.Answer(status, "3.1.3");

        VersionCheck::CheckVersion();

        const auto lines = BaseLines();
        ASSERT_EQ(lines.size(), 1u) << status;
        EXPECT_EQ(lines[0].Message, InfoLine("Error fetching version")) << status;
        EXPECT_EQ(lines[0].Severity, HostInfo) << status;
    }
    EXPECT_TRUE(System.Boxes().empty());
}

TEST_F(VersionCheckTest, AnUnreachableServiceIsNamedInAnErrorLineBeforeTheVersionLine) {
    WebAPI::SetServiceAddress(LocalHttpServer::UnusedAddress());

    VersionCheck::CheckVersion();

    const std::string prefix = "Couldn't fetch latest version from 127.0.0.1 API:\r\n";
    const auto lines = BaseLines();
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0].Severity, HostError);
    EXPECT_EQ(lines[0].Message.rfind(prefix, 0), 0u) << lines[0].Message;
    EXPECT_GT(lines[0].Message.size(), prefix.size()) << "the transport error's own text follows";
    EXPECT_EQ(lines[1].Message, InfoLine("Error fetching version"));
    EXPECT_TRUE(System.Boxes().empty());
}

TEST_F(VersionCheckTest, TheChosenBranchIsAskedForAndNamedInTheOffer) {
    Configure(UpdateBranch::Preview);
    Service.Answer(200, "3.2.0");

    VersionCheck::CheckVersion();

    const auto requests = Service.Requests();
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_EQ(requests[0].Target, "/tralvonic/api/v2/version/Preview/3.1.2");
    const auto lines = BaseLines();
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0].Message, InfoLine("3.2.0", "Preview"));
    const auto boxes = System.Boxes();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_NE(boxes[0].Text.find("\r\nUpdate Branch: Preview\r\n"), std::string::npos) << boxes[0].Text;
}

TEST_F(VersionCheckTest, AnOfferThatFailsIsLoggedWithTheServiceName) {
    Service.Answer(200, "3.1.3");
    BrokenDesktop desktop;
    Testing::ScopedPlatform installed(desktop);

    VersionCheck::CheckVersion();

    const auto lines = BaseLines();
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0].Message, InfoLine("3.1.3"));
    EXPECT_EQ(lines[1].Message,
              "Couldn't fetch latest version from 127.0.0.1 API.\r\nstd::runtime_error: no display");
    EXPECT_EQ(lines[1].Severity, HostError);
}

TEST_F(VersionCheckTest, AnAnswerBeyondTheBodyLimitCountsAsAFailedTransfer) {
    Service.Answer(200, std::string(HttpClient::MaxBodyBytes + 1, '9'));
    VersionCheck::CheckVersion();
    auto lines = BaseLines();
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0].Severity, HostError);
    EXPECT_EQ(lines[0].Message.rfind("Couldn't fetch latest version from 127.0.0.1 API:\r\n", 0), 0u);
    EXPECT_EQ(lines[1].Message, InfoLine("Error fetching version"));
    EXPECT_TRUE(System.Boxes().empty());

    // Up to the limit the answer is the version, however odd.
    Host.ClearLog();
    Service.Answer(200, std::string(HttpClient::MaxBodyBytes, '9'));
    VersionCheck::CheckVersion();
    lines = BaseLines();
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0].Severity, HostInfo);
    EXPECT_EQ(System.Boxes().size(), 1u);
}

TEST_F(VersionCheckTest, StopEndsACheckWaitingForASilentServiceAtOnce) {
    Service.HoldRequests();
    VersionCheck::Start();
    ASSERT_TRUE(Service.WaitForRequests(1, Deadline));
    // Started twice while it waits: still one check.
    VersionCheck::Start();
    EXPECT_TRUE(VersionCheck::IsRunning());
    // Not a synchronisation: the service stays silent for a while, so that curl's early
    // timers have passed and only the stop can end its wait before the time-out.
    std::this_thread::sleep_for(SilentService);

    const auto stopping = Clock::now();
    VersionCheck::Stop();

    EXPECT_LT(Clock::now() - stopping, Deadline);
    EXPECT_EQ(Service.Requests().size(), 1u);
    EXPECT_TRUE(BaseLines().empty()) << "a stopped check is no failure and has no version to report";
    EXPECT_TRUE(System.Boxes().empty());
}

TEST_F(VersionCheckTest, ThePluginStartBeginsTheCheckAndThePluginStopEndsIt) {
    Service.HoldRequests();

    ASSERT_TRUE(Base::StartUp());
    ASSERT_TRUE(Service.WaitForRequests(1, Deadline));
    const auto stopping = Clock::now();
    Base::OnPluginStop();

    EXPECT_LT(Clock::now() - stopping, Deadline);
    EXPECT_FALSE(VersionCheck::IsRunning())
        << "the service still holds the request; only the stop ends the check";
    std::vector<std::string> messages;
    for (const auto& line : BaseLines()) {
        messages.push_back(line.Message);
    }
    ASSERT_GE(messages.size(), 2u);
    EXPECT_EQ(messages[0], "Checking for a new version in the background...");
    EXPECT_EQ(messages[1], "Starting WebSocket...");
}

} // namespace
} // namespace Tralvonic::Test

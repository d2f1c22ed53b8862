// The three permission events as callback lists: who gets what, in which order, and what
// the host is asked on the way.

#include "unit/plugin/PluginFixture.h"

#include "plugin/TeamSpeakCallback.h"

#include <atomic>
#include <mutex>
#include <thread>

namespace Tralvonic::Test {
namespace {

constexpr unsigned int WhisperPowerId = 77;
constexpr unsigned int NeededWhisperPowerId = 78;

class PermissionEvents : public PluginTest {
protected:
    ~PermissionEvents() override {
        for (auto subscription : _overviewSubscriptions) {
            TeamSpeakCallback::PermissionOverview.Unsubscribe(subscription);
        }
        for (auto subscription : _finishedSubscriptions) {
            TeamSpeakCallback::PermissionOverviewFinished.Unsubscribe(subscription);
        }
        for (auto subscription : _errorSubscriptions) {
            TeamSpeakCallback::PermissionError.Unsubscribe(subscription);
        }
    }

    void StartWithLogLevel(const std::string& level) {
        Folder.WriteSettings(R"({"ExpertMode":true,"WebSocketAddress":"127.0.0.1:0","LogLevel":")" + level +
                             "\"}");
        Sim.SetPermissionId("i_client_whisper_power", WhisperPowerId);
        Sim.SetPermissionId("i_client_needed_whisper_power", NeededWhisperPowerId);
        _server = &AddServer("uid-alpha");
        ASSERT_EQ(StartPlugin(), 0);
    }

    void CollectOverview() {
        _overviewSubscriptions.push_back(
            TeamSpeakCallback::PermissionOverview.Subscribe([this](const PermissionOverviewEventArgs& args) {
                std::lock_guard lock(_mutex);
                _overview.push_back(args);
            }));
        _finishedSubscriptions.push_back(
            TeamSpeakCallback::PermissionOverviewFinished.Subscribe([this] { ++_finished; }));
    }

    // The host answers the overview request with these entries, then the finished event.
    void RequestOverview(std::vector<unsigned int> permissionIds) {
        Sim::PermissionOverviewAnswer answer;
        for (unsigned int id : permissionIds) {
            Sim::PermissionOverviewEntry entry;
            entry.ClientDatabaseId = 101;
            entry.ChannelId = 5;
            entry.OverviewType = 1;
            entry.OverviewId1 = 2;
            entry.OverviewId2 = 3;
            entry.PermissionId = id;
            entry.PermissionValue = static_cast<int>(id) * 10;
            entry.PermissionNegated = 0;
            entry.PermissionSkip = 1;
            answer.Entries.push_back(entry);
        }
        Sim.SetPermissionOverviewAnswer(answer);
        Sim.Functions().requestPermissionOverview(_server->Handler(), 101, 5, "overview");
        Settle();
    }

    std::vector<PermissionOverviewEventArgs> Overview() {
        std::lock_guard lock(_mutex);
        return _overview;
    }

    Sim::SimServer* _server = nullptr;
    std::mutex _mutex;
    std::vector<PermissionOverviewEventArgs> _overview;
    std::atomic<int> _finished{0};
    std::vector<std::uint64_t> _overviewSubscriptions;
    std::vector<std::uint64_t> _finishedSubscriptions;
    std::vector<std::uint64_t> _errorSubscriptions;
};

TEST_F(PermissionEvents, BelowExtensiveDebugTheOverviewOnlyRaisesTheLists) {
    StartWithLogLevel("Extensive");
    CollectOverview();

    RequestOverview({WhisperPowerId, 12});

    const auto overview = Overview();
    ASSERT_EQ(overview.size(), 2u);
    EXPECT_EQ(overview[0].PermissionId, WhisperPowerId);
    EXPECT_EQ(overview[0].PermissionValue, 770);
    EXPECT_EQ(overview[1].PermissionId, 12u);
    EXPECT_EQ(_finished.load(), 1);
    EXPECT_EQ(Sim.CallCount("getPermissionIDByName"), 0u);
    EXPECT_TRUE(LogsOn(LogChannel::Wrapper).empty());
}

TEST_F(PermissionEvents, AtExtensiveDebugTheWhisperPowerEntriesAreLogged) {
    StartWithLogLevel("ExtensiveDebug");
    CollectOverview();

    RequestOverview({WhisperPowerId, 12, NeededWhisperPowerId});

    EXPECT_EQ(Overview().size(), 3u);
    // Both names are looked up for every entry.
    EXPECT_EQ(Sim.CallCount("getPermissionIDByName"), 6u);
    const auto lines = LogsOn(LogChannel::Wrapper);
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[0].Message,
              "OnPermissionOverviewEvent | serverConnectionHandlerId " + std::to_string(_server->Handler()) +
                  " / clientDatabaseId 101 / channelId 5 / overviewType 1 / overviewId1 2 / "
                  "overviewId2 3 / permissionId 77 / permissionValue 770 / permissionNegated 0 / "
                  "permissionSkip 1");
    EXPECT_NE(lines[1].Message.find("/ permissionId 78 /"), std::string::npos);
    EXPECT_EQ(lines[2].Message, "OnPermissionOverviewFinishedEvent");
}

TEST_F(PermissionEvents, PermissionErrorReachesSubscribersAndLeavesItToTheHost) {
    StartWithLogLevel("Info");
    std::vector<PermissionErrorEventArgs> errors;
    _errorSubscriptions.push_back(TeamSpeakCallback::PermissionError.Subscribe(
        [&](const PermissionErrorEventArgs& args) { errors.push_back(args); }));

    EXPECT_EQ(ts3plugin_onServerPermissionErrorEvent(4, "insufficient client permissions", 0xA08, "rc-1", 55),
              0);
    EXPECT_EQ(ts3plugin_onServerPermissionErrorEvent(5, nullptr, 0xA08, nullptr, 56), 0);

    ASSERT_EQ(errors.size(), 2u);
    EXPECT_EQ(errors[0].ServerConnectionHandlerId, 4u);
    EXPECT_EQ(errors[0].ErrorMessage, "insufficient client permissions");
    EXPECT_EQ(errors[0].Error, static_cast<TeamSpeak::Error>(0xA08));
    EXPECT_EQ(errors[0].ReturnCode, "rc-1");
    EXPECT_EQ(errors[0].FailedPermissionId, 55u);
    // Missing texts stay missing rather than empty.
    EXPECT_EQ(errors[1].ErrorMessage, std::nullopt);
    EXPECT_EQ(errors[1].ReturnCode, std::nullopt);
}

TEST_F(PermissionEvents, AFailingSubscriberStaysInsideThePlugin) {
    StartWithLogLevel("Info");
    _errorSubscriptions.push_back(TeamSpeakCallback::PermissionError.Subscribe(
        [](const PermissionErrorEventArgs&) { throw std::runtime_error("subscriber failed"); }));

    std::vector<std::uint64_t> heard;
    _errorSubscriptions.push_back(TeamSpeakCallback::PermissionError.Subscribe(
        [&](const PermissionErrorEventArgs& args) { heard.push_back(args.ServerConnectionHandlerId); }));

    EXPECT_EQ(ts3plugin_onServerPermissionErrorEvent(4, "message", 0xA08, "rc", 55), 0);

    EXPECT_TRUE(Logged(LogChannel::Base, "std::runtime_error: subscriber failed"));
    // The failure is the failing subscriber's alone: the one after it still hears the event.
    EXPECT_EQ(heard, std::vector<std::uint64_t>{4});
}

// The list itself, apart from the host.
TEST(CallbackList, RaisesThePresentSubscribersInSubscriptionOrder) {
    CallbackList<int> list;
    std::vector<std::string> calls;
    const auto first =
        list.Subscribe([&](const int& value) { calls.push_back("first " + std::to_string(value)); });
    list.Subscribe([&](const int& value) { calls.push_back("second " + std::to_string(value)); });
    list.Raise(1);
    list.Unsubscribe(first);
    list.Raise(2);
    list.Unsubscribe(first);

    EXPECT_EQ(calls, (std::vector<std::string>{"first 1", "second 1", "second 2"}));
}

TEST(CallbackList, SubscribersMayChangeTheListWhileItIsRaised) {
    CallbackList<> list;
    int late = 0;
    CallbackList<>::Subscription self = 0;
    self = list.Subscribe([&] {
        // Not called in this round: it was not present when the raise began.
        list.Subscribe([&] { ++late; });
        list.Unsubscribe(self);
    });

    list.Raise();
    EXPECT_EQ(late, 0);
    EXPECT_EQ(list.Count(), 1u);
    list.Raise();
    EXPECT_EQ(late, 1);
}

TEST(CallbackList, ConcurrentSubscribersAndRaisesLoseNoSubscription) {
    CallbackList<int> list;
    std::atomic<int> received{0};
    std::atomic<bool> stop{false};
    std::thread raiser([&] {
        while (!stop.load()) {
            list.Raise(1);
        }
    });
    std::vector<std::thread> subscribers;
    for (int thread = 0; thread < 4; ++thread) {
        subscribers.emplace_back([&] {
            for (int i = 0; i < 200; ++i) {
                const auto subscription = list.Subscribe([&](const int& value) { received += value; });
                if (i % 2 == 0) {
                    list.Unsubscribe(subscription);
                }
            }
        });
    }
    for (auto& subscriber : subscribers) {
        subscriber.join();
    }
    stop = true;
    raiser.join();

    EXPECT_EQ(list.Count(), 400u);
    received = 0;
    list.Raise(1);
    EXPECT_EQ(received.load(), 400);
}

} // namespace
} // namespace Tralvonic::Test

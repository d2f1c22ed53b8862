// Which browser origins may open a game connection: the default patterns, the user's own
// patterns with search semantics, and patterns or origins that must never allow anything.

#include "link/OriginFilter.h"

#include "SimulatedClient.h"

#include "TeamSpeak/Base.h"
#include "core/Base.h"
#include "core/LogChannel.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

namespace Tralvonic {
namespace {

class OriginFilterTest : public ::testing::Test {
protected:
    OriginFilterTest() {
        TeamSpeak::Base::SetFunctions(Sim.Functions());
        Base::SetConfiguration(Configuration{});
    }

    ~OriginFilterTest() override { Base::SetConfiguration(Configuration{}); }

    std::vector<Sim::LogEntry> ForbiddenOriginLines() const {
        std::vector<Sim::LogEntry> lines;
        for (const auto& entry : Sim.LogEntries()) {
            if (entry.LogId == static_cast<std::uint64_t>(LogChannel::WebSocketForbiddenOrigin))
                lines.push_back(entry);
        }
        return lines;
    }

    Sim::SimulatedClient Sim;
    OriginFilter Filter;
};

TEST_F(OriginFilterTest, DefaultPatternsAreTheConfiguredOnes) {
    // The cases below rely on these two patterns being the defaults.
    EXPECT_EQ(Configuration{}.OriginExceptions,
              (std::vector<std::string>{"^http://127\\.0\\.0\\.1:38089$", "^(?:(?!http).)*$"}));
}

TEST_F(OriginFilterTest, AbsentEmptyOrBlankOriginIsAllowed) {
    EXPECT_TRUE(Filter.IsAllowed(std::nullopt));
    EXPECT_TRUE(Filter.IsAllowed(std::string()));
    EXPECT_TRUE(Filter.IsAllowed(std::string(" \t ")));
    // Even with no pattern at all.
    EXPECT_TRUE(Filter.IsAllowed(std::nullopt, {}));
    EXPECT_FALSE(Filter.IsAllowed(std::string("null"), {}));
}

TEST_F(OriginFilterTest, DefaultsAllowTheFixedOriginAndEveryOriginWithoutHttp) {
    for (const char* origin :
         {"http://127.0.0.1:38089", "null", "file://", "app://game.local", "chrome-extension://abcdef",
          "moz-extension://1234", "HTTP://EXAMPLE.COM", "app://héllo.wörld"})
        EXPECT_TRUE(Filter.IsAllowed(std::string(origin))) << origin;
}

TEST_F(OriginFilterTest, DefaultsRefuseOtherHttpOrigins) {
    for (const char* origin :
         {"http://127.0.0.1:38088", "http://127.0.0.1:38089/", "http://127.0.0.1:3808",
          "https://127.0.0.1:38089", "http://localhost:38089", "https://example.com", "app://http.example"})
        EXPECT_FALSE(Filter.IsAllowed(std::string(origin))) << origin;
}

TEST_F(OriginFilterTest, PatternsSearchAnywhereCaseSensitively) {
    const std::vector<std::string> patterns{"example\\.com"};
    EXPECT_TRUE(Filter.IsAllowed(std::string("https://www.example.com:8080"), patterns));
    EXPECT_FALSE(Filter.IsAllowed(std::string("https://www.EXAMPLE.com"), patterns));
    EXPECT_FALSE(Filter.IsAllowed(std::string("https://www.example.org"), patterns));
    EXPECT_TRUE(Filter.Matches("^https://", "https://x"));
    EXPECT_FALSE(Filter.Matches("^https://", " https://x"));
}

TEST_F(OriginFilterTest, InvalidPatternMatchesNothingAndIsLoggedOnce) {
    const std::vector<std::string> patterns{"(unclosed", "^https://game\\.example$"};
    EXPECT_FALSE(Filter.IsAllowed(std::string("(unclosed"), patterns));
    // A later valid pattern still decides.
    EXPECT_TRUE(Filter.IsAllowed(std::string("https://game.example"), patterns));
    EXPECT_FALSE(Filter.Matches("(unclosed", "anything"));

    const auto lines = ForbiddenOriginLines();
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0].Severity, 1); // LogLevel_ERROR
    EXPECT_NE(lines[0].Message.find("\"(unclosed\""), std::string::npos) << lines[0].Message;
}

TEST_F(OriginFilterTest, CatastrophicBacktrackingEndsQuicklyAsNoMatch) {
    const std::string hostile(40, 'a');
    const auto start = std::chrono::steady_clock::now();
    EXPECT_FALSE(Filter.Matches("^(a+)+$", hostile + "b"));
    EXPECT_FALSE(Filter.Matches("^(?:a|a)*$", hostile + "b"));
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(2));
    // The pattern itself is fine where it does not backtrack.
    EXPECT_TRUE(Filter.Matches("^(a+)+$", hostile));
}

TEST_F(OriginFilterTest, LongOriginsAreDecidedLikeShortOnes) {
    // Each character under the default pattern's repeated group costs the JIT stack a frame.
    for (const std::size_t length : {4094u, 8192u, 65536u}) {
        EXPECT_TRUE(Filter.IsAllowed("app://" + std::string(length, 'a'))) << length;
        EXPECT_FALSE(Filter.IsAllowed("app://" + std::string(length, 'a') + "http")) << length;
    }
    EXPECT_TRUE(ForbiddenOriginLines().empty());
}

TEST_F(OriginFilterTest, PatternsThatWouldCompileForSecondsAreReadyAtOnce) {
    // Repeated recursion: tiny to write, seconds for the JIT compiler.
    const auto start = std::chrono::steady_clock::now();
    Filter.Prepare({"(?R){21821}", "^app://(?:(?R)|x){5000}$"});
    EXPECT_FALSE(Filter.Matches("(?R){21821}", "app://game"));
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(2));
    // Without the JIT the pattern still decides.
    EXPECT_TRUE(Filter.Matches("^app://(?:a|b){3000}$", "app://" + std::string(3000, 'a')));
    EXPECT_FALSE(Filter.Matches(std::string(20000, 'a'), std::string(20000, 'a')));
}

TEST_F(OriginFilterTest, OriginThatIsNotUtf8MatchesNothing) {
    // Without the check, "null" would still be found in the valid part of the text.
    EXPECT_FALSE(Filter.Matches("null", "\xff null"));
    EXPECT_FALSE(Filter.IsAllowed(std::string("app://\xc3"), Configuration{}.OriginExceptions));
    EXPECT_FALSE(
        Filter.IsAllowed(std::string("app://\xc0\xaf"), Configuration{}.OriginExceptions)); // overlong
    EXPECT_FALSE(
        Filter.IsAllowed(std::string("app://\xed\xa0\x80"), Configuration{}.OriginExceptions)); // surrogate
    EXPECT_TRUE(Filter.IsAllowed(std::string("app://\xe2\x82\xac"), Configuration{}.OriginExceptions));
}

TEST_F(OriginFilterTest, ConcurrentCallersShareTheCache) {
    std::vector<std::thread> threads;
    std::atomic<int> wrong{0};
    for (int t = 0; t < 4; ++t) {
        threads.emplace_back([&, t] {
            for (int i = 0; i < 200; ++i) {
                const std::string pattern = "^app://game" + std::to_string((i + t) % 20) + "$";
                const std::string origin = "app://game" + std::to_string(i % 20);
                if (Filter.Matches(pattern, origin) != ((i + t) % 20 == i % 20))
                    ++wrong;
            }
        });
    }
    for (auto& thread : threads)
        thread.join();
    EXPECT_EQ(wrong.load(), 0);
}

} // namespace
} // namespace Tralvonic

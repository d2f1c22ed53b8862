// Text, id lists and menu records crossing the host boundary, with every host allocation
// counted by the simulated client: each must come back through freeMemory exactly once.

#include "SimulatedClient.h"

#include "TeamSpeak/Base.h"

#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <stdexcept>

namespace TeamSpeak {
namespace {

class HostConverters : public testing::Test {
protected:
    HostConverters() { Base::SetFunctions(sim.Functions()); }

    void ExpectAllReturnedOnce() {
        EXPECT_EQ(memory().OutstandingBlocks(), 0u);
        EXPECT_EQ(memory().BlocksFreed(), memory().BlocksHandedOut());
        EXPECT_EQ(memory().DoubleFrees(), 0u);
        EXPECT_EQ(memory().UnknownFrees(), 0u);
    }
    Tralvonic::Sim::HostMemory& memory() { return sim.Memory(); }

    Tralvonic::Sim::SimulatedClient sim;
};

TEST_F(HostConverters, NullStringIsEmptyAndNotFreed) {
    EXPECT_EQ(Base::GetString(nullptr, true), "");
    EXPECT_EQ(Base::MarshalNativeUtf8ToManagedString(nullptr), "");
    EXPECT_EQ(sim.CallCount("freeMemory"), 0u);
}

TEST_F(HostConverters, HostStringIsReadAndFreedOnceWhenAsked) {
    char* kept = memory().AllocateString("kept");
    EXPECT_EQ(Base::GetString(memory().AllocateString("Lobby"), true), "Lobby");
    EXPECT_EQ(Base::GetString(kept, false), "kept");
    EXPECT_TRUE(memory().IsOutstanding(kept));
    EXPECT_EQ(sim.CallCount("freeMemory"), 1u);

    sim.Functions().freeMemory(kept);
    ExpectAllReturnedOnce();
}

TEST_F(HostConverters, NonAsciiTextSurvivesTheRoundTrip) {
    const std::string nickname = "Jörg Müßig 🎧 Ωmega";
    auto native = Base::AllocConvertManagedStringToNativeUtf8(nickname);
    EXPECT_EQ(std::strlen(native.get()), nickname.size());
    EXPECT_EQ(Base::MarshalNativeUtf8ToManagedString(native.get()), nickname);
    EXPECT_EQ(Base::GetString(memory().AllocateString(nickname), true), nickname);
    ExpectAllReturnedOnce();
}

TEST_F(HostConverters, IdListsAreReadInOrderWithoutTheTerminator) {
    auto* clients = memory().AllocateZeroTerminated(std::vector<anyID>{7, 3, 65535});
    auto* channels = memory().AllocateZeroTerminated(std::vector<uint64>{1ull << 40, 2});
    auto doubled = Base::GetUshortArray(
        clients, [](anyID id) { return 2 * static_cast<int>(id); }, true);
    auto texts = Base::GetUlongArray(
        channels, [](uint64 id) { return std::to_string(id); }, true);

    EXPECT_EQ(doubled, (std::vector<int>{14, 6, 131070}));
    EXPECT_EQ(texts, (std::vector<std::string>{"1099511627776", "2"}));
    ExpectAllReturnedOnce();
}

TEST_F(HostConverters, EmptyAndNullListsYieldNothing) {
    auto identity = [](anyID id) {
        return id;
    };
    EXPECT_TRUE(Base::GetUshortArray(nullptr, identity, true).empty());
    EXPECT_EQ(sim.CallCount("freeMemory"), 0u);

    // A list that holds only its terminator is still the host's block to free.
    EXPECT_TRUE(
        Base::GetUshortArray(memory().AllocateZeroTerminated(std::vector<anyID>{}), identity, true).empty());
    EXPECT_TRUE(
        Base::GetUlongArray(
            memory().AllocateZeroTerminated(std::vector<uint64>{}), [](uint64 id) { return id; }, true)
            .empty());
    ExpectAllReturnedOnce();
}

TEST_F(HostConverters, ListIsLeftToTheCallerWithoutFreeAndFreedEvenWhenMakeThrows) {
    auto* kept = memory().AllocateZeroTerminated(std::vector<anyID>{1, 2});
    EXPECT_EQ(Base::GetUshortArray(
                  kept, [](anyID id) { return id; }, false)
                  .size(),
              2u);
    EXPECT_TRUE(memory().IsOutstanding(kept));

    auto throwing = [](anyID id) -> anyID {
        throw std::runtime_error(std::to_string(id));
    };
    EXPECT_THROW(Base::GetUshortArray(kept, throwing, true), std::runtime_error);
    ExpectAllReturnedOnce();
}

TEST(ShortArrays, AreWrittenWithoutTerminatorAndNullIsIgnored) {
    std::array<short, 4> buffer{9, 9, 9, 9};
    const std::array<short, 3> values{-1, 0, 32767};
    Base::WriteShortArray(buffer.data(), values);
    EXPECT_EQ(buffer, (std::array<short, 4>{-1, 0, 32767, 9}));
    Base::WriteShortArray(nullptr, values);
}

TEST(MenuItems, CarryTypeIdAndTextsCutTo127Bytes) {
    const std::string longText(200, 'x');
    PluginMenuItem* item = Base::CreateMenuItem(PLUGIN_MENU_TYPE_CLIENT, 2, longText, "icon.png");
    EXPECT_EQ(item->type, PLUGIN_MENU_TYPE_CLIENT);
    EXPECT_EQ(item->id, 2);
    EXPECT_EQ(std::string(item->text), std::string(127, 'x'));
    EXPECT_STREQ(item->icon, "icon.png");
    std::free(item);
}

TEST(MenuItems, CutNeverSplitsAUtf8Character) {
    std::string umlauts;
    for (int i = 0; i < 100; ++i) {
        umlauts += "ü"; // two bytes each, so byte 127 is the middle of a character
    }
    PluginMenuItem* item = Base::CreateMenuItem(PLUGIN_MENU_TYPE_GLOBAL, 1, umlauts, umlauts);
    EXPECT_EQ(std::string(item->text), umlauts.substr(0, 126));
    EXPECT_EQ(std::string(item->icon), umlauts.substr(0, 126));
    std::free(item);

    const std::string exact = "a" + umlauts.substr(0, 126); // 127 bytes: nothing to cut
    item = Base::CreateMenuItem(PLUGIN_MENU_TYPE_GLOBAL, 1, exact, "");
    EXPECT_EQ(std::string(item->text), exact);
    EXPECT_STREQ(item->icon, "");
    std::free(item);
}

} // namespace
} // namespace TeamSpeak

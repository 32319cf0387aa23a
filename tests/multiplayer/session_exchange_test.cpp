// Machines joining a game learn every player, sending refuses what no player could send, and a
// burst of reliable messages arrives whole and in order.
#include "session_fixture.h"

namespace tx::net::test {
namespace {

using Kind = SessionEvent::Kind;

// Three machines: the host with two players, the others with one each.
struct ThreeMachines : TwoMachines {
    void SetUp() override {
        TwoMachines::SetUp();
        if (HasFatalFailure()) return;
        a2 = a.session->createPlayer("a-two");
        c = joinGame(a);
        ASSERT_TRUE(c.session);
        c1 = c.session->createPlayer("c-one");
        ASSERT_TRUE(waitFor({&a, &b}, [&] {
            return a.count(Kind::PlayerCreated) == 2 && b.count(Kind::PlayerCreated) == 3;
        }));
    }
    Machine c;
    int32_t a2 = 0, c1 = 0;
};

TEST_F(ThreeMachines, JoiningMachinesLearnThePlayersOfEveryMachine) {
    // Machines are numbered in joining order and a player id carries its machine's number.
    EXPECT_EQ(a1, 1 << 16 | 1);
    EXPECT_EQ(a2, 1 << 16 | 2);
    EXPECT_EQ(b1, 2 << 16 | 1);
    EXPECT_EQ(c1, 3 << 16 | 1);
    c.drain();
    std::vector<std::pair<int32_t, std::string>> seen;
    for (const auto& e : c.events) {
        ASSERT_EQ(e.kind, Kind::PlayerCreated);
        seen.emplace_back(e.player, e.name);
    }
    std::sort(seen.begin(), seen.end());
    const std::vector<std::pair<int32_t, std::string>> expected{
        {a1, "a-one"}, {a2, "a-two"}, {b1, "b-one"}};
    EXPECT_EQ(seen, expected);
    EXPECT_EQ(a.session->remotePlayers().size(), 2u);
    EXPECT_TRUE(a.session->isHost());
    EXPECT_FALSE(b.session->isHost() || c.session->isHost());

    // Sending refuses what no player could send or receive.
    std::vector<uint8_t> buffer;
    EXPECT_FALSE(a.session->send(b1, a1, true, encodePayload(buffer, b1, a1, 0, "not mine")));
    EXPECT_FALSE(a.session->send(a1, 12345, true, encodePayload(buffer, a1, 12345, 0, "nobody")));
    EXPECT_FALSE(a.session->send(a1, b1, true, encodePayload(buffer, a1, c1, 0, "other to")));
    EXPECT_FALSE(a.session->send(a1, b1, true, std::span<const uint8_t>(buffer.data(), 4)));
    // A player of the same machine needs no network.
    EXPECT_TRUE(a.session->send(a1, a2, true, encodePayload(buffer, a1, a2, 0, "local")));

    ASSERT_TRUE(b.session->destroyPlayer(b1));
    EXPECT_FALSE(b.session->destroyPlayer(b1));
    EXPECT_TRUE(waitFor({&a, &c}, [&] {
        return a.count(Kind::PlayerDestroyed) == 1 && c.count(Kind::PlayerDestroyed) == 1;
    }));
    EXPECT_EQ(a.events.back().player, b1);
    EXPECT_EQ(b.session->createPlayer("b-two"), b1 + 1) << "an id is never given twice";
    // Names are cut to 255 bytes.
    EXPECT_EQ(a.session->createPlayer(std::string(300, 'x')) >> 16, 1);
    ASSERT_TRUE(waitFor({&b}, [&] { return b.count(Kind::PlayerCreated) == 4; }));
    EXPECT_EQ(b.events.back().name.size(), 255u);
}

using SessionExchange = TwoMachines;

TEST_F(SessionExchange, ABurstOfTenThousandReliableMessagesArrivesInOrder) {
    constexpr int kCount = 10000;
    std::vector<uint8_t> buffer;
    for (int i = 0; i < kCount; ++i)
        ASSERT_TRUE(
            a.session->send(a1, b1, true, encodePayload(buffer, a1, b1, 7, std::to_string(i))));
    ASSERT_TRUE(waitFor(
        {&b}, [&] { return b.texts().size() >= kCount; }, 10s))
        << b.texts().size() << " arrived";
    const auto texts = b.texts();
    ASSERT_EQ(texts.size(), size_t{kCount});
    for (int i = 0; i < kCount; ++i) ASSERT_EQ(texts[i], std::to_string(i));
}

}  // namespace
}  // namespace tx::net::test

// Machines leaving or vanishing: their players go, the host's part passes to the machine that
// joined earliest, and a machine left alone after a time-out knows the session is lost.
#include "session_fixture.h"

namespace tx::net::test {
namespace {

using Kind = SessionEvent::Kind;

struct Departure {
    const char* name;
    size_t machines;  // in the game, the host first
    size_t leaver;    // index of the machine that goes
    bool vanishes;    // without a goodbye (noticed by time-out)
};

class SessionDeparture : public ::testing::TestWithParam<Departure> {};

TEST_P(SessionDeparture, TheOthersAgreeOnWhatHappened) {
    const Departure d = GetParam();
    std::vector<Machine> m(d.machines);
    std::vector<int32_t> first(d.machines), second(d.machines);
    m[0] = hostGame("departures");
    ASSERT_TRUE(m[0].session);
    for (size_t i = 0; i < d.machines; ++i) {
        if (i > 0) m[i] = joinGame(m[0]);
        ASSERT_TRUE(m[i].session) << i;
        first[i] = m[i].session->createPlayer("first");
        second[i] = m[i].session->createPlayer("second");
    }
    std::vector<Machine*> all, rest;
    for (auto& x : m) all.push_back(&x);
    for (size_t i = 0; i < d.machines; ++i)
        if (i != d.leaver) rest.push_back(&m[i]);
    ASSERT_TRUE(waitFor(all, [&] {
        for (auto& x : m)
            if (x.count(Kind::PlayerCreated) != 2 * (d.machines - 1)) return false;
        return true;
    }));
    for (auto& x : m) x.events.clear();

    if (d.vanishes)
        m[d.leaver].session->vanish();
    else
        m[d.leaver].session.reset();

    const bool lost = d.machines == 2 && d.vanishes && d.leaver == 0;
    ASSERT_TRUE(waitFor(
        rest,
        [&] {
            for (Machine* x : rest)
                if (x->count(Kind::PlayerDestroyed) != 2) return false;
            return !lost || rest[0]->count(Kind::SessionLost) == 1;
        },
        15s));  // a time-out takes about 3 s; a loaded machine more
    // The host after: the lowest machine still there, or nobody when the session is lost.
    const size_t newHost = d.leaver == 0 ? 1 : 0;
    for (size_t i = 0; i < d.machines; ++i) {
        if (i == d.leaver) continue;
        Machine& x = m[i];
        ASSERT_GE(x.events.size(), 2u);
        EXPECT_EQ(x.events[0].kind, Kind::PlayerDestroyed);
        EXPECT_EQ(x.events[0].player, first[d.leaver]);
        EXPECT_EQ(x.events[1].player, second[d.leaver]);
        EXPECT_EQ(x.count(Kind::SessionLost), lost ? 1u : 0u) << i;
        const bool hosts = !lost && i == newHost;
        EXPECT_EQ(x.session->isHost(), hosts) << i;
        EXPECT_EQ(x.count(Kind::BecameHost), hosts && d.leaver == 0 ? 1u : 0u) << i;
        EXPECT_TRUE(x.session->remotePlayers().size() == 2 * (d.machines - 2));
    }
    if (rest.size() < 2) return;
    // The machines left keep talking.
    ASSERT_TRUE(sendText(*rest[0], first[newHost], 0, "still here"));
    Machine* other = rest[1];
    ASSERT_TRUE(waitFor({other}, [&] {
        const auto t = other->texts();
        return !t.empty() && t.back() == "still here";
    }));
}

INSTANTIATE_TEST_SUITE_P(Session, SessionDeparture,
                         ::testing::Values(Departure{"HostLeavesThree", 3, 0, false},
                                           Departure{"HostVanishesThree", 3, 0, true},
                                           Departure{"ClientLeavesThree", 3, 2, false},
                                           Departure{"HostLeavesTwo", 2, 0, false},
                                           Departure{"HostVanishesTwo", 2, 0, true}),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace tx::net::test

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
    std::vector<Machine*> all, rest;
    for (size_t i = 0; i < d.machines; ++i) {
        m[i] = i == 0 ? hostGame("departures") : joinGame(m[0]);
        ASSERT_TRUE(m[i].session) << i;
        first[i] = m[i].session->createPlayer("first");
        second[i] = m[i].session->createPlayer("second");
        all.push_back(&m[i]);
        if (i != d.leaver) rest.push_back(&m[i]);
    }
    const auto each = [](const std::vector<Machine*>& machines, auto holds) {
        return std::all_of(machines.begin(), machines.end(), holds);
    };
    ASSERT_TRUE(waitFor(all, [&] {
        return each(
            all, [&](Machine* x) { return x->count(Kind::PlayerCreated) == 2 * (d.machines - 1); });
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
            return each(rest, [](Machine* x) { return x->count(Kind::PlayerDestroyed) == 2; }) &&
                   (!lost || rest[0]->count(Kind::SessionLost) == 1);
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

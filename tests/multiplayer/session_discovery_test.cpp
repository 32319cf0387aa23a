// Finding games: by address, by host name, on the game port, and not once they are gone; joining
// only a game that is there; the game port.
#include "session_fixture.h"

namespace tx::net::test {
namespace {

TEST(SessionDiscovery, FindsTheHostedGameHoweverTheAddressIsWrittenAndJoinsOnlyIt) {
    Machine vanished = hostGame("gone"), left = hostGame("left");
    Machine host = hostGame("Arena of Night");
    ASSERT_TRUE(host.session && vanished.session && left.session);
    vanished.session->vanish();
    left.session.reset();
    // The bare address asks on the game port, which names the host's here (hosted last).
    const std::string port = std::to_string(host.port);
    std::vector<SessionListing> found;
    for (const std::string& address :
         {"127.0.0.1:" + port, "localhost:" + port, std::string("127.0.0.1")}) {
        found = findSessions(address, 2s).value_or(std::vector<SessionListing>{});
        ASSERT_EQ(found.size(), 1u) << address;
        EXPECT_EQ(found[0].name, "Arena of Night");
        EXPECT_EQ(found[0].address, "127.0.0.1");
        EXPECT_EQ(found[0].port, host.port);
    }
    const std::string none = std::to_string(tx::test::freeUdpPort());
    for (const std::string& address :
         {loopback(vanished.port), loopback(left.port), "127.0.0.1:" + none}) {
        const auto nothing = findSessions(address, 100ms);
        ASSERT_TRUE(nothing.has_value()) << address;
        EXPECT_TRUE(nothing->empty()) << address;
    }
    for (const std::string& address :
         std::vector<std::string>{"127.0.0.1:0", "127.0.0.1:x1", "127.0.0.1:70000", ":" + none,
                                  "no.such.host.invalid:" + none})
        EXPECT_FALSE(findSessions(address, 100ms).has_value()) << address;

    // Joining what is no game fails, and the game goes on.
    SessionListing wrongInstance = found[0];
    wrongInstance.instance[0] ^= 1;
    SessionListing noAddress = found[0];
    noAddress.address = "not an address";
    SessionListing noPort = found[0];
    noPort.port = 0;
    // The game port is taken now.
    EXPECT_FALSE(NetSession::host("second"));
    for (const auto& listing : {wrongInstance, noAddress, noPort})
        EXPECT_FALSE(NetSession::join(listing)) << listing.address << ":" << listing.port;
    Machine guest;
    guest.session = NetSession::join(found[0]);
    ASSERT_TRUE(guest.session);
    const int32_t g = guest.session->createPlayer("g");
    ASSERT_TRUE(waitFor({&host}, [&] { return host.session->remotePlayers().size() == 1; }));
    // The refused machines took no machine number.
    EXPECT_EQ(g, 2 << 16 | 1);
}

TEST(SessionDiscovery, TheGamePortComesFromTheEnvironmentWhenItIsAPortNumber) {
    const struct {
        const char* value;
        uint16_t port;
    } cases[] = {{"31000", 31000},       {"0", kDefaultPort}, {"65536", kDefaultPort},
                 {"12ab", kDefaultPort}, {"", kDefaultPort},  {"65535", 65535}};
    for (const auto& c : cases) {
        ::setenv("TERVEX_NET_PORT", c.value, 1);
        EXPECT_EQ(gamePort(), c.port) << c.value;
    }
    ::unsetenv("TERVEX_NET_PORT");
    EXPECT_EQ(gamePort(), kDefaultPort);
}

}  // namespace
}  // namespace tx::net::test

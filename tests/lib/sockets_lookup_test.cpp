// Addresses as text and host name lookups.
#include <algorithm>
#include <string>

#include "host_lookup.h"
#include "socket_address.h"
#include "socket_commands.h"
#include "sockets_fixture.h"

namespace tx {
namespace {

using test::kLoopback;

class SocketsLookupTest : public test::SocketsTest {
protected:
    static std::string dotted(int32_t ip) {
        const Str s = dottedIP(ip);
        std::string result(strText(s.handle));
        strRelease(s.handle);
        return result;
    }
};

TEST_F(SocketsLookupTest, DottedIPWritesTheBytesMostSignificantFirst) {
    EXPECT_EQ(dotted(0), "0.0.0.0");
    EXPECT_EQ(dotted(-1), "255.255.255.255");
    EXPECT_EQ(dotted(2130706433), "127.0.0.1");
    EXPECT_EQ(dotted(-1062731775), "192.168.0.1");
    EXPECT_EQ(dotted(0x0A00FF07), "10.0.255.7");
}

TEST_F(SocketsLookupTest, DottedTextParsesOnlyAddresses) {
    EXPECT_EQ(parseDotted("127.0.0.1"), 0x7F000001u);
    EXPECT_EQ(parseDotted("192.168.0.1"), 0xC0A80001u);
    EXPECT_EQ(parseDotted("127.1"), 0x7F000001u) << "the short form names the same address";
    EXPECT_EQ(parseDotted("255.255.255.255"), 0xFFFFFFFFu)
        << "the broadcast address is an address, not a failure";
    EXPECT_FALSE(parseDotted("localhost"));
    EXPECT_FALSE(parseDotted(""));
    EXPECT_FALSE(parseDotted("1.2.3.256"));
    EXPECT_FALSE(parseDotted(std::string_view("10.0.0.1\0junk", 13)));
}

TEST_F(SocketsLookupTest, CountHostIPsStoresTheAddressesForHostIP) {
    ASSERT_EQ(countHostIPs(test::sockets(), text("127.0.0.1")), 1);
    EXPECT_EQ(hostIP(test::sockets(), 1), kLoopback);

    const int32_t count = countHostIPs(test::sockets(), text("localhost"));
    ASSERT_GE(count, 1);
    std::vector<int32_t> found;
    for (int32_t i = 1; i <= count; ++i) found.push_back(hostIP(test::sockets(), i));
    EXPECT_NE(std::find(found.begin(), found.end(), kLoopback), found.end());
    EXPECT_EQ(hostIP(test::sockets(), count + 1), 0)
        << "past the end gives 0 with the debug flag clear";
    EXPECT_EQ(hostIP(test::sockets(), 0), 0);
    EXPECT_EQ(hostIP(test::sockets(), -5), 0);
}

TEST_F(SocketsLookupTest, AFailedLookupLeavesTheListEmpty) {
    ASSERT_EQ(countHostIPs(test::sockets(), text("127.0.0.1")), 1);
    EXPECT_EQ(countHostIPs(test::sockets(), text("no-such-host.invalid")), 0);
    EXPECT_EQ(hostIP(test::sockets(), 1), 0) << "the earlier result is gone";

    EXPECT_EQ(countHostIPs(test::sockets(), text(std::string_view("localhost\0.evil", 15))), 0)
        << "a name with a zero byte inside is not cut short and looked up";
}

TEST_F(SocketsLookupTest, ReservedInvalidNamesNeverReachTheResolver) {
    EXPECT_TRUE(reservedInvalidName("invalid"));
    EXPECT_TRUE(reservedInvalidName("host.invalid"));
    EXPECT_TRUE(reservedInvalidName("a.b.INVALID."));
    EXPECT_FALSE(reservedInvalidName("notinvalid"));
    EXPECT_FALSE(reservedInvalidName("invalid.example"));
    EXPECT_FALSE(reservedInvalidName("localhost"));
    EXPECT_FALSE(lookupHost("x.Invalid"));
}

}  // namespace
}  // namespace tx

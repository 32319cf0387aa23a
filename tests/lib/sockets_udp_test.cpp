// A UDP send that fails fails the stream for good (what works is in the guest network program).
#include <vector>

#include "socket_commands.h"
#include "sockets_fixture.h"
#include "stream_commands.h"

namespace tx {
namespace {

using test::kLoopback;

class SocketsUdpTest : public test::SocketsTest {
protected:
    void SetUp() override {
        SocketsTest::SetUp();
        a = createUDPStream(test::sockets(), 0);
        b = createUDPStream(test::sockets(), 0);
        ASSERT_NE(a, 0u);
        ASSERT_NE(b, 0u);
    }

    uint32_t a = 0, b = 0;
};

TEST_F(SocketsUdpTest, AFailedSendFailsTheStreamForGood) {
    const std::vector<uint8_t> tooBig(70000, 0x55);  // larger than any IPv4 datagram
    TxStream* stream = findStream(a);
    ASSERT_NE(stream, nullptr);
    EXPECT_EQ(stream->write(tooBig.data(), static_cast<int32_t>(tooBig.size())), 70000);
    sendUDPMsg(a, kLoopback, udpStreamPort(b));
    EXPECT_EQ(streamEof(a), -1);
    EXPECT_EQ(stream->write(tooBig.data(), 4), 0);
    EXPECT_EQ(streamReadAvail(a), 0);
    EXPECT_EQ(recvUDPMsg(test::sockets(), a), 0);
    EXPECT_EQ(recvUDPMsg(test::sockets(), b), 0) << "nothing was sent";

    closeUDPStream(test::sockets(), a);
    EXPECT_EQ(findStream(a), nullptr);
}

}  // namespace
}  // namespace tx

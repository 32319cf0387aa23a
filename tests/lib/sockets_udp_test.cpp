// UDP streams: whole datagrams through the stream buffers, between streams on loopback.
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

    // Waits (boundedly) for the datagram that was just sent on loopback.
    int32_t receive(uint32_t stream) {
        udpTimeouts(test::sockets(), 5000);
        const int32_t from = recvUDPMsg(test::sockets(), stream);
        udpTimeouts(test::sockets(), 0);
        return from;
    }

    uint32_t a = 0, b = 0;
};

TEST_F(SocketsUdpTest, ANewStreamHasNothingToRead) {
    EXPECT_NE(udpStreamPort(a), 0);
    EXPECT_NE(udpStreamPort(a), udpStreamPort(b));
    EXPECT_EQ(udpStreamIP(a), 0) << "bound to any address";
    EXPECT_EQ(recvUDPMsg(test::sockets(), a), 0) << "the default time-out of 0 returns at once";
    EXPECT_EQ(streamReadAvail(a), 0);
    EXPECT_EQ(streamEof(a), 1);
    EXPECT_EQ(readInt(a), 0);
    EXPECT_EQ(udpMsgIP(a), udpStreamIP(a)) << "the message source starts as the local address";
    EXPECT_EQ(udpMsgPort(a), udpStreamPort(a));
}

TEST_F(SocketsUdpTest, WritesLeaveAsOneDatagram) {
    writeInt(a, 1);
    writeByte(a, 2);
    sendUDPMsg(a, kLoopback, udpStreamPort(b));
    EXPECT_EQ(receive(b), kLoopback);
    EXPECT_EQ(udpMsgIP(b), kLoopback);
    EXPECT_EQ(udpMsgPort(b), udpStreamPort(a));
    EXPECT_EQ(streamReadAvail(b), 5);
    EXPECT_EQ(streamEof(b), 0);

    TxStream* stream = findStream(b);
    ASSERT_NE(stream, nullptr);
    uint8_t bytes[8] = {};
    ASSERT_EQ(stream->read(bytes, 8), 5);
    EXPECT_EQ(std::vector<uint8_t>(bytes, bytes + 5), (std::vector<uint8_t>{1, 0, 0, 0, 2}));
    EXPECT_EQ(streamEof(b), 1);

    // The sent bytes are gone from the sender: the next datagram starts empty.
    writeByte(a, 7);
    sendUDPMsg(a, kLoopback, udpStreamPort(b));
    EXPECT_EQ(receive(b), kLoopback);
    EXPECT_EQ(streamReadAvail(b), 1);
    EXPECT_EQ(readByte(b), 7);
}

TEST_F(SocketsUdpTest, ValuesReadBackThroughTheStreamCommands) {
    writeInt(a, 1);
    writeByte(a, 2);
    sendUDPMsg(a, kLoopback, udpStreamPort(b));
    ASSERT_EQ(receive(b), kLoopback);
    EXPECT_EQ(readInt(b), 1);
    EXPECT_EQ(readByte(b), 2);
    EXPECT_EQ(streamEof(b), 1);
    EXPECT_EQ(readByte(b), 0) << "reads past the datagram give zeros";
}

TEST_F(SocketsUdpTest, WithoutAPortTheDatagramGoesToTheSendersOwnPort) {
    writeInt(a, 77);
    sendUDPMsg(a, kLoopback, 0);
    EXPECT_EQ(receive(a), kLoopback);
    EXPECT_EQ(udpMsgPort(a), udpStreamPort(a));
    EXPECT_EQ(readInt(a), 77);
    EXPECT_EQ(recvUDPMsg(test::sockets(), b), 0) << "nothing went to the other stream";
}

TEST_F(SocketsUdpTest, ANewDatagramReplacesUnreadBytes) {
    writeInt(a, 0x01020304);
    sendUDPMsg(a, kLoopback, udpStreamPort(b));
    writeShort(a, 9);
    sendUDPMsg(a, kLoopback, udpStreamPort(b));
    ASSERT_EQ(receive(b), kLoopback);
    EXPECT_EQ(readByte(b), 4);
    ASSERT_EQ(receive(b), kLoopback);
    EXPECT_EQ(streamReadAvail(b), 2) << "the rest of the first datagram is dropped";
    EXPECT_EQ(readShort(b), 9);
}

TEST_F(SocketsUdpTest, AnEmptyDatagramArrivesEmpty) {
    sendUDPMsg(a, kLoopback, udpStreamPort(b));
    EXPECT_EQ(receive(b), kLoopback);
    EXPECT_EQ(streamReadAvail(b), 0);
    EXPECT_EQ(streamEof(b), 1);
}

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

TEST_F(SocketsUdpTest, CopyStreamFillsADatagram) {
    writeInt(a, 0x11223344);
    writeInt(a, 0x55667788);
    sendUDPMsg(a, kLoopback, udpStreamPort(b));
    ASSERT_EQ(receive(b), kLoopback);

    // b's datagram is copied into a's next one, though a has received nothing (its Eof is 1).
    copyStream(b, a, 16384);
    EXPECT_EQ(streamReadAvail(b), 0);
    sendUDPMsg(a, kLoopback, udpStreamPort(b));
    ASSERT_EQ(receive(b), kLoopback);
    EXPECT_EQ(readInt(b), 0x11223344);
    EXPECT_EQ(readInt(b), 0x55667788);
}

TEST_F(SocketsUdpTest, PortsInUseOrOutOfRangeGiveNoStream) {
    EXPECT_EQ(createUDPStream(test::sockets(), udpStreamPort(a)), 0u);
    EXPECT_EQ(createUDPStream(test::sockets(), 65536), 0u);
    EXPECT_EQ(createUDPStream(test::sockets(), -1), 0u);
}

TEST_F(SocketsUdpTest, ClosingEndsTheStreamAndItsHandle) {
    const int32_t streams = liveStreamCount();
    const int32_t closedPort = udpStreamPort(b);
    closeUDPStream(test::sockets(), b);
    EXPECT_EQ(liveStreamCount(), streams - 1);
    EXPECT_EQ(findStream(b), nullptr);
    EXPECT_EQ(udpStreamPort(b), 0);
    // A datagram to the closed port goes nowhere and does not fail the sender.
    writeInt(a, 1);
    sendUDPMsg(a, kLoopback, closedPort);
    EXPECT_EQ(recvUDPMsg(test::sockets(), a), 0);
    EXPECT_EQ(streamEof(a), 1);
}

}  // namespace
}  // namespace tx

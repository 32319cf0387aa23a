// TCP streams on loopback: values that arrive in pieces, long lines, resets, writes to a gone or
// stalled peer, and closing the module (what works is in the guest network program). Each test
// has a fresh string pool, stream and sockets module, and raw loopback sockets play the other
// end of a connection.
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>

#include <chrono>
#include <cstdint>
#include <string>
#include <string_view>
#include <thread>
#include <tuple>
#include <utility>
#include <vector>

#include "library_modules.h"
#include "socket_address.h"
#include "socket_commands.h"
#include "socket_fd.h"
#include "sockets_state.h"
#include "stream_commands.h"
#include "string_pool.h"
#include "tx_stream.h"
#include "tx_string.h"

namespace tx {
namespace {

// The sockets module's state while a test runs.
SocketsModule& sockets() {
    return ModuleState<SocketsModule>::running();
}

StrArg text(std::string_view value) {
    return StrArg(strNew(value).handle);
}

// A raw client connected to 127.0.0.1:port (invalid on failure).
SocketFd rawConnect(int32_t port) {
    SocketFd fd(::socket(AF_INET, SOCK_STREAM, 0));
    const sockaddr_in address = toSockaddr({INADDR_LOOPBACK, port});
    if (::connect(fd.get(), reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0)
        return SocketFd();
    return fd;
}

class SocketsTcpTest : public ::testing::Test {
protected:
    void SetUp() override {
        stringsCreate();
        ASSERT_TRUE(streamCreate());
        ASSERT_TRUE(socketsCreate());
        server = createTCPServer(sockets(), 0);
        ASSERT_NE(server, 0u);
        port = socketsModule()->servers.find(server)->port();
        ASSERT_NE(port, 0);
        // Bounded waits while a connection is set up; tests set their own time-outs after.
        tcpTimeouts(sockets(), 5000, 5000);
    }
    void TearDown() override {
        socketsDestroy();
        EXPECT_EQ(liveStreamCount(), 0) << "the module left streams open";
        EXPECT_EQ(liveStrings(), 0) << "a command leaked a string";
        streamDestroy();
        stringsDestroy();
    }

    // A client stream and the server's side of it.
    std::pair<uint32_t, uint32_t> connectPair() {
        const uint32_t client = openTCPStream(sockets(), text("127.0.0.1"), port, 0);
        EXPECT_NE(client, 0u);
        const uint32_t accepted = acceptTCPStream(server);
        EXPECT_NE(accepted, 0u);
        return {client, accepted};
    }

    uint32_t server = 0;
    int32_t port = 0;
};

TEST_F(SocketsTcpTest, ALongLineComesThroughTheReceiveBufferWhole) {
    auto [client, accepted] = connectPair();
    TxStream* sender = findStream(client);
    ASSERT_NE(sender, nullptr);
    // A 1 MiB line, then a line end and an int that stay buffered behind it.
    std::string sent(1u << 20, 'x');
    sent += "\r\n";
    const uint8_t after[] = {0x01, 0x02, 0x03, 0x04};
    std::thread writer([&] {
        sender->write(reinterpret_cast<const uint8_t*>(sent.data()),
                      static_cast<int32_t>(sent.size()));
        sender->write(after, 4);
    });
    const Str line = readLine(accepted);
    writer.join();
    EXPECT_EQ(strText(line.handle).size(), 1u << 20);
    EXPECT_EQ(strText(line.handle).find_first_not_of('x'), std::string::npos);
    strRelease(line.handle);

    // Buffered bytes count as waiting and keep the stream from reading as ended.
    EXPECT_EQ(streamReadAvail(accepted), 4);
    closeTCPStream(sockets(), client);
    EXPECT_EQ(streamEof(accepted), 0);
    EXPECT_EQ(readShort(accepted), 0x0201);
    EXPECT_EQ(streamReadAvail(accepted), 2);
    EXPECT_EQ(readInt(accepted), 0x0403) << "two bytes left, then the close";
    EXPECT_EQ(streamEof(accepted), 1);
}

// A write to a peer that stops reading is bounded by the write time-out, and writes to a
// connection whose peer is gone fail without a signal.
TEST_F(SocketsTcpTest, WritesToAStalledOrGonePeerFailBounded) {
    auto [client, accepted] = connectPair();
    tcpTimeouts(sockets(), 50, 0);
    // Far more than the loopback buffers hold while nobody reads.
    const std::vector<uint8_t> big(16u << 20, 0xAB);
    TxStream* stream = findStream(accepted);
    ASSERT_NE(stream, nullptr);
    const int32_t sent = stream->write(big.data(), static_cast<int32_t>(big.size()));
    EXPECT_GT(sent, 0) << sent;
    EXPECT_LT(sent, static_cast<int32_t>(big.size()));
    EXPECT_EQ(streamEof(accepted), -1);
    EXPECT_EQ(streamEof(client), 0) << "the reader is fine; bytes wait for it";

    tcpTimeouts(sockets(), 5000, 5000);
    std::tie(client, accepted) = connectPair();
    closeTCPStream(sockets(), accepted);
    stream = findStream(client);
    ASSERT_NE(stream, nullptr);
    const uint8_t byte = 1;
    // The first sends may still be taken; once the reset is back, sends fail. A SIGPIPE would
    // end this test process here.
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (stream->write(&byte, 1) == 1 && std::chrono::steady_clock::now() < deadline) {
    }
    EXPECT_EQ(streamEof(client), -1);
    EXPECT_EQ(stream->write(&byte, 1), 0);
}

// A connection the peer resets reads as a failure, not as an end.
TEST_F(SocketsTcpTest, AResetConnectionIsAFailureNotAnEnd) {
    SocketFd raw = rawConnect(port);
    ASSERT_TRUE(raw.valid());
    const uint32_t accepted = acceptTCPStream(server);
    ASSERT_NE(accepted, 0u);
    const linger abort{1, 0};
    ::setsockopt(raw.get(), SOL_SOCKET, SO_LINGER, &abort, sizeof abort);
    raw.reset();
    EXPECT_EQ(readByte(accepted), 0);
    EXPECT_EQ(streamEof(accepted), -1);
}

TEST_F(SocketsTcpTest, DestroyingTheModuleClosesEverything) {
    connectPair();
    SocketFd raw = rawConnect(port);
    ASSERT_TRUE(raw.valid());
    ASSERT_NE(acceptTCPStream(server), 0u);
    ASSERT_NE(createUDPStream(sockets(), 0), 0u);
    ASSERT_NE(createTCPServer(sockets(), 0), 0u);
    EXPECT_EQ(socketsModule()->servers.find(server)->acceptedCount(), 2u);

    socketsDestroy();
    EXPECT_EQ(liveStreamCount(), 0);
    EXPECT_EQ(socketsModule(), nullptr);
    char byte = 0;
    EXPECT_EQ(::recv(raw.get(), &byte, 1, 0), 0) << "the peer sees its connection closed";
    EXPECT_FALSE(rawConnect(port).valid()) << "nobody listens any more";
    ASSERT_TRUE(socketsCreate());
}

}  // namespace
}  // namespace tx

// Shared set-up for the sockets tests: a fresh string pool and sockets module per test, and raw
// loopback sockets for playing the other end of a connection.
#pragma once

#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>

#include <cstdint>
#include <string_view>

#include "library_modules.h"
#include "socket_fd.h"
#include "sockets_state.h"
#include "string_pool.h"
#include "tx_stream.h"
#include "tx_string.h"

namespace tx::test {

inline constexpr int32_t kLoopback = 0x7F000001;  // 127.0.0.1

// The sockets module's state while a test runs.
inline SocketsModule& sockets() {
    return ModuleState<SocketsModule>::running();
}

class SocketsTest : public ::testing::Test {
protected:
    void SetUp() override {
        stringsCreate();
        ASSERT_TRUE(streamCreate());
        ASSERT_TRUE(socketsCreate());
    }
    void TearDown() override {
        socketsDestroy();
        EXPECT_EQ(liveStreamCount(), 0) << "the module left streams open";
        EXPECT_EQ(liveStrings(), 0) << "a command leaked a string";
        streamDestroy();
        stringsDestroy();
    }

    static StrArg text(std::string_view value) { return StrArg(strNew(value).handle); }
};

// A raw client connected to 127.0.0.1:port (invalid on failure).
inline SocketFd rawConnect(int32_t port) {
    SocketFd fd(::socket(AF_INET, SOCK_STREAM, 0));
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = htons(static_cast<uint16_t>(port));
    if (::connect(fd.get(), reinterpret_cast<sockaddr*>(&address), sizeof address) != 0)
        return SocketFd();
    return fd;
}

}  // namespace tx::test

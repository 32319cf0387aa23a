// The sockets commands called by real 32-bit guest code: UDP datagrams, TCP servers and clients
// on loopback, the handle checks with the debug flag set, and the accept loop's event pump.
#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>

#include "guest_runner.h"

namespace tx {
namespace {

using test::env;
using test::firstError;
using test::runGuest;

const std::string kLoopback = std::to_string(0x7F000001);

// A bound, unlistened TCP socket: connections to its port are refused while it is open.
class PortHolder {
public:
    PortHolder() : fd_(::socket(AF_INET, SOCK_STREAM, 0)) {
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        ::bind(fd_, reinterpret_cast<sockaddr*>(&address), sizeof address);
        socklen_t length = sizeof address;
        ::getsockname(fd_, reinterpret_cast<sockaddr*>(&address), &length);
        port_ = ntohs(address.sin_port);
    }
    ~PortHolder() { release(); }
    PortHolder(const PortHolder&) = delete;
    PortHolder& operator=(const PortHolder&) = delete;

    int port() const { return port_; }
    // Frees the port for the guest to take.
    void release() {
        if (fd_ >= 0) ::close(fd_);
        fd_ = -1;
    }

private:
    int fd_;
    int port_ = 0;
};

// Runs a program that makes a TCP server on TX_NET_PORT; retries with another free port when
// some other process took the chosen one first (the program then reports no server).
test::GuestRun runWithServerPort(const char* program, const char* arguments, bool debug,
                                 const char* serverFlag, int& port) {
    test::GuestRun run;
    for (int attempt = 0; attempt < 5; ++attempt) {
        PortHolder free;
        port = free.port();
        free.release();
        setenv("TX_NET_PORT", std::to_string(port).c_str(), 1);
        unsetenv(serverFlag);
        run = runGuest(program, arguments, debug);
        if (serverFlag[0] == '\0' || env(serverFlag) != "0") break;
    }
    return run;
}

TEST(GuestNet, UdpDatagramsAndLookups) {
    unsetenv("TX_NET_DONE");
    const auto run = runGuest("net_udp");
    ASSERT_EQ(run.outcome, RunOutcome::Ended) << firstError(run);
    EXPECT_EQ(env("TX_NET_DONE"), "1");
    EXPECT_EQ(env("TX_NET_DOTTED"), "192.168.0.1");
    EXPECT_EQ(env("TX_NET_DOTTED_ZERO"), "0.0.0.0");
    EXPECT_EQ(env("TX_NET_COUNT"), "1");
    EXPECT_EQ(env("TX_NET_HOST1"), kLoopback);
    EXPECT_EQ(env("TX_NET_COUNT_INVALID"), "0");

    EXPECT_EQ(env("TX_NET_OPENED"), "1");
    EXPECT_EQ(env("TX_NET_FRESH_RECV"), "0");
    EXPECT_EQ(env("TX_NET_FRESH_AVAIL"), "0");
    EXPECT_EQ(env("TX_NET_FRESH_EOF"), "1");
    EXPECT_EQ(env("TX_NET_LOCAL_IP"), "0");

    EXPECT_EQ(env("TX_NET_FROM"), kLoopback);
    EXPECT_EQ(env("TX_NET_MSG_IP"), kLoopback);
    EXPECT_EQ(env("TX_NET_MSG_PORT_MATCH"), "1");
    EXPECT_EQ(env("TX_NET_AVAIL"), "5");
    EXPECT_EQ(env("TX_NET_INT"), "1");
    EXPECT_EQ(env("TX_NET_BYTE"), "2");
    EXPECT_EQ(env("TX_NET_EOF"), "1");

    EXPECT_EQ(env("TX_NET_SELF_FROM"), kLoopback);
    EXPECT_EQ(env("TX_NET_SELF_PORT_MATCH"), "1");
    EXPECT_EQ(env("TX_NET_SELF_INT"), "77");
}

TEST(GuestNet, TcpServerAndClients) {
    unsetenv("TX_NET_DONE");
    PortHolder refused;
    setenv("TX_NET_REFUSED", std::to_string(refused.port()).c_str(), 1);
    char path[] = "/tmp/tervex-net-XXXXXX";
    const int fd = mkstemp(path);
    ASSERT_GE(fd, 0);
    ::close(fd);
    setenv("TX_NET_FILE", path, 1);

    int port = 0;
    const auto run = runWithServerPort("net_tcp", "", false, "TX_NET_SERVER", port);
    std::remove(path);
    ASSERT_EQ(run.outcome, RunOutcome::Ended) << firstError(run);
    ASSERT_EQ(env("TX_NET_SERVER"), "1");
    EXPECT_EQ(env("TX_NET_DONE"), "1");

    EXPECT_EQ(env("TX_NET_CONNECTED"), "1");
    EXPECT_EQ(env("TX_NET_CLIENT_IP"), kLoopback);
    EXPECT_EQ(env("TX_NET_ACCEPTED_PORT"), std::to_string(port));
    EXPECT_NE(env("TX_NET_CLIENT_PORT"), "0");
    EXPECT_EQ(env("TX_NET_TCP_INT"), "4242");
    EXPECT_EQ(env("TX_NET_TCP_LINE"), "over tcp");
    EXPECT_EQ(env("TX_NET_TCP_FLOAT_X2"), "5");

    EXPECT_EQ(env("TX_NET_CLOSED_READ"), "0");
    EXPECT_EQ(env("TX_NET_CLOSED_EOF"), "1");
    EXPECT_EQ(env("TX_NET_TIMEOUT_READ"), "0");
    EXPECT_EQ(env("TX_NET_TIMEOUT_EOF"), "-1");
    EXPECT_EQ(env("TX_NET_QUIET_EOF"), "0");
    EXPECT_EQ(env("TX_NET_NOBODY"), "0");
    EXPECT_EQ(env("TX_NET_REFUSED_OPEN"), "0");
    EXPECT_EQ(env("TX_NET_INVALID_OPEN"), "0");

    EXPECT_EQ(env("TX_NET_COPY_SOURCE_EOF"), "1");
    EXPECT_EQ(env("TX_NET_COPY_RECEIVED"), "40000");
    EXPECT_EQ(env("TX_NET_COPY_MISMATCHES"), "0");
    EXPECT_EQ(env("TX_NET_BANK_WRITTEN"), "8");
    EXPECT_EQ(env("TX_NET_BANK_READ"), "8");
    EXPECT_EQ(env("TX_NET_BANK_SAME"), "1");

    EXPECT_EQ(env("TX_NET_AFTER_SERVER_READ"), "0");
    EXPECT_EQ(env("TX_NET_AFTER_SERVER_EOF"), "1") << "the accepted side closed with its server";
    EXPECT_EQ(env("TX_NET_QUIET_AFTER_SERVER_EOF"), "1");
}

struct HandleCheck {
    const char* which;
    const char* message;
};

constexpr HandleCheck kHandleChecks[] = {
    {"udp", "UDP Stream does not exist"},      {"udp-send", "UDP Stream does not exist"},
    {"tcp", "TCP Stream does not exist"},      {"tcp-close", "TCP Stream does not exist"},
    {"server", "TCP Server does not exist"},   {"server-close", "TCP Server does not exist"},
    {"host-index", "Host index out of range"},
};

TEST(GuestNet, BadHandlesRaiseTheirErrorsWithTheDebugFlagSet) {
    for (const HandleCheck& check : kHandleChecks) {
        SCOPED_TRACE(check.which);
        unsetenv("TX_NET_AFTER");
        int port = 0;
        const auto run = runWithServerPort("net_errors", check.which, true, "", port);
        EXPECT_EQ(run.outcome, RunOutcome::RuntimeError);
        ASSERT_EQ(run.debugger.errors.size(), 1u);
        EXPECT_EQ(run.debugger.errors[0], check.message);
        EXPECT_EQ(env("TX_NET_AFTER"), "<unset>");
    }
}

TEST(GuestNet, BadHandlesDoNothingWithTheDebugFlagClear) {
    for (const HandleCheck& check : kHandleChecks) {
        SCOPED_TRACE(check.which);
        unsetenv("TX_NET_AFTER");
        int port = 0;
        const auto run = runWithServerPort("net_errors", check.which, false, "", port);
        EXPECT_EQ(run.outcome, RunOutcome::Ended) << firstError(run);
        EXPECT_EQ(env("TX_NET_AFTER"), "1");
    }
}

TEST(GuestNet, AcceptedStreamsAreTcpStreamsUntilTheirServerCloses) {
    unsetenv("TX_NET_BEFORE");
    unsetenv("TX_NET_AFTER");
    int port = 0;
    const auto run = runWithServerPort("net_errors", "accepted", true, "", port);
    EXPECT_EQ(run.outcome, RunOutcome::RuntimeError);
    EXPECT_EQ(env("TX_NET_ACCEPTED_PORT"), std::to_string(port));
    EXPECT_EQ(env("TX_NET_ACCEPTED_IP"), kLoopback);
    EXPECT_EQ(env("TX_NET_BEFORE"), "1") << "closing an accepted stream is no error";
    ASSERT_EQ(run.debugger.errors.size(), 1u);
    EXPECT_EQ(run.debugger.errors[0], "TCP Stream does not exist");
    EXPECT_EQ(env("TX_NET_AFTER"), "<unset>");
}

TEST(GuestNet, AnEndRequestStopsAnAcceptLoopQuietly) {
    using namespace std::chrono_literals;
    PortHolder free;
    const int port = free.port();
    free.release();
    setenv("TX_NET_PORT", std::to_string(port).c_str(), 1);
    unsetenv("TX_NET_LOOP_SERVER");
    // Once the program's server takes connections it is inside its loop: from then on an end
    // request is repeated until the run is over.
    std::atomic<bool> done{false};
    std::thread requester([&done, port] {
        // Should the server never come up, the run is ended all the same after a while.
        const auto deadline = std::chrono::steady_clock::now() + 10s;
        bool listening = false;
        while (!done) {
            std::this_thread::sleep_for(10ms);
            if (!listening) {
                const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
                sockaddr_in address{};
                address.sin_family = AF_INET;
                address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
                address.sin_port = htons(static_cast<uint16_t>(port));
                listening =
                    ::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
                ::close(fd);
            }
            if (listening || std::chrono::steady_clock::now() > deadline)
                runtimeGetRuntime().asyncEnd();
        }
    });
    const auto run = runGuest("net_accept_loop");
    done = true;
    requester.join();
    EXPECT_EQ(run.outcome, RunOutcome::Ended);
    EXPECT_EQ(env("TX_NET_LOOP_SERVER"), "1");
    EXPECT_TRUE(run.debugger.errors.empty());
}

}  // namespace
}  // namespace tx

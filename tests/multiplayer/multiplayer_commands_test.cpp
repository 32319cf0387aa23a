// The multiplayer commands over real sessions on 127.0.0.1, two machines in one process: what
// a joining program is told, message types as signed bytes, the reserved types, local players'
// own messages, and the errors of starting twice or using a game not started.
#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <string>

#include "host_runtime.h"
#include "multiplayer_commands.h"
#include "string_pool.h"
#include "tx_error.h"
#include "udp_port.h"
#include "wait_until.h"

namespace tx {
namespace {

using namespace std::chrono_literals;

StrArg text(std::string_view s) {
    return StrArg(strNew(s).handle);
}

std::string taken(Str s) {
    std::string copy(strText(s.handle));
    strRelease(s.handle);
    return copy;
}

// The runtime error a call raises, or "" when it returns.
template <typename F>
std::string errorOf(F&& call) {
    try {
        call();
    } catch (const TxEx& ex) {
        return ex.message != nullptr ? ex.message : "";
    }
    return "";
}

// A machine: the module's state on a runtime of its own.
struct Machine {
    Machine() : runtime(HostRuntime::open("", nullptr, openNullBackend())), state(*runtime) {}
    ~Machine() { closeNetGame(state); }

    // The type of the next message within the wait, or 0 when none came.
    int32_t next(std::chrono::milliseconds wait = 3s) {
        return test::waitUntil([&] { return recvNetMsg(state) != 0; }, wait) ? netMsgType(state)
                                                                             : 0;
    }

    std::unique_ptr<HostRuntime> runtime;
    MultiplayerState state;
};

TEST(TwoMachines, AJoinerHearsOfEveryPlayerAndMessagesKeepTheirTypesAsSignedBytes) {
    Machine a, b;
    const uint16_t port = test::freeUdpPort();
    ::setenv("TERVEX_NET_PORT", std::to_string(port).c_str(), 1);
    ASSERT_EQ(hostNetGame(a.state, text("duel")), 2);
    const int32_t alice = createNetPlayer(a.state, text("alice"));
    const int32_t anna = createNetPlayer(a.state, text("anna"));
    ASSERT_EQ(joinNetGame(b.state, text("duel"), text("127.0.0.1:" + std::to_string(port))), 1);
    // The players already in the game come first, as joins, before any network message.
    ASSERT_EQ(b.next(), 100);
    EXPECT_EQ(netMsgFrom(b.state), alice);
    ASSERT_EQ(b.next(), 100);
    EXPECT_EQ(netMsgFrom(b.state), anna);
    EXPECT_EQ(taken(netPlayerName(b.state, anna)), "anna");
    EXPECT_EQ(taken(netPlayerName(b.state, 0)), "<all>");
    EXPECT_EQ(taken(netPlayerName(b.state, 12345)), "<unknown>");
    EXPECT_EQ(netPlayerLocal(b.state, alice), 0);
    EXPECT_EQ(netPlayerLocal(a.state, alice), 1);

    const int32_t bob = createNetPlayer(b.state, text("bob"));
    ASSERT_NE(bob, 0);
    ASSERT_EQ(a.next(), 100);
    EXPECT_EQ(netMsgFrom(a.state), bob);

    EXPECT_EQ(sendNetMsg(b.state, 0, text("never"), bob, alice, 1), 1);
    EXPECT_EQ(sendNetMsg(b.state, 200, text("hello"), bob, alice, 1), 1);
    ASSERT_EQ(a.next(), -56) << "type 0 is skipped; 200 comes back as a signed byte";
    EXPECT_EQ(taken(netMsgData(a.state)), "hello");
    EXPECT_EQ(netMsgFrom(a.state), bob);
    EXPECT_EQ(netMsgTo(a.state), alice);

    EXPECT_EQ(sendNetMsg(a.state, 7, text("to all"), alice, 0, 0), 1);
    EXPECT_EQ(sendNetMsg(a.state, 8, text("local"), alice, anna, 1), 1);
    ASSERT_EQ(b.next(), 7);
    EXPECT_EQ(netMsgTo(b.state), 0);
    EXPECT_EQ(a.next(300ms), 0) << "a local player's message is not received by another local one";
}

TEST(MultiplayerErrors, FailedStartsLeaveNoGameAndStartedGamesCannotStartAgain) {
    Machine m;
    const uint16_t port = test::freeUdpPort();
    ::setenv("TERVEX_NET_PORT", std::to_string(port).c_str(), 1);
    EXPECT_EQ(errorOf([&] { createNetPlayer(m.state, text("x")); }),
              "Multiplayer game not started");
    EXPECT_EQ(errorOf([&] { recvNetMsg(m.state); }), "Multiplayer game not started");
    EXPECT_EQ(joinNetGame(m.state, text("none"), text("127.0.0.1:" + std::to_string(port))), 0);
    EXPECT_EQ(hostNetGame(m.state, text("game")), 2) << "a failed join leaves no game";
    EXPECT_EQ(errorOf([&] { hostNetGame(m.state, text("game")); }),
              "Multiplayer game already started");
    EXPECT_EQ(errorOf([&] { joinNetGame(m.state, text("game"), text("")); }),
              "Multiplayer game already started");
    stopNetGame(m.state);
    EXPECT_EQ(errorOf([&] { sendNetMsg(m.state, 1, text(""), 1, 0, 1); }),
              "Multiplayer game not started");
}

}  // namespace
}  // namespace tx

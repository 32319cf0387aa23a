// Sessions on loopback for the session tests: free ports, hosting on one, joining by address,
// and waiting (with a deadline) for what the sessions report.
#pragma once

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "message_payload.h"
#include "net_session.h"
#include "udp_port.h"
#include "wait_until.h"

namespace tx::net::test {

using namespace std::chrono_literals;

inline std::string loopback(uint16_t port) {
    return "127.0.0.1:" + std::to_string(port);
}

// A session and everything it reported so far.
struct Machine {
    std::unique_ptr<NetSession> session;
    std::vector<SessionEvent> events;
    uint16_t port = 0;  // the game port, for the hosting machine

    void drain() {
        if (!session) return;
        while (auto e = session->receive()) events.push_back(std::move(*e));
    }
    size_t count(SessionEvent::Kind kind) const {
        size_t n = 0;
        for (const auto& e : events) n += e.kind == kind;
        return n;
    }
    std::vector<std::string> texts() const {
        std::vector<std::string> out;
        for (const auto& e : events)
            if (e.kind == SessionEvent::Kind::Message)
                out.emplace_back(decodePayload(e.payload)->text);
        return out;
    }
};

// Drains every machine until `done` holds or `limit` passes; the result of `done` at the end.
inline bool waitFor(const std::vector<Machine*>& machines, const std::function<bool()>& done,
                    std::chrono::milliseconds limit = 2s) {
    return tx::test::waitUntil(
        [&] {
            for (Machine* m : machines) m->drain();
            return done();
        },
        limit);
}

inline Machine hostGame(std::string_view name) {
    Machine m;
    // Another process may take the free port first: then another one.
    for (int tries = 0; tries < 5 && !m.session; ++tries) {
        m.port = tx::test::freeUdpPort();
        ::setenv("TERVEX_NET_PORT", std::to_string(m.port).c_str(), 1);
        m.session = NetSession::host(name);
    }
    return m;
}

inline Machine joinGame(const Machine& host) {
    Machine m;
    const auto found =
        findSessions(loopback(host.port), 2s).value_or(std::vector<SessionListing>{});
    if (found.size() == 1) m.session = NetSession::join(found[0]);
    return m;
}

inline bool sendText(Machine& m, int32_t from, int32_t to, std::string_view text) {
    std::vector<uint8_t> buffer;
    return m.session->send(from, to, true, encodePayload(buffer, from, to, 1, text));
}

// A hosting machine with player a1 and a joined one with player b1, each knowing the other's.
struct TwoMachines : ::testing::Test {
    void SetUp() override {
        a = hostGame("pair");
        ASSERT_TRUE(a.session);
        a1 = a.session->createPlayer("a-one");
        b = joinGame(a);
        ASSERT_TRUE(b.session);
        b1 = b.session->createPlayer("b-one");
        ASSERT_TRUE(waitFor({&a}, [&] { return a.count(SessionEvent::Kind::PlayerCreated) == 1; }));
    }
    Machine a, b;
    int32_t a1 = 0, b1 = 0;
};

}  // namespace tx::net::test

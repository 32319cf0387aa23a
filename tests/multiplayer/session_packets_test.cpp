// The packet codec reads back what it writes, and nothing else: random and damaged packets
// decode to nothing or to a packet that writes back to exactly the same bytes. A live session
// fed with garbage and forgeries goes on as before.
#include <enet/enet.h>

#include <random>

#include "session_fixture.h"
#include "session_packets.h"

namespace tx::net::test {
namespace {

using namespace wire;
using Bytes = std::vector<uint8_t>;

template <typename P>
Bytes packet(const P& p) {
    Bytes bytes;
    encode(bytes, p);
    return bytes;
}

// A message: its kind, then the payload as the commands write it.
Bytes message(int32_t from, int32_t to, int32_t type, std::string_view text) {
    std::vector<uint8_t> buffer;
    const auto p = encodePayload(buffer, from, to, type, text);
    Bytes bytes{static_cast<uint8_t>(Kind::Message)};
    bytes.insert(bytes.end(), p.begin(), p.end());
    return bytes;
}

// One well-formed packet of every kind.
std::vector<Bytes> samples() {
    const Instance instance{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16};
    return {packet(Join{instance}),
            packet(Welcome{3, 1, 4, "game", {{2, {127, 0, 0, 1}, 4000}, {4, {10, 0, 0, 2}, 4001}}}),
            packet(MemberJoined{{5, {192, 168, 1, 9}, 24680}}),
            packet(Hello{instance, 3}),
            packet(Players{{{65537, "one"}, {65538, ""}, {65539, std::string(255, 'n')}}}),
            packet(PlayerCreated{{131073, "new"}}),
            packet(PlayerDestroyed{131073}),
            packet(Bye{}),
            message(65537, 0, -3, "hello")};
}

// A decoded packet writes back to the bytes it came from.
void expectCanonical(const Bytes& bytes) {
    const auto packet = decode(bytes);
    if (!packet) return;
    Bytes again;
    std::visit(
        [&](const auto& p) {
            if constexpr (std::is_same_v<std::decay_t<decltype(p)>, Message>) {
                again.push_back(static_cast<uint8_t>(Kind::Message));
                again.insert(again.end(), p.payload.begin(), p.payload.end());
            } else {
                encode(again, p);
            }
        },
        *packet);
    ASSERT_EQ(again, bytes);
}

// Cut and lengthened packets are the damaged ones of the next test.
TEST(SessionPacketCodec, EveryKindReadsBackAndValuesOutOfRangeDoNot) {
    for (const auto& bytes : samples()) {
        ASSERT_TRUE(decode(bytes)) << int(bytes[0]);
        expectCanonical(bytes);
    }
    const struct {
        const char* what;
        Bytes bytes;
    } refused[] = {
        {"unknown kind", {0}},
        {"kind past the last", {10, 0, 0}},
        {"player id 0", {6, 0, 0, 0, 0, 0}},
        {"player number 0", {7, 0, 0, 1, 0}},
        {"negative player id", {7, 1, 0, 0, 0x80}},
        {"machine id 0", {4, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 0, 0}},
        {"machine id past the limit", {3, 0, 0x80, 127, 0, 0, 1, 1, 0}},
        {"port 0", {3, 2, 0, 127, 0, 0, 1, 0, 0}},
        {"message shorter than its header", {8, 1, 0, 1, 0, 0, 0, 0, 0}},
        {"welcome to the host's own id", {2, 1, 0, 1, 0, 1, 0, 0, 0}},
        {"players count the packet cannot hold", {5, 0xFF, 0xFF, 1, 0, 1, 0, 0}},
    };
    for (const auto& r : refused) EXPECT_FALSE(decode(r.bytes)) << r.what;
}

TEST(SessionPacketCodec, RandomAndDamagedPacketsNeverDecodeToAnythingElse) {
    std::mt19937 random(20240611);
    auto byte = [&] { return static_cast<uint8_t>(random()); };
    const auto valid = samples();
    for (int i = 0; i < 20000; ++i) {
        Bytes bytes;
        if (i % 2 == 0) {
            bytes.resize(random() % 80);
            for (auto& b : bytes) b = byte();
            if (!bytes.empty()) bytes[0] = static_cast<uint8_t>(random() % 11);
        } else {
            bytes = valid[random() % valid.size()];
            for (int flips = 1 + random() % 4; flips > 0; --flips) {
                const auto at = random() % bytes.size();
                switch (random() % 3) {
                    case 0:
                        bytes[at] = byte();
                        break;
                    case 1:
                        bytes.resize(at > 0 ? at : 1);
                        break;
                    default:
                        bytes.insert(bytes.begin() + at, byte());
                        break;
                }
            }
        }
        expectCanonical(bytes);
        if (HasFatalFailure()) return;
        // The discovery datagrams too.
        if (const auto a = decodeAnswer(bytes)) {
            EXPECT_EQ(bytes.size(), kAnswerHeader + a->name.size());
        }
        if (decodeQuery(bytes)) {
            EXPECT_EQ(bytes.size(), kQuerySize);
        }
    }
    Bytes answer;
    encodeAnswer(answer, Nonce{9, 8, 7, 6, 5, 4, 3, 2}, Instance{}, std::string(300, 'g'));
    const auto a = decodeAnswer(answer);
    ASSERT_TRUE(a);
    EXPECT_EQ(a->name.size(), kMaxNameBytes);
    EXPECT_EQ(a->nonce, (Nonce{9, 8, 7, 6, 5, 4, 3, 2}));
}

// A raw ENet connection to a session, sending whatever it is told to.
class RawClient {
public:
    RawClient(uint16_t port, uint32_t tag) : host_(enet_host_create(nullptr, 1, 2, 0, 0)) {
        ENetAddress address{};
        enet_address_set_host(&address, "127.0.0.1");
        address.port = port;
        peer_ = enet_host_connect(host_, &address, 2, tag);
        ENetEvent event;
        const auto deadline = std::chrono::steady_clock::now() + 2s;
        while (!connected_ && std::chrono::steady_clock::now() < deadline)
            if (enet_host_service(host_, &event, 10) > 0 && event.type == ENET_EVENT_TYPE_CONNECT)
                connected_ = true;
    }
    ~RawClient() { enet_host_destroy(host_); }
    RawClient(const RawClient&) = delete;
    RawClient& operator=(const RawClient&) = delete;

    bool connected() const { return connected_; }
    void send(const Bytes& bytes, uint8_t channel = 0) {
        enet_peer_send(peer_, channel,
                       enet_packet_create(bytes.data(), bytes.size(), ENET_PACKET_FLAG_RELIABLE));
        enet_host_flush(host_);
    }
    // Services the connection for a while; whether it is still up.
    bool serviceFor(std::chrono::milliseconds time) {
        ENetEvent event;
        const auto deadline = std::chrono::steady_clock::now() + time;
        while (std::chrono::steady_clock::now() < deadline) {
            if (enet_host_service(host_, &event, 5) <= 0) continue;
            if (event.type == ENET_EVENT_TYPE_RECEIVE) enet_packet_destroy(event.packet);
            if (event.type == ENET_EVENT_TYPE_DISCONNECT) connected_ = false;
        }
        return connected_;
    }

private:
    ENetHost* host_;
    ENetPeer* peer_ = nullptr;
    bool connected_ = false;
};

using SessionPackets = TwoMachines;

TEST_F(SessionPackets, ALiveSessionShrugsOffGarbageAndForgeries) {
    const auto listing = findSessions(loopback(a.port), 2s).value_or(std::vector<SessionListing>{});
    ASSERT_EQ(listing.size(), 1u);
    std::mt19937 random(7);
    const auto payload = [](int32_t from, int32_t to) { return message(from, to, 0, "forged"); };
    {
        // Before saying who it is, a connection gets nothing through.
        RawClient stranger(a.port, kConnectTag);
        ASSERT_TRUE(stranger.connected());
        for (int i = 0; i < 500; ++i) {
            Bytes junk(random() % 40);
            for (auto& x : junk) x = static_cast<uint8_t>(random());
            stranger.send(junk, random() % 2);
        }
        // Join with the wrong instance is refused.
        for (const Bytes& bytes :
             {payload(b1, a1), packet(PlayerCreated{{9 << 16 | 1, "ghost"}}), packet(Join{})})
            stranger.send(bytes);
        EXPECT_FALSE(stranger.serviceFor(300ms));
    }
    {
        // A machine that greets properly may not speak for others' players, nor send its own
        // player's message to a player the receiving machine does not have.
        RawClient member(a.port, kConnectTag);
        ASSERT_TRUE(member.connected());
        member.send(packet(Hello{listing[0].instance, 9}));
        const int32_t nine = 9 << 16 | 1;
        for (const Bytes& bytes :
             {payload(b1, a1), payload(nine, a1) /* not created yet */,
              packet(PlayerCreated{{2 << 16 | 7, "not yours"}}), packet(PlayerDestroyed{b1}),
              packet(PlayerCreated{{nine, "nine"}}), payload(nine, b1),
              packet(PlayerDestroyed{nine})})
            member.send(bytes);
        EXPECT_TRUE(member.serviceFor(200ms));
    }
    RawClient untagged(a.port, 0);
    EXPECT_FALSE(untagged.connected() && untagged.serviceFor(200ms));

    // Still a working game with exactly the players it had.
    ASSERT_TRUE(sendText(b, b1, a1, "real"));
    ASSERT_TRUE(waitFor({&a}, [&] { return !a.texts().empty(); }));
    EXPECT_EQ(a.texts(), std::vector<std::string>{"real"});
    ASSERT_EQ(a.session->remotePlayers().size(), 1u);
    EXPECT_EQ(a.session->remotePlayers()[0].id, b1);
    EXPECT_EQ(a.count(SessionEvent::Kind::PlayerCreated), 2u) << "b-one and the member's own";
}

}  // namespace
}  // namespace tx::net::test

// Multiplayer on 127.0.0.1, two machines in one process, one thread polling both:
//   BM_NetMsgRoundTrip: a 16-byte reliable message through SendNetMsg and RecvNetMsg and its
//     answer back; BM_BareEnetRoundTrip: the same exchange between two bare ENet hosts.
//   BM_ReliableMessages: bursts of 1,000 reliable 16-byte messages from one machine to the
//     other, each received through RecvNetMsg; items per second.
#include <benchmark/benchmark.h>
#include <enet/enet.h>

#include <cstdlib>
#include <memory>
#include <string>

#include "host_runtime.h"
#include "multiplayer_commands.h"
#include "string_pool.h"

namespace tx {
namespace {

constexpr std::string_view kText = "sixteen bytes!!!";

StrArg text(std::string_view s) {
    return StrArg(strNew(s).handle);
}

struct Machine {
    Machine() : runtime(HostRuntime::open("", nullptr, openNullBackend())), state(*runtime) {}
    ~Machine() { closeNetGame(state); }
    void receiveOne() {
        while (!recvNetMsg(state)) {
        }
    }
    std::unique_ptr<HostRuntime> runtime;
    MultiplayerState state;
};

// Two machines in one game, a player each, the join already reported.
struct Game {
    explicit Game(uint16_t port) {
        setenv("TERVEX_NET_PORT", std::to_string(port).c_str(), 1);
        ready = hostNetGame(a.state, text("bench")) == 2 &&
                joinNetGame(b.state, text("bench"), text("127.0.0.1:" + std::to_string(port))) == 1;
        if (!ready) return;
        pa = createNetPlayer(a.state, text("a"));
        pb = createNetPlayer(b.state, text("b"));
        b.receiveOne();  // a's player joined
        a.receiveOne();  // b's player joined
    }
    Machine a, b;
    bool ready = false;
    int32_t pa = 0, pb = 0;
};

void BM_NetMsgRoundTrip(benchmark::State& state) {
    Game game(24791);
    if (!game.ready) return state.SkipWithError("no game");
    for (auto _ : state) {
        sendNetMsg(game.b.state, 1, text(kText), game.pb, game.pa, 1);
        game.a.receiveOne();
        sendNetMsg(game.a.state, 1, text(kText), game.pa, game.pb, 1);
        game.b.receiveOne();
    }
}
BENCHMARK(BM_NetMsgRoundTrip)->Unit(benchmark::kMicrosecond);

// Services the host until a packet arrives; returns false on a disconnect.
bool receivePacket(ENetHost* host) {
    ENetEvent event;
    for (;;) {
        if (enet_host_service(host, &event, 0) <= 0) continue;
        if (event.type == ENET_EVENT_TYPE_RECEIVE) {
            enet_packet_destroy(event.packet);
            return true;
        }
        if (event.type == ENET_EVENT_TYPE_DISCONNECT) return false;
    }
}

void BM_BareEnetRoundTrip(benchmark::State& state) {
    enet_initialize();
    ENetAddress address{ENET_HOST_ANY, 24792};
    ENetHost* server = enet_host_create(&address, 4, 2, 0, 0);
    ENetHost* client = enet_host_create(nullptr, 1, 2, 0, 0);
    if (server == nullptr || client == nullptr) return state.SkipWithError("no ENet host");
    enet_address_set_host(&address, "127.0.0.1");
    ENetPeer* toServer = enet_host_connect(client, &address, 2, 0);
    ENetPeer* toClient = nullptr;
    ENetEvent event;
    while (toClient == nullptr || toServer->state != ENET_PEER_STATE_CONNECTED) {
        enet_host_service(client, &event, 1);
        if (enet_host_service(server, &event, 1) > 0 && event.type == ENET_EVENT_TYPE_CONNECT)
            toClient = event.peer;
    }
    for (auto _ : state) {
        enet_peer_send(toServer, 0,
                       enet_packet_create(kText.data(), kText.size(), ENET_PACKET_FLAG_RELIABLE));
        enet_host_flush(client);
        receivePacket(server);
        enet_peer_send(toClient, 0,
                       enet_packet_create(kText.data(), kText.size(), ENET_PACKET_FLAG_RELIABLE));
        enet_host_flush(server);
        receivePacket(client);
    }
    enet_host_destroy(client);
    enet_host_destroy(server);
}
BENCHMARK(BM_BareEnetRoundTrip)->Unit(benchmark::kMicrosecond);

void BM_ReliableMessages(benchmark::State& state) {
    Game game(24793);
    if (!game.ready) return state.SkipWithError("no game");
    constexpr int kBurst = 1000;
    for (auto _ : state) {
        for (int i = 0; i < kBurst; ++i)
            sendNetMsg(game.b.state, 1, text(kText), game.pb, game.pa, 1);
        for (int i = 0; i < kBurst; ++i) game.a.receiveOne();
    }
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations()) * kBurst);
}
BENCHMARK(BM_ReliableMessages)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace tx

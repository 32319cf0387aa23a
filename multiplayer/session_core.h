// The machinery behind NetSession: one ENet host per machine, a link to every other machine of
// the game, the players each machine owns, and the events for the program (protocol notes in
// session_core.cpp).
#pragma once

#include <atomic>
#include <deque>
#include <memory>
#include <mutex>
#include <thread>

#include "net_session.h"
#include "session_packets.h"

struct _ENetHost;
struct _ENetPeer;
struct _ENetEvent;

namespace tx::net {

// An eventfd that wakes the network thread out of its wait.
class WakeSignal {
public:
    WakeSignal();
    ~WakeSignal();
    WakeSignal(const WakeSignal&) = delete;
    WakeSignal& operator=(const WakeSignal&) = delete;
    int fd() const { return fd_; }
    void raise();

private:
    int fd_;
};

class SessionCore {
public:
    SessionCore();
    // Says goodbye to every machine (when the session still runs) and closes everything.
    ~SessionCore();
    SessionCore(const SessionCore&) = delete;
    SessionCore& operator=(const SessionCore&) = delete;

    // Opens the machine's ENet host on `port` (0: any free port).
    bool open(uint16_t port);
    // Makes this machine machine 1 of a new game called `name`.
    void hostAs(std::string_view name);
    // Joins `game`; false (with everything closed) when it does not work out in time.
    bool joinGame(const SessionListing& game);
    // Starts the network thread.
    void start();

    bool isHost() const;
    std::vector<PlayerInfo> remotePlayers() const;
    int32_t createPlayer(std::string_view name);
    bool destroyPlayer(int32_t id);
    bool send(int32_t from, int32_t to, bool reliable, std::span<const uint8_t> payload);
    std::optional<SessionEvent> receive();
    void vanish();

private:
    struct HostDeleter {
        void operator()(_ENetHost* host) const;
    };
    // A connection to another machine.
    struct Link {
        enum class Stage : uint8_t { Connecting, Unidentified, Active };
        enum class Opening : uint8_t { None, Join, Hello };  // what this side says once connected
        _ENetPeer* peer = nullptr;
        Stage stage = Stage::Connecting;
        Opening opening = Opening::None;
        uint16_t machine = 0;  // known once Active (or from the welcome for Hello links)
        bool playersReceived = false;
        uint16_t deferredHello = 0;  // a Hello that came before this machine had an id
        std::chrono::steady_clock::time_point since;
    };
    struct RemotePlayer {
        int32_t id = 0;
        uint16_t machine = 0;
        std::string name;
    };

    static int intercept(_ENetHost* host, _ENetEvent* event);
    bool hosting() const;
    void run();
    void stopThread();
    void pump();
    void handle(_ENetEvent& event);
    void connected(_ENetPeer* peer, uint32_t data);
    void disconnected(_ENetPeer* peer, uint32_t data);
    void received(Link& link, std::span<const uint8_t> bytes);
    void on(Link& link, const wire::Join& packet);
    void on(Link& link, const wire::Welcome& packet);
    void on(Link& link, const wire::MemberJoined& packet);
    void on(Link& link, const wire::Hello& packet);
    void on(Link& link, const wire::Players& packet);
    void on(Link& link, const wire::PlayerCreated& packet);
    void on(Link& link, const wire::PlayerDestroyed& packet);
    void on(Link& link, const wire::Message& packet);
    void on(Link& link, const wire::Bye& packet);
    void acceptHello(Link& link, uint16_t id);
    void refuse(Link& link);
    void forget(Link& link, bool graceful);
    Link& addLink(_ENetPeer* peer, Link::Stage stage, Link::Opening opening, uint16_t machine);
    void dropLink(Link& link);
    Link* linkOf(_ENetPeer* peer);
    Link* linkTo(uint16_t machine);
    bool joinComplete() const;
    size_t activeLinks() const;
    void expireUnidentified();
    bool isLocal(int32_t player) const;
    const RemotePlayer* findRemote(int32_t player) const;
    size_t playersOf(uint16_t machine) const;
    void sendPacket(Link& link, std::span<const uint8_t> bytes);
    void sendToAll(std::span<const uint8_t> bytes);
    void leave();

    mutable std::mutex mutex_;
    std::unique_ptr<_ENetHost, HostDeleter> host_;
    wire::Instance instance_{};
    std::string name_;
    uint16_t myId_ = 0;
    uint16_t hostId_ = 0;
    uint16_t maxId_ = 0;
    bool lost_ = false;
    bool joining_ = false;
    bool joinFailed_ = false;
    std::vector<std::unique_ptr<Link>> links_;
    std::vector<PlayerInfo> local_;
    uint32_t nextLocal_ = 1;
    std::vector<RemotePlayer> remote_;
    std::deque<SessionEvent> events_;
    std::vector<uint8_t> scratch_;
    std::vector<uint8_t> answer_;

    WakeSignal wake_;
    std::atomic<bool> stop_{false};
    // When the program last asked for an event (steady clock, ns): while it keeps asking, it
    // takes arriving packets itself and the network thread only keeps time.
    std::atomic<int64_t> lastReceive_{0};
    std::thread thread_;
};

}  // namespace tx::net

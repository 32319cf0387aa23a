// How the machines of a game talk (packet layouts in session_packets.h).
//
// Each machine has one ENet host: the hosting machine's is bound to the game port, a joining
// machine's to a free port. Channel 0 carries every reliable packet (so a player's creation
// always comes before its messages), channel 1 the unreliable messages.
//
// The host is machine 1 and gives each machine that joins the next id. A joiner connects to the
// host and sends Join; the host answers Welcome (the joiner's id, the host's, the highest id
// given, the game's name and every other member's address) and its Players, and tells every
// other member MemberJoined. The joiner then connects to each member and sends Hello, which is
// answered with that member's Players. Every machine speaks for its own players only: player
// ids carry their machine's id in the upper 16 bits, and a packet naming a player of another
// machine than the sender is dropped, as is anything from a connection that has not said who it
// is, and anything that does not decode.
//
// A machine that leaves sends Bye and disconnects with kLeaveTag; a machine that crashes is
// noticed by ENet's time-out (at most about 3 s). Its players are destroyed, and when it was the
// host the remaining machine with the lowest id takes over; every machine decides that alone
// and all arrive at the same one. When the last other machine went away: after a goodbye this
// machine hosts on by itself; after a time-out, unless it already hosted, the session is lost.
//
// Discovery queries arrive on the same socket and are taken out by ENet's intercept hook before
// ENet sees them; only the machine hosting at that moment answers.
//
// Sending: a packet goes out at once when nothing reliable to that machine awaits its
// acknowledgement; otherwise it waits in ENet's queue for the acknowledgement (the network
// thread wakes on it and sends everything queued, many messages to a datagram). A lone message
// thus travels without delay and a burst travels in full datagrams, paced by the receiver.
// While the program keeps asking for events it reads the socket itself and the network thread
// only services the connections every few milliseconds, so no message waits for a hand-over
// between threads.
#include "session_core.h"

#include <arpa/inet.h>
#include <enet/enet.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <random>
#include <utility>

#include "message_payload.h"

namespace tx::net {
namespace {

using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;

constexpr size_t kPeerLimit = wire::kMaxMembers + 1;
constexpr size_t kChannels = 2;
constexpr uint8_t kReliableChannel = 0;
constexpr uint8_t kUnreliableChannel = 1;
using wire::kConnectTag;
using wire::kLeaveTag;
constexpr auto kJoinTimeout = 3000ms;
constexpr auto kLeaveTimeout = 200ms;
constexpr auto kIdentifyTimeout = 5s;
constexpr int kWaitMs = 5;
// A program that asked for an event this recently counts as polling.
constexpr int64_t kProgramPollingNs = 2'000'000;

int64_t steadyNanoseconds() {
    return std::chrono::duration_cast<std::chrono::nanoseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

bool enetReady() {
    static std::once_flag once;
    static bool ready = false;
    std::call_once(once, [] { ready = enet_initialize() == 0; });
    return ready;
}

void configurePeer(ENetPeer* peer) {
    enet_peer_timeout(peer, 32, 1000, 3000);
}

// The session whose host the current thread is servicing, for the intercept hook (ENet hands it
// no context of its own).
thread_local SessionCore* servicing = nullptr;

class ServicingScope {
public:
    explicit ServicingScope(SessionCore* core) : previous_(servicing) { servicing = core; }
    ~ServicingScope() { servicing = previous_; }
    ServicingScope(const ServicingScope&) = delete;
    ServicingScope& operator=(const ServicingScope&) = delete;

private:
    SessionCore* previous_;
};

}  // namespace

WakeSignal::WakeSignal() : fd_(::eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC)) {}
WakeSignal::~WakeSignal() {
    if (fd_ >= 0) ::close(fd_);
}
void WakeSignal::raise() {
    const uint64_t one = 1;
    if (fd_ >= 0) [[maybe_unused]]
        auto n = ::write(fd_, &one, sizeof one);
}

void SessionCore::HostDeleter::operator()(ENetHost* host) const {
    enet_host_destroy(host);
}

SessionCore::SessionCore() = default;

SessionCore::~SessionCore() {
    stopThread();
    std::lock_guard lock(mutex_);
    leave();
}

bool SessionCore::open(uint16_t port) {
    if (!enetReady()) return false;
    ENetAddress address{ENET_HOST_ANY, port};
    host_.reset(enet_host_create(&address, kPeerLimit, kChannels, 0, 0));
    if (!host_) return false;
    host_->intercept = &SessionCore::intercept;
    return true;
}

void SessionCore::hostAs(std::string_view name) {
    std::lock_guard lock(mutex_);
    name_ = wire::clampName(name);
    std::random_device random;
    for (auto& b : instance_) b = static_cast<uint8_t>(random());
    myId_ = hostId_ = maxId_ = 1;
}

bool SessionCore::joinGame(const SessionListing& game) {
    std::lock_guard lock(mutex_);
    ServicingScope scope(this);
    ENetAddress address{};
    address.port = game.port;
    if (game.port == 0 || ::inet_pton(AF_INET, game.address.c_str(), &address.host) != 1)
        return false;
    instance_ = game.instance;
    joining_ = true;
    ENetPeer* peer = enet_host_connect(host_.get(), &address, kChannels, kConnectTag);
    if (!peer) return false;
    addLink(peer, Link::Stage::Connecting, Link::Opening::Join, 0);
    const auto deadline = Clock::now() + kJoinTimeout;
    while (!joinFailed_ && !joinComplete()) {
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
        if (left.count() <= 0) break;
        ENetEvent event;
        const int got = enet_host_service(
            host_.get(), &event, static_cast<enet_uint32>(std::min<int64_t>(left.count(), 50)));
        if (got < 0) break;
        if (got > 0) handle(event);
    }
    joining_ = false;
    if (!joinFailed_ && joinComplete()) return true;
    // Nothing is left behind: the machines reached hear a goodbye, the socket closes.
    for (auto& link : links_) enet_peer_disconnect_now(link->peer, kLeaveTag);
    links_.clear();
    host_.reset();
    return false;
}

void SessionCore::start() {
    thread_ = std::thread([this] { run(); });
}

bool SessionCore::hosting() const {
    return host_ && myId_ != 0 && myId_ == hostId_ && !lost_;
}

bool SessionCore::isHost() const {
    std::lock_guard lock(mutex_);
    return hosting();
}

std::vector<PlayerInfo> SessionCore::remotePlayers() const {
    std::lock_guard lock(mutex_);
    std::vector<PlayerInfo> players;
    players.reserve(remote_.size());
    for (const auto& p : remote_) players.push_back({p.id, p.name});
    return players;
}

int32_t SessionCore::createPlayer(std::string_view name) {
    std::lock_guard lock(mutex_);
    if (!host_ || myId_ == 0 || local_.size() >= wire::kMaxPlayersPerMachine || nextLocal_ > 0xFFFF)
        return 0;
    const auto id = static_cast<int32_t>(uint32_t{myId_} << 16 | nextLocal_++);
    local_.push_back({id, std::string(wire::clampName(name))});
    wire::encode(scratch_, wire::PlayerCreated{{id, local_.back().name}});
    sendToAll(scratch_);
    enet_host_flush(host_.get());
    return id;
}

bool SessionCore::destroyPlayer(int32_t id) {
    std::lock_guard lock(mutex_);
    const auto it =
        std::find_if(local_.begin(), local_.end(), [&](const PlayerInfo& p) { return p.id == id; });
    if (!host_ || it == local_.end()) return false;
    local_.erase(it);
    wire::encode(scratch_, wire::PlayerDestroyed{id});
    sendToAll(scratch_);
    enet_host_flush(host_.get());
    return true;
}

bool SessionCore::send(int32_t from, int32_t to, bool reliable, std::span<const uint8_t> payload) {
    std::lock_guard lock(mutex_);
    if (!host_ || !isLocal(from)) return false;
    const auto fields = decodePayload(payload);
    if (!fields || fields->from != from || fields->to != to ||
        payload.size() > kPayloadHeader + wire::kMaxMessageText)
        return false;
    Link* target = nullptr;
    if (to != 0) {
        if (isLocal(to)) return true;  // the program hands its own players their messages
        const RemotePlayer* player = findRemote(to);
        target = player ? linkTo(player->machine) : nullptr;
        if (!target) return false;
    }
    ENetPacket* packet = enet_packet_create(nullptr, wire::kMessageHeader + payload.size(),
                                            reliable ? ENET_PACKET_FLAG_RELIABLE : 0);
    if (!packet) return false;
    packet->data[0] = static_cast<uint8_t>(wire::Kind::Message);
    std::memcpy(packet->data + wire::kMessageHeader, payload.data(), payload.size());
    const uint8_t channel = reliable ? kReliableChannel : kUnreliableChannel;
    bool sent = true;
    bool flush = false;
    auto deliver = [&](Link& link) {
        flush = flush || enet_list_empty(&link.peer->sentReliableCommands);
        sent = enet_peer_send(link.peer, channel, packet) == 0 && sent;
    };
    if (target) {
        deliver(*target);
    } else {
        for (auto& link : links_)
            if (link->stage == Link::Stage::Active) deliver(*link);
    }
    if (packet->referenceCount == 0) enet_packet_destroy(packet);
    if (flush) enet_host_flush(host_.get());
    return sent;
}

std::optional<SessionEvent> SessionCore::receive() {
    lastReceive_.store(steadyNanoseconds(), std::memory_order_relaxed);
    std::lock_guard lock(mutex_);
    if (events_.empty() && host_) pump();
    if (events_.empty()) return std::nullopt;
    SessionEvent event = std::move(events_.front());
    events_.pop_front();
    return event;
}

void SessionCore::vanish() {
    stopThread();
    std::lock_guard lock(mutex_);
    host_.reset();
    links_.clear();
    remote_.clear();
    events_.clear();
}

int SessionCore::intercept(ENetHost* host, ENetEvent*) {
    SessionCore* self = servicing;
    const auto query = wire::decodeQuery({host->receivedData, host->receivedDataLength});
    if (!query) return 0;
    if (self && self->host_.get() == host && self->hosting()) {
        wire::encodeAnswer(self->answer_, *query, self->instance_, self->name_);
        ENetBuffer buffer{self->answer_.data(), self->answer_.size()};
        enet_socket_send(host->socket, &host->receivedAddress, &buffer, 1);
    }
    return 1;
}

void SessionCore::run() {
    std::array<pollfd, 2> waits{};
    {
        std::lock_guard lock(mutex_);
        waits[0] = {host_->socket, POLLIN, 0};
    }
    waits[1] = {wake_.fd(), POLLIN, 0};
    while (!stop_.load(std::memory_order_acquire)) {
        // A program polling for events takes its packets the moment they come; the thread
        // taking them instead would add a hand-over to every message's way. It then only
        // services the connections every kWaitMs.
        const bool programPolls =
            steadyNanoseconds() - lastReceive_.load(std::memory_order_relaxed) < kProgramPollingNs;
        if (programPolls)
            ::poll(&waits[1], 1, kWaitMs);
        else
            ::poll(waits.data(), waits.size(), kWaitMs);
        std::lock_guard lock(mutex_);
        if (stop_.load(std::memory_order_acquire) || !host_) break;
        pump();
        expireUnidentified();
    }
}

void SessionCore::stopThread() {
    if (!thread_.joinable()) return;
    stop_.store(true, std::memory_order_release);
    wake_.raise();
    thread_.join();
}

void SessionCore::pump() {
    ServicingScope scope(this);
    ENetEvent event;
    // One service reads every datagram waiting (and sends what is due); the events it queued
    // are then taken without another look at the socket.
    if (!host_ || enet_host_service(host_.get(), &event, 0) <= 0) return;
    handle(event);
    while (host_ && enet_host_check_events(host_.get(), &event) > 0) handle(event);
}

void SessionCore::handle(ENetEvent& event) {
    switch (event.type) {
        case ENET_EVENT_TYPE_CONNECT:
            connected(event.peer, event.data);
            break;
        case ENET_EVENT_TYPE_DISCONNECT:
            disconnected(event.peer, event.data);
            break;
        case ENET_EVENT_TYPE_RECEIVE:
            if (Link* link = linkOf(event.peer))
                received(*link, {event.packet->data, event.packet->dataLength});
            enet_packet_destroy(event.packet);
            break;
        case ENET_EVENT_TYPE_NONE:
            break;
    }
}

void SessionCore::connected(ENetPeer* peer, uint32_t data) {
    if (Link* link = linkOf(peer)) {
        if (link->stage != Link::Stage::Connecting) return;
        if (link->opening == Link::Opening::Join) {
            link->stage = Link::Stage::Unidentified;
            wire::encode(scratch_, wire::Join{instance_});
        } else {
            link->stage = Link::Stage::Active;
            wire::encode(scratch_, wire::Hello{instance_, myId_});
        }
        sendPacket(*link, scratch_);
        return;
    }
    if (data != kConnectTag || links_.size() >= wire::kMaxMembers) {
        enet_peer_disconnect_now(peer, 0);
        return;
    }
    addLink(peer, Link::Stage::Unidentified, Link::Opening::None, 0);
}

void SessionCore::disconnected(ENetPeer* peer, uint32_t data) {
    Link* link = linkOf(peer);
    if (!link) return;
    if (joining_ && link->opening != Link::Opening::None) joinFailed_ = true;
    forget(*link, data == kLeaveTag);
}

void SessionCore::received(Link& link, std::span<const uint8_t> bytes) {
    const auto packet = wire::decode(bytes);
    if (!packet) return;
    std::visit([&](const auto& p) { on(link, p); }, *packet);
}

void SessionCore::on(Link& link, const wire::Join& packet) {
    if (link.stage != Link::Stage::Unidentified || link.opening != Link::Opening::None ||
        !hosting() || packet.instance != instance_ || maxId_ >= wire::kMaxMachineId) {
        refuse(link);
        return;
    }
    const uint16_t id = ++maxId_;
    wire::Welcome welcome{id, myId_, maxId_, name_, {}};
    wire::Member joined{id, {}, link.peer->address.port};
    std::memcpy(joined.ip.data(), &link.peer->address.host, 4);
    wire::encode(scratch_, wire::MemberJoined{joined});
    for (auto& other : links_) {
        if (other->stage != Link::Stage::Active) continue;
        wire::Member member{other->machine, {}, other->peer->address.port};
        std::memcpy(member.ip.data(), &other->peer->address.host, 4);
        welcome.members.push_back(member);
        sendPacket(*other, scratch_);
    }
    link.stage = Link::Stage::Active;
    link.machine = id;
    wire::encode(scratch_, welcome);
    sendPacket(link, scratch_);
    wire::encode(scratch_, wire::Players{{local_.begin(), local_.end()}});
    sendPacket(link, scratch_);
    enet_host_flush(host_.get());
}

void SessionCore::on(Link& link, const wire::Welcome& packet) {
    if (!joining_ || link.opening != Link::Opening::Join ||
        link.stage != Link::Stage::Unidentified || myId_ != 0)
        return;
    myId_ = packet.yourId;
    hostId_ = packet.hostId;
    maxId_ = packet.maxId;
    name_ = packet.name;
    link.stage = Link::Stage::Active;
    link.machine = hostId_;
    for (const auto& member : packet.members) {
        maxId_ = std::max(maxId_, member.id);
        if (member.id == myId_ || linkTo(member.id)) continue;
        ENetAddress address{};
        std::memcpy(&address.host, member.ip.data(), 4);
        address.port = member.port;
        ENetPeer* peer = enet_host_connect(host_.get(), &address, kChannels, kConnectTag);
        if (!peer) {
            joinFailed_ = true;
            return;
        }
        addLink(peer, Link::Stage::Connecting, Link::Opening::Hello, member.id);
    }
    // Machines that greeted this one before it knew its own id are answered now.
    std::vector<Link*> waiting;
    for (auto& l : links_)
        if (l->deferredHello != 0) waiting.push_back(l.get());
    for (Link* l : waiting) acceptHello(*l, std::exchange(l->deferredHello, 0));
}

void SessionCore::on(Link& link, const wire::MemberJoined& packet) {
    if (link.stage == Link::Stage::Active && link.machine == hostId_)
        maxId_ = std::max(maxId_, packet.member.id);
}

void SessionCore::on(Link& link, const wire::Hello& packet) {
    if (link.stage != Link::Stage::Unidentified || link.opening != Link::Opening::None ||
        packet.instance != instance_ || lost_ || link.deferredHello != 0) {
        refuse(link);
        return;
    }
    if (myId_ == 0) {
        link.deferredHello = packet.id;
        return;
    }
    acceptHello(link, packet.id);
}

void SessionCore::acceptHello(Link& link, uint16_t id) {
    if (id == myId_ || linkTo(id)) {
        refuse(link);
        return;
    }
    link.stage = Link::Stage::Active;
    link.machine = id;
    maxId_ = std::max(maxId_, id);
    wire::encode(scratch_, wire::Players{{local_.begin(), local_.end()}});
    sendPacket(link, scratch_);
    enet_host_flush(host_.get());
}

void SessionCore::on(Link& link, const wire::Players& packet) {
    if (link.stage != Link::Stage::Active) return;
    const bool theirs = std::all_of(
        packet.players.begin(), packet.players.end(),
        [&](const wire::Player& p) { return wire::playerMachine(p.id) == link.machine; });
    if (!theirs) return;
    for (const auto& p : packet.players) {
        if (findRemote(p.id) || playersOf(link.machine) >= wire::kMaxPlayersPerMachine) continue;
        remote_.push_back({p.id, link.machine, p.name});
        events_.push_back({SessionEvent::Kind::PlayerCreated, p.id, p.name, {}});
    }
    link.playersReceived = true;
}

void SessionCore::on(Link& link, const wire::PlayerCreated& packet) {
    const auto& p = packet.player;
    if (link.stage != Link::Stage::Active || wire::playerMachine(p.id) != link.machine ||
        findRemote(p.id) || playersOf(link.machine) >= wire::kMaxPlayersPerMachine)
        return;
    remote_.push_back({p.id, link.machine, p.name});
    events_.push_back({SessionEvent::Kind::PlayerCreated, p.id, p.name, {}});
}

void SessionCore::on(Link& link, const wire::PlayerDestroyed& packet) {
    if (link.stage != Link::Stage::Active) return;
    const auto it = std::find_if(remote_.begin(), remote_.end(), [&](const RemotePlayer& p) {
        return p.id == packet.id && p.machine == link.machine;
    });
    if (it == remote_.end()) return;
    remote_.erase(it);
    events_.push_back({SessionEvent::Kind::PlayerDestroyed, packet.id, {}, {}});
}

void SessionCore::on(Link& link, const wire::Message& packet) {
    if (link.stage != Link::Stage::Active) return;
    const auto fields = decodePayload(packet.payload);
    if (!fields || (fields->to != 0 && !isLocal(fields->to))) return;
    const RemotePlayer* sender = findRemote(fields->from);
    if (!sender || sender->machine != link.machine) return;
    events_.push_back({SessionEvent::Kind::Message,
                       fields->from,
                       {},
                       {packet.payload.begin(), packet.payload.end()}});
}

void SessionCore::on(Link& link, const wire::Bye&) {
    ENetPeer* peer = link.peer;
    forget(link, true);
    enet_peer_disconnect(peer, kLeaveTag);
}

void SessionCore::refuse(Link& link) {
    ENetPeer* peer = link.peer;
    dropLink(link);
    enet_peer_disconnect(peer, 0);
}

void SessionCore::forget(Link& link, bool graceful) {
    const uint16_t machine = link.stage == Link::Stage::Active ? link.machine : 0;
    dropLink(link);
    if (machine == 0) return;
    for (auto it = remote_.begin(); it != remote_.end();) {
        if (it->machine != machine) {
            ++it;
            continue;
        }
        events_.push_back({SessionEvent::Kind::PlayerDestroyed, it->id, {}, {}});
        it = remote_.erase(it);
    }
    if (myId_ == 0 || lost_ || hostId_ == myId_) return;
    if (activeLinks() == 0) {
        // Alone now: a goodbye leaves this machine the game; a time-out cuts it off.
        if (!graceful) {
            lost_ = true;
            events_.push_back({SessionEvent::Kind::SessionLost, 0, {}, {}});
            return;
        }
        hostId_ = myId_;
        events_.push_back({SessionEvent::Kind::BecameHost, 0, {}, {}});
        return;
    }
    if (machine != hostId_) return;
    hostId_ = myId_;
    for (const auto& other : links_)
        if (other->stage == Link::Stage::Active) hostId_ = std::min(hostId_, other->machine);
    if (hostId_ == myId_) events_.push_back({SessionEvent::Kind::BecameHost, 0, {}, {}});
}

SessionCore::Link& SessionCore::addLink(ENetPeer* peer, Link::Stage stage, Link::Opening opening,
                                        uint16_t machine) {
    configurePeer(peer);
    auto link = std::make_unique<Link>();
    link->peer = peer;
    link->stage = stage;
    link->opening = opening;
    link->machine = machine;
    link->since = Clock::now();
    peer->data = link.get();
    links_.push_back(std::move(link));
    return *links_.back();
}

void SessionCore::dropLink(Link& link) {
    link.peer->data = nullptr;
    std::erase_if(links_, [&](const std::unique_ptr<Link>& l) { return l.get() == &link; });
}

SessionCore::Link* SessionCore::linkOf(ENetPeer* peer) {
    return static_cast<Link*>(peer->data);
}

SessionCore::Link* SessionCore::linkTo(uint16_t machine) {
    for (auto& link : links_)
        if (link->machine == machine && link->stage != Link::Stage::Unidentified) return link.get();
    return nullptr;
}

bool SessionCore::joinComplete() const {
    if (myId_ == 0) return false;
    return std::all_of(links_.begin(), links_.end(), [](const std::unique_ptr<Link>& l) {
        return l->opening == Link::Opening::None ||
               (l->stage == Link::Stage::Active && l->playersReceived);
    });
}

size_t SessionCore::activeLinks() const {
    return static_cast<size_t>(std::count_if(
        links_.begin(), links_.end(),
        [](const std::unique_ptr<Link>& l) { return l->stage == Link::Stage::Active; }));
}

void SessionCore::expireUnidentified() {
    const auto now = Clock::now();
    for (size_t i = 0; i < links_.size();) {
        Link& link = *links_[i];
        if (link.stage == Link::Stage::Unidentified && link.opening == Link::Opening::None &&
            now - link.since > kIdentifyTimeout) {
            refuse(link);
            continue;
        }
        ++i;
    }
}

bool SessionCore::isLocal(int32_t player) const {
    return player != 0 && std::any_of(local_.begin(), local_.end(),
                                      [&](const PlayerInfo& p) { return p.id == player; });
}

const SessionCore::RemotePlayer* SessionCore::findRemote(int32_t player) const {
    for (const auto& p : remote_)
        if (p.id == player) return &p;
    return nullptr;
}

size_t SessionCore::playersOf(uint16_t machine) const {
    return static_cast<size_t>(
        std::count_if(remote_.begin(), remote_.end(),
                      [&](const RemotePlayer& p) { return p.machine == machine; }));
}

void SessionCore::sendPacket(Link& link, std::span<const uint8_t> bytes) {
    ENetPacket* packet = enet_packet_create(bytes.data(), bytes.size(), ENET_PACKET_FLAG_RELIABLE);
    if (packet && enet_peer_send(link.peer, kReliableChannel, packet) != 0)
        enet_packet_destroy(packet);
}

void SessionCore::sendToAll(std::span<const uint8_t> bytes) {
    for (auto& link : links_)
        if (link->stage == Link::Stage::Active) sendPacket(*link, bytes);
}

void SessionCore::leave() {
    if (!host_) return;
    ServicingScope scope(this);
    hostId_ = 0;  // no more answers to queries
    wire::encode(scratch_, wire::Bye{});
    for (auto& link : links_) {
        if (link->stage == Link::Stage::Active) sendPacket(*link, scratch_);
        enet_peer_disconnect_later(link->peer, kLeaveTag);
        link->peer->data = nullptr;
    }
    links_.clear();
    const auto deadline = Clock::now() + kLeaveTimeout;
    auto open = [&] {
        for (size_t i = 0; i < host_->peerCount; ++i)
            if (host_->peers[i].state != ENET_PEER_STATE_DISCONNECTED) return true;
        return false;
    };
    while (open() && Clock::now() < deadline) {
        ENetEvent event;
        if (enet_host_service(host_.get(), &event, 10) > 0 && event.type == ENET_EVENT_TYPE_RECEIVE)
            enet_packet_destroy(event.packet);
    }
    host_.reset();
}

}  // namespace tx::net

// A multiplayer session between machines: one machine hosts a game under a name, others find it
// by name and join. Every machine keeps a connection to every other (ENet: reliable and
// unreliable packets over UDP, keep-alive, time-outs), so when the host leaves the machine that
// joined earliest takes over without a server of its own. A network thread keeps the
// connections alive while the program is busy; everything else is called from the program's
// thread.
#pragma once

#include <array>
#include <chrono>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace tx::net {

class SessionCore;

// The UDP port games are hosted and looked for on, unless TERVEX_NET_PORT names another.
inline constexpr uint16_t kDefaultPort = 24680;
uint16_t gamePort();

// A game found on the network.
struct SessionListing {
    std::array<uint8_t, 16> instance{};  // the session's own id
    std::string name;
    std::string address;  // dotted IPv4 of the machine that answered, its host
    uint16_t port = 0;
};

// Asks the machine at `address` ("a.b.c.d" or a host name, optionally ":port"; empty asks the
// local network by broadcast) for the games it hosts: answers gathered for `wait`, or until the
// one machine asked by its address answered. Nothing when the address means no machine or the
// question cannot be sent.
std::optional<std::vector<SessionListing>> findSessions(std::string_view address,
                                                        std::chrono::milliseconds wait);

struct PlayerInfo {
    int32_t id = 0;  // unique in the session, never 0
    std::string name;
};

// What the session tells the program, in the order it happened.
struct SessionEvent {
    enum class Kind : uint8_t {
        PlayerCreated,    // a remote player: player, name
        PlayerDestroyed,  // a remote player left, or its machine did: player
        BecameHost,       // this machine is now the host
        SessionLost,      // cut off from every other machine
        Message,          // payload: sender, addressee, type byte, text (see message_payload.h)
    };
    Kind kind = Kind::Message;
    int32_t player = 0;
    std::string name;
    std::vector<uint8_t> payload;
};

class NetSession {
public:
    // Hosts a new game on the game port; null when the port cannot be opened.
    static std::unique_ptr<NetSession> host(std::string_view name);
    // Joins a found game; returns once every machine of the game has told it its players, null
    // when the game cannot be reached or does not let it in.
    static std::unique_ptr<NetSession> join(const SessionListing& game);
    // Leaves the game: the other machines are told, so they hand the host's part on at once.
    ~NetSession();
    NetSession(const NetSession&) = delete;
    NetSession& operator=(const NetSession&) = delete;

    bool isHost() const;
    // The remote players known now.
    std::vector<PlayerInfo> remotePlayers() const;
    // A player of this machine: its id, or 0.
    int32_t createPlayer(std::string_view name);
    // Destroys a player of this machine; false when it has none of that id.
    bool destroyPlayer(int32_t id);
    // Sends a message payload from a player of this machine to a player (0: every machine);
    // false when `from` is not a player of this machine or `to` is no known player.
    bool send(int32_t from, int32_t to, bool reliable, std::span<const uint8_t> payload);
    // The next event, if any.
    std::optional<SessionEvent> receive();

    // Ends the game without a goodbye, as a machine that crashed or lost its network would
    // (for tests of what the others do then).
    void vanish();

private:
    explicit NetSession(std::unique_ptr<SessionCore> core);
    std::unique_ptr<SessionCore> core_;
};

}  // namespace tx::net

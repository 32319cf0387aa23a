// The packets session machines exchange over their connections, and the discovery datagrams,
// written and read back with every length and value checked: whatever arrives from the network
// decodes to a well-formed packet or to nothing.
//
// Connection packets start with their kind byte; numbers are little-endian, names a length byte
// and that many bytes, addresses four bytes in network order and a port:
//   Join           instance[16]                              joiner -> host
//   Welcome        yourId u16, hostId u16, maxId u16, name, count u8, {id u16, ip[4], port u16}
//   MemberJoined   id u16, ip[4], port u16                   host -> the other members
//   Hello          instance[16], id u16                      joiner -> every other member
//   Players        count u16, {id i32, name}                 answer to Join and Hello
//   PlayerCreated  id i32, name
//   PlayerDestroyed id i32
//   Message        the message payload (message_payload.h), to the end of the packet
//   Bye            nothing                                   a machine leaves
// Discovery datagrams travel on the game port beside the connections:
//   query  "TXQ1" nonce[8]
//   answer "TXS1" nonce[8] instance[16] name bytes (to the end, at most kMaxNameBytes)
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "net_session.h"

namespace tx::net::wire {

using Instance = std::array<uint8_t, 16>;
using Nonce = std::array<uint8_t, 8>;

// The data of a connection request between session machines, and of the disconnect of a machine
// that leaves on purpose (a time-out carries none).
inline constexpr uint32_t kConnectTag = 0x54585331;
inline constexpr uint32_t kLeaveTag = 0x54584259;

inline constexpr size_t kMaxNameBytes = 255;
inline constexpr uint16_t kMaxMachineId = 32767;  // keeps every player id positive
inline constexpr size_t kMaxMembers = 63;         // the other machines one machine links to
inline constexpr size_t kMaxPlayersPerMachine = 1024;
inline constexpr size_t kMaxMessageText = 1 << 20;

enum class Kind : uint8_t {
    Join = 1,
    Welcome,
    MemberJoined,
    Hello,
    Players,
    PlayerCreated,
    PlayerDestroyed,
    Message,
    Bye,
};

struct Member {
    uint16_t id = 0;
    std::array<uint8_t, 4> ip{};  // network order
    uint16_t port = 0;
};

using Player = PlayerInfo;

struct Join {
    Instance instance{};
};
struct Welcome {
    uint16_t yourId = 0;
    uint16_t hostId = 0;
    uint16_t maxId = 0;
    std::string name;
    std::vector<Member> members;
};
struct MemberJoined {
    Member member;
};
struct Hello {
    Instance instance{};
    uint16_t id = 0;
};
struct Players {
    std::vector<Player> players;
};
struct PlayerCreated {
    Player player;
};
struct PlayerDestroyed {
    int32_t id = 0;
};
struct Message {
    std::span<const uint8_t> payload;  // a view into the decoded bytes
};
struct Bye {};

using Packet = std::variant<Join, Welcome, MemberJoined, Hello, Players, PlayerCreated,
                            PlayerDestroyed, Message, Bye>;

// The machine a player id belongs to (its upper half); 0 for an id no machine can own.
uint16_t playerMachine(int32_t id);
// The longest prefix of `name` that fits a name field without splitting a UTF-8 sequence.
std::string_view clampName(std::string_view name);

// Each encoder replaces the contents of `out` with the packet.
void encode(std::vector<uint8_t>& out, const Join& packet);
void encode(std::vector<uint8_t>& out, const Welcome& packet);
void encode(std::vector<uint8_t>& out, const MemberJoined& packet);
void encode(std::vector<uint8_t>& out, const Hello& packet);
void encode(std::vector<uint8_t>& out, const Players& packet);
void encode(std::vector<uint8_t>& out, const PlayerCreated& packet);
void encode(std::vector<uint8_t>& out, const PlayerDestroyed& packet);
void encode(std::vector<uint8_t>& out, const Bye& packet);
// A message packet is its kind byte followed by the payload, written straight into the buffer
// the transport sends (see net_session.cpp), so it has no encoder of its own.
inline constexpr size_t kMessageHeader = 1;

std::optional<Packet> decode(std::span<const uint8_t> bytes);

// Discovery.
inline constexpr size_t kQuerySize = 12;
inline constexpr size_t kAnswerHeader = 28;

struct Answer {
    Nonce nonce{};
    Instance instance{};
    std::string name;
};

std::array<uint8_t, kQuerySize> encodeQuery(const Nonce& nonce);
std::optional<Nonce> decodeQuery(std::span<const uint8_t> bytes);
void encodeAnswer(std::vector<uint8_t>& out, const Nonce& nonce, const Instance& instance,
                  std::string_view name);
std::optional<Answer> decodeAnswer(std::span<const uint8_t> bytes);

}  // namespace tx::net::wire

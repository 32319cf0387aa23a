// Writing and checked reading of the session packets (layouts in session_packets.h).
#include "session_packets.h"

#include <algorithm>
#include <cstring>

#include "message_payload.h"

namespace tx::net::wire {
namespace {

constexpr std::array<uint8_t, 4> kQueryMagic{'T', 'X', 'Q', '1'};
constexpr std::array<uint8_t, 4> kAnswerMagic{'T', 'X', 'S', '1'};

class Writer {
public:
    Writer(std::vector<uint8_t>& out, Kind kind) : out_(out) {
        out_.clear();
        out_.push_back(static_cast<uint8_t>(kind));
    }
    void u8(uint8_t v) { out_.push_back(v); }
    void u16(uint16_t v) {
        out_.push_back(static_cast<uint8_t>(v));
        out_.push_back(static_cast<uint8_t>(v >> 8));
    }
    void i32(int32_t v) {
        const auto u = static_cast<uint32_t>(v);
        for (int i = 0; i < 4; ++i) out_.push_back(static_cast<uint8_t>(u >> (8 * i)));
    }
    void bytes(std::span<const uint8_t> b) { out_.insert(out_.end(), b.begin(), b.end()); }
    void name(std::string_view n) {
        n = clampName(n);
        u8(static_cast<uint8_t>(n.size()));
        bytes({reinterpret_cast<const uint8_t*>(n.data()), n.size()});
    }
    void member(const Member& m) {
        u16(m.id);
        bytes(m.ip);
        u16(m.port);
    }

private:
    std::vector<uint8_t>& out_;
};

// Reads fields front to back; any read past the end clears ok() and yields zeros.
class Reader {
public:
    explicit Reader(std::span<const uint8_t> bytes) : bytes_(bytes) {}
    bool ok() const { return ok_; }
    bool atEnd() const { return ok_ && at_ == bytes_.size(); }
    size_t left() const { return bytes_.size() - at_; }

    std::span<const uint8_t> bytes(size_t n) {
        if (!ok_ || n > left()) {
            ok_ = false;
            return {};
        }
        auto b = bytes_.subspan(at_, n);
        at_ += n;
        return b;
    }
    uint8_t u8() {
        auto b = bytes(1);
        return b.empty() ? 0 : b[0];
    }
    uint16_t u16() {
        auto b = bytes(2);
        return b.empty() ? 0 : static_cast<uint16_t>(b[0] | b[1] << 8);
    }
    int32_t i32() {
        auto b = bytes(4);
        if (b.empty()) return 0;
        uint32_t v = 0;
        for (int i = 3; i >= 0; --i) v = v << 8 | b[i];
        return static_cast<int32_t>(v);
    }
    template <size_t N>
    std::array<uint8_t, N> array() {
        std::array<uint8_t, N> a{};
        auto b = bytes(N);
        if (!b.empty()) std::memcpy(a.data(), b.data(), N);
        return a;
    }
    std::string name() {
        const size_t n = u8();
        auto b = bytes(n);
        return {reinterpret_cast<const char*>(b.data()), b.size()};
    }
    uint16_t machineId() {
        const uint16_t id = u16();
        if (id == 0 || id > kMaxMachineId) ok_ = false;
        return id;
    }
    int32_t playerId() {
        const int32_t id = i32();
        if (playerMachine(id) == 0) ok_ = false;
        return id;
    }
    Member member() {
        Member m;
        m.id = machineId();
        m.ip = array<4>();
        m.port = u16();
        if (m.port == 0) ok_ = false;
        return m;
    }

private:
    std::span<const uint8_t> bytes_;
    size_t at_ = 0;
    bool ok_ = true;
};

template <typename T>
std::optional<Packet> finish(Reader& r, T&& packet) {
    if (!r.atEnd()) return std::nullopt;
    return Packet{std::forward<T>(packet)};
}

std::optional<Packet> decodeWelcome(Reader& r) {
    Welcome w;
    w.yourId = r.machineId();
    w.hostId = r.machineId();
    w.maxId = r.machineId();
    w.name = r.name();
    const size_t count = r.u8();
    if (!r.ok() || count > kMaxMembers || w.yourId == w.hostId || w.maxId < w.yourId)
        return std::nullopt;
    w.members.reserve(count);
    for (size_t i = 0; i < count && r.ok(); ++i) w.members.push_back(r.member());
    return finish(r, std::move(w));
}

std::optional<Packet> decodePlayers(Reader& r) {
    Players p;
    const size_t count = r.u16();
    // Each entry takes at least five bytes, so a count the packet cannot hold is refused
    // before anything is reserved for it.
    if (!r.ok() || count > kMaxPlayersPerMachine || count * 5 > r.left()) return std::nullopt;
    p.players.reserve(count);
    for (size_t i = 0; i < count && r.ok(); ++i) {
        Player player;
        player.id = r.playerId();
        player.name = r.name();
        p.players.push_back(std::move(player));
    }
    return finish(r, std::move(p));
}

}  // namespace

uint16_t playerMachine(int32_t id) {
    if (id <= 0 || (id & 0xFFFF) == 0) return 0;
    const auto machine = static_cast<uint32_t>(id) >> 16;
    return machine <= kMaxMachineId ? static_cast<uint16_t>(machine) : 0;
}

std::string_view clampName(std::string_view name) {
    if (name.size() <= kMaxNameBytes) return name;
    size_t n = kMaxNameBytes;
    while (n > 0 && (static_cast<uint8_t>(name[n]) & 0xC0) == 0x80) --n;
    return name.substr(0, n);
}

void encode(std::vector<uint8_t>& out, const Join& p) {
    Writer(out, Kind::Join).bytes(p.instance);
}

void encode(std::vector<uint8_t>& out, const Welcome& p) {
    Writer w(out, Kind::Welcome);
    w.u16(p.yourId);
    w.u16(p.hostId);
    w.u16(p.maxId);
    w.name(p.name);
    const size_t count = std::min(p.members.size(), kMaxMembers);
    w.u8(static_cast<uint8_t>(count));
    for (size_t i = 0; i < count; ++i) w.member(p.members[i]);
}

void encode(std::vector<uint8_t>& out, const MemberJoined& p) {
    Writer(out, Kind::MemberJoined).member(p.member);
}

void encode(std::vector<uint8_t>& out, const Hello& p) {
    Writer w(out, Kind::Hello);
    w.bytes(p.instance);
    w.u16(p.id);
}

void encode(std::vector<uint8_t>& out, const Players& p) {
    Writer w(out, Kind::Players);
    const size_t count = std::min(p.players.size(), kMaxPlayersPerMachine);
    w.u16(static_cast<uint16_t>(count));
    for (size_t i = 0; i < count; ++i) {
        w.i32(p.players[i].id);
        w.name(p.players[i].name);
    }
}

void encode(std::vector<uint8_t>& out, const PlayerCreated& p) {
    Writer w(out, Kind::PlayerCreated);
    w.i32(p.player.id);
    w.name(p.player.name);
}

void encode(std::vector<uint8_t>& out, const PlayerDestroyed& p) {
    Writer(out, Kind::PlayerDestroyed).i32(p.id);
}

void encode(std::vector<uint8_t>& out, const Bye&) {
    Writer(out, Kind::Bye);
}

std::optional<Packet> decode(std::span<const uint8_t> bytes) {
    if (bytes.empty()) return std::nullopt;
    Reader r(bytes.subspan(1));
    switch (static_cast<Kind>(bytes[0])) {
        case Kind::Join:
            return finish(r, Join{r.array<16>()});
        case Kind::Welcome:
            return decodeWelcome(r);
        case Kind::MemberJoined:
            return finish(r, MemberJoined{r.member()});
        case Kind::Hello: {
            Hello h;
            h.instance = r.array<16>();
            h.id = r.machineId();
            return finish(r, h);
        }
        case Kind::Players:
            return decodePlayers(r);
        case Kind::PlayerCreated: {
            PlayerCreated p;
            p.player.id = r.playerId();
            p.player.name = r.name();
            return finish(r, std::move(p));
        }
        case Kind::PlayerDestroyed:
            return finish(r, PlayerDestroyed{r.playerId()});
        case Kind::Message: {
            const size_t size = r.left();
            if (size < kPayloadHeader || size > kPayloadHeader + kMaxMessageText)
                return std::nullopt;
            return Packet{Message{bytes.subspan(1)}};
        }
        case Kind::Bye:
            return finish(r, Bye{});
    }
    return std::nullopt;
}

std::array<uint8_t, kQuerySize> encodeQuery(const Nonce& nonce) {
    std::array<uint8_t, kQuerySize> q{};
    std::copy(kQueryMagic.begin(), kQueryMagic.end(), q.begin());
    std::copy(nonce.begin(), nonce.end(), q.begin() + 4);
    return q;
}

std::optional<Nonce> decodeQuery(std::span<const uint8_t> bytes) {
    if (bytes.size() != kQuerySize ||
        !std::equal(kQueryMagic.begin(), kQueryMagic.end(), bytes.begin()))
        return std::nullopt;
    Nonce n{};
    std::copy(bytes.begin() + 4, bytes.end(), n.begin());
    return n;
}

void encodeAnswer(std::vector<uint8_t>& out, const Nonce& nonce, const Instance& instance,
                  std::string_view name) {
    name = clampName(name);
    out.assign(kAnswerMagic.begin(), kAnswerMagic.end());
    out.insert(out.end(), nonce.begin(), nonce.end());
    out.insert(out.end(), instance.begin(), instance.end());
    out.insert(out.end(), name.begin(), name.end());
}

std::optional<Answer> decodeAnswer(std::span<const uint8_t> bytes) {
    if (bytes.size() < kAnswerHeader || bytes.size() > kAnswerHeader + kMaxNameBytes ||
        !std::equal(kAnswerMagic.begin(), kAnswerMagic.end(), bytes.begin()))
        return std::nullopt;
    Answer a;
    std::copy(bytes.begin() + 4, bytes.begin() + 12, a.nonce.begin());
    std::copy(bytes.begin() + 12, bytes.begin() + kAnswerHeader, a.instance.begin());
    a.name.assign(reinterpret_cast<const char*>(bytes.data()) + kAnswerHeader,
                  bytes.size() - kAnswerHeader);
    return a;
}

}  // namespace tx::net::wire

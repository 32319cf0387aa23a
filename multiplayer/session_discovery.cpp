// Finding hosted games: a query datagram from a plain UDP socket to one machine's game port, or
// broadcast to the local network, and the answers of the machines that host a game, gathered
// for the time asked and kept once per game. Hosts answer on their session socket (see
// net_session.cpp).
#include <arpa/inet.h>
#include <netdb.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <random>

#include "net_session.h"
#include "session_packets.h"

namespace tx::net {
namespace {

class UdpSocket {
public:
    UdpSocket() : fd_(::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0)) {}
    ~UdpSocket() {
        if (fd_ >= 0) ::close(fd_);
    }
    UdpSocket(const UdpSocket&) = delete;
    UdpSocket& operator=(const UdpSocket&) = delete;
    int fd() const { return fd_; }

private:
    int fd_;
};

std::optional<uint16_t> parsePort(std::string_view text) {
    if (text.empty() || text.size() > 5) return std::nullopt;
    uint32_t port = 0;
    for (char c : text) {
        if (c < '0' || c > '9') return std::nullopt;
        port = port * 10 + static_cast<uint32_t>(c - '0');
    }
    if (port == 0 || port > 65535) return std::nullopt;
    return static_cast<uint16_t>(port);
}

// "host[:port]" to an IPv4 socket address; empty means the local network's broadcast address.
std::optional<sockaddr_in> resolve(std::string_view address) {
    sockaddr_in to{};
    to.sin_family = AF_INET;
    to.sin_port = htons(gamePort());
    if (address.empty()) {
        to.sin_addr.s_addr = htonl(INADDR_BROADCAST);
        return to;
    }
    std::string_view name = address;
    if (const size_t colon = address.rfind(':'); colon != std::string_view::npos) {
        const auto port = parsePort(address.substr(colon + 1));
        if (!port) return std::nullopt;
        to.sin_port = htons(*port);
        name = address.substr(0, colon);
    }
    if (name.empty()) return std::nullopt;
    addrinfo hints{};
    hints.ai_family = AF_INET;
    hints.ai_socktype = SOCK_DGRAM;
    addrinfo* found = nullptr;
    if (::getaddrinfo(std::string(name).c_str(), nullptr, &hints, &found) != 0 || !found)
        return std::nullopt;
    to.sin_addr = reinterpret_cast<const sockaddr_in*>(found->ai_addr)->sin_addr;
    ::freeaddrinfo(found);
    return to;
}

}  // namespace

uint16_t gamePort() {
    const char* text = std::getenv("TERVEX_NET_PORT");
    if (!text) return kDefaultPort;
    return parsePort(text).value_or(kDefaultPort);
}

std::optional<std::vector<SessionListing>> findSessions(std::string_view address,
                                                        std::chrono::milliseconds wait) {
    std::vector<SessionListing> found;
    const auto to = resolve(address);
    UdpSocket socket;
    if (!to || socket.fd() < 0) return std::nullopt;
    const int yes = 1;
    if (address.empty() &&
        ::setsockopt(socket.fd(), SOL_SOCKET, SO_BROADCAST, &yes, sizeof yes) != 0)
        return std::nullopt;

    wire::Nonce nonce{};
    std::random_device random;
    for (auto& b : nonce) b = static_cast<uint8_t>(random());
    const auto query = wire::encodeQuery(nonce);
    if (::sendto(socket.fd(), query.data(), query.size(), 0,
                 reinterpret_cast<const sockaddr*>(&*to), sizeof *to) < 0)
        return std::nullopt;

    const auto deadline = std::chrono::steady_clock::now() + wait;
    std::array<uint8_t, 512> buffer{};
    for (;;) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0) break;
        pollfd p{socket.fd(), POLLIN, 0};
        if (::poll(&p, 1, static_cast<int>(left.count())) <= 0) continue;
        sockaddr_in from{};
        socklen_t fromSize = sizeof from;
        const ssize_t n = ::recvfrom(socket.fd(), buffer.data(), buffer.size(), 0,
                                     reinterpret_cast<sockaddr*>(&from), &fromSize);
        if (n <= 0 || from.sin_family != AF_INET) continue;
        const auto answer = wire::decodeAnswer({buffer.data(), static_cast<size_t>(n)});
        if (!answer || answer->nonce != nonce) continue;
        const bool known = std::any_of(found.begin(), found.end(), [&](const SessionListing& s) {
            return s.instance == answer->instance;
        });
        if (known) continue;
        char dotted[INET_ADDRSTRLEN] = {};
        ::inet_ntop(AF_INET, &from.sin_addr, dotted, sizeof dotted);
        found.push_back({answer->instance, answer->name, dotted, ntohs(from.sin_port)});
        // One machine asked by its address hosts one game: no more answers will come.
        if (!address.empty()) break;
    }
    return found;
}

}  // namespace tx::net

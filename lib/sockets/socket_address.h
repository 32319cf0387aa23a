// IPv4 endpoints as programs see them (address and port in host order), and the conversions to
// and from the socket layer's byte order.
#pragma once

#include <netinet/in.h>

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace tx {

struct Endpoint {
    uint32_t ip = 0;   // host order: 192.168.0.1 is 0xC0A80001
    int32_t port = 0;  // 0..65535
};

inline bool validPort(int32_t port) {
    return port >= 0 && port <= 65535;
}

sockaddr_in toSockaddr(Endpoint endpoint);
Endpoint fromSockaddr(const sockaddr_in& address);

// The socket's own address and port; 0 and 0 when the socket layer cannot tell.
Endpoint localEndpoint(int fd);

// Binds to any local address and the port (0 lets the system pick). False on failure.
bool bindAnyAddress(int fd, int32_t port);

// "a.b.c.d" from the four bytes, most significant first.
std::string dottedText(uint32_t ip);

// The address a dotted text spells (also the short and hexadecimal forms "127.1", "0x7f.1"),
// or nothing when the text is not a dotted address.
std::optional<uint32_t> parseDotted(std::string_view text);

}  // namespace tx

#include "socket_address.h"

#include <arpa/inet.h>
#include <sys/socket.h>

namespace tx {

sockaddr_in toSockaddr(Endpoint endpoint) {
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(endpoint.ip);
    address.sin_port = htons(static_cast<uint16_t>(endpoint.port));
    return address;
}

Endpoint fromSockaddr(const sockaddr_in& address) {
    return Endpoint{ntohl(address.sin_addr.s_addr), ntohs(address.sin_port)};
}

Endpoint localEndpoint(int fd) {
    sockaddr_in address{};
    socklen_t length = sizeof address;
    if (::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length) != 0 ||
        address.sin_family != AF_INET)
        return Endpoint{};
    return fromSockaddr(address);
}

bool bindAnyAddress(int fd, int32_t port) {
    if (!validPort(port)) return false;
    const sockaddr_in address = toSockaddr(Endpoint{INADDR_ANY, port});
    return ::bind(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0;
}

std::string dottedText(uint32_t ip) {
    std::string text;
    for (int shift = 24; shift >= 0; shift -= 8) {
        if (shift != 24) text += '.';
        text += std::to_string((ip >> shift) & 0xFF);
    }
    return text;
}

std::optional<uint32_t> parseDotted(std::string_view text) {
    // A zero byte inside the text would cut it short: such text is no address.
    if (text.empty() || text.find('\0') != std::string_view::npos) return std::nullopt;
    const std::string terminated(text);
    in_addr address{};
    if (::inet_aton(terminated.c_str(), &address) == 0) return std::nullopt;
    return ntohl(address.s_addr);
}

}  // namespace tx

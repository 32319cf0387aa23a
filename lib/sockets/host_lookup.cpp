#include "host_lookup.h"

#include <netdb.h>
#include <netinet/in.h>
#include <sys/socket.h>

#include <algorithm>
#include <cctype>
#include <memory>
#include <string>

#include "ascii_case.h"
#include "socket_address.h"

namespace tx {
namespace {

struct AddrInfoFree {
    void operator()(addrinfo* list) const { ::freeaddrinfo(list); }
};

}  // namespace

bool reservedInvalidName(std::string_view name) {
    if (!name.empty() && name.back() == '.') name.remove_suffix(1);
    constexpr std::string_view kDomain = "invalid";
    if (name.size() < kDomain.size()) return false;
    const std::string_view tail = name.substr(name.size() - kDomain.size());
    if (!equalsIgnoringCase(tail, kDomain)) return false;
    return name.size() == kDomain.size() || name[name.size() - kDomain.size() - 1] == '.';
}

std::optional<std::vector<uint32_t>> lookupHost(std::string_view name) {
    // A zero byte would cut the name short, so such a name resolves to nothing.
    if (name.find('\0') != std::string_view::npos || reservedInvalidName(name)) return std::nullopt;
    const std::string terminated(name);
    addrinfo hints{};
    hints.ai_family = AF_INET;
    hints.ai_socktype = SOCK_STREAM;  // one entry per address rather than one per socket type
    addrinfo* found = nullptr;
    if (::getaddrinfo(terminated.c_str(), nullptr, &hints, &found) != 0) return std::nullopt;
    const std::unique_ptr<addrinfo, AddrInfoFree> list(found);
    std::vector<uint32_t> addresses;
    for (const addrinfo* entry = found; entry != nullptr; entry = entry->ai_next) {
        if (entry->ai_family != AF_INET || entry->ai_addrlen < sizeof(sockaddr_in)) continue;
        addresses.push_back(fromSockaddr(*reinterpret_cast<const sockaddr_in*>(entry->ai_addr)).ip);
    }
    return addresses;
}

}  // namespace tx

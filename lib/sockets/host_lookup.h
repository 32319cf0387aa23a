// Host name lookups: the IPv4 addresses of a name.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

namespace tx {

// The IPv4 addresses of a host name (or dotted text), in host order and in the order the
// resolver lists them; nothing when the lookup fails. Names under the reserved top-level
// domain "invalid" fail at once without asking the resolver.
std::optional<std::vector<uint32_t>> lookupHost(std::string_view name);

// True for "invalid" and every name under it (a trailing dot and any letter case allowed).
bool reservedInvalidName(std::string_view name);

}  // namespace tx

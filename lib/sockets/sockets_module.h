// The sockets module: IPv4 name lookups, UDP and TCP streams and TCP servers.
#pragma once

#include "basic_module.h"

namespace tx {

void linkSockets(CommandRegistrar& registrar);
bool socketsCreate();
void socketsDestroy();
inline constexpr LibraryModule kSocketsModule{"sockets", &linkSockets, &socketsCreate,
                                              &socketsDestroy};

}  // namespace tx

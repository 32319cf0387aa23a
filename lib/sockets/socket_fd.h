// Owned socket descriptors.
#pragma once

#include <sys/socket.h>

#include "unique_fd.h"

namespace tx {

using SocketFd = UniqueFd;

// Lets close return at once and finish (or drop) the connection in the background, so a socket
// that already failed never holds up its owner's destruction.
inline void dontLinger(const SocketFd& socket) {
    if (!socket.valid()) return;
    const linger off{0, 0};
    ::setsockopt(socket.get(), SOL_SOCKET, SO_LINGER, &off, sizeof off);
}

}  // namespace tx

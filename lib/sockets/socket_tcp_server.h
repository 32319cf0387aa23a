// A listening TCP socket and the connections it accepted, which close with it.
#pragma once

#include <cstdint>
#include <map>
#include <memory>

#include "socket_fd.h"
#include "socket_tcp_stream.h"
#include "socket_wait.h"
#include "stream_set.h"

namespace tx {

class TcpServer {
public:
    // Listens on any local address and the port (0: any free port); null on failure.
    static std::unique_ptr<TcpServer> listenOn(int32_t port, const SocketTimeouts& timeouts);

    TcpServer(SocketFd listening, const SocketTimeouts& timeouts);
    // Closes every accepted stream that is still open, oldest handle first, then listens no more.
    ~TcpServer();
    TcpServer(const TcpServer&) = delete;
    TcpServer& operator=(const TcpServer&) = delete;

    // Waits up to the accept time-out for a connection. The new stream stays owned by the
    // server; null on a time-out, or on a failure (state -1).
    TcpStream* accept();

    // Closes one accepted stream; false when the server holds no stream with this handle.
    bool closeAccepted(uint32_t handle);
    size_t acceptedCount() const { return accepted_.size(); }

    // The port it listens on (0 when the system cannot tell).
    int32_t port() const;
    // 0 usable, -1 after a failed wait or accept.
    int32_t state() const { return state_; }

private:
    SocketFd socket_;
    const SocketTimeouts& timeouts_;
    int32_t state_ = 0;
    StreamSet<TcpStream> accepted_;
};

}  // namespace tx

// What the sockets module holds while it exists: the time-outs, the last host lookup, and every
// UDP stream, TCP stream and TCP server the program opened (accepted streams live in their
// server).
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <vector>

#include "handle_table.h"
#include "socket_tcp_server.h"
#include "socket_tcp_stream.h"
#include "socket_udp_stream.h"
#include "socket_wait.h"

namespace tx {

struct SocketsModule {
    SocketsModule() = default;
    ~SocketsModule() { closeAll(); }
    SocketsModule(const SocketsModule&) = delete;
    SocketsModule& operator=(const SocketsModule&) = delete;

    // Closes the UDP streams, then the servers with their accepted streams, then the TCP streams
    // opened by the program, each time the one with the lowest handle first.
    void closeAll();

    UdpStream* findUdp(uint32_t handle) const;
    // A TCP stream opened by the program or accepted by one of its servers.
    TcpStream* findTcp(uint32_t handle) const;
    // Closes a TCP stream of either origin; false when no stream has the handle.
    bool closeTcp(uint32_t handle);

    // Declared first: every stream and server below refers to it until it is closed.
    SocketTimeouts timeouts;
    std::vector<uint32_t> hostIps;
    std::map<uint32_t, std::unique_ptr<UdpStream>> udpStreams;
    std::map<uint32_t, std::unique_ptr<TcpStream>> tcpStreams;
    HandleTable<TcpServer> serverHandles{handle_kind::kTcpServer};
    std::map<uint32_t, std::unique_ptr<TcpServer>> tcpServers;
};

// The module's state between socketsCreate and socketsDestroy; null outside.
SocketsModule* socketsModule();

}  // namespace tx

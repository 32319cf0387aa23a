// What the sockets module holds while it exists: the time-outs, the last host lookup, and every
// UDP stream, TCP stream and TCP server the program opened (accepted streams live in their
// server).
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <vector>

#include "handle.h"
#include "handle_table.h"
#include "module_state.h"
#include "object_table.h"
#include "socket_tcp_server.h"
#include "socket_tcp_stream.h"
#include "socket_udp_stream.h"
#include "socket_wait.h"
#include "stream_set.h"

namespace tx {

struct SocketsModule {
    static constexpr const char* kModuleName = "sockets";
    SocketsModule() = default;
    ~SocketsModule() { closeAll(); }
    SocketsModule(const SocketsModule&) = delete;
    SocketsModule& operator=(const SocketsModule&) = delete;

    // Closes the UDP streams, then the servers with their accepted streams, then the TCP streams
    // opened by the program, each time the one with the lowest handle first.
    void closeAll();

    // Closes a TCP stream of either origin; false when no stream has the handle.
    bool closeTcp(uint32_t handle);

    // Declared first: every stream and server below refers to it until it is closed.
    SocketTimeouts timeouts;
    std::vector<uint32_t> hostIps;
    StreamSet<UdpStream> udpStreams;
    StreamSet<TcpStream> tcpStreams;
    ObjectTable<TcpServer> servers{handle_kind::kTcpServer};
};

// The module's state between socketsCreate and socketsDestroy; null outside.
inline SocketsModule* socketsModule() {
    return ModuleState<SocketsModule>::find();
}

template <>
struct HandleKind<UdpStream> : StreamSubtypeKind<UdpStream> {
    static constexpr HandleKindInfo info{"UDP Stream", handle_kind::kStream,
                                         "UDP Stream does not exist"};
};

template <>
struct HandleKind<TcpStream> : StreamSubtypeKind<TcpStream> {
    static constexpr HandleKindInfo info{"TCP Stream", handle_kind::kStream,
                                         "TCP Stream does not exist"};
};

template <>
struct HandleKind<TcpServer> {
    static constexpr HandleKindInfo info{"TCP Server", handle_kind::kTcpServer,
                                         "TCP Server does not exist"};
    static TcpServer* find(uint32_t handle) {
        const SocketsModule* module = socketsModule();
        return module != nullptr ? module->servers.find(handle) : nullptr;
    }
};

}  // namespace tx

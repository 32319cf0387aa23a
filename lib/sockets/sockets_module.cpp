// The sockets module: IPv4 name lookups, UDP and TCP streams and TCP servers on POSIX sockets.
// Sends never raise SIGPIPE, and every socket is closed on exec.
#include <memory>

#include "socket_commands.h"
#include "sockets_module.h"
#include "sockets_state.h"

namespace tx {
namespace {

constexpr CommandDef kSocketsCommands[] = {
    command<dottedIP>("$DottedIP%IP"),
    command<countHostIPs>("%CountHostIPs$host_name"),
    command<hostIP>("%HostIP%host_index"),
    command<createUDPStream>("%CreateUDPStream%port=0"),
    command<closeUDPStream>("CloseUDPStream%udp_stream"),
    command<sendUDPMsg>("SendUDPMsg%udp_stream%dest_ip%dest_port=0"),
    command<recvUDPMsg>("%RecvUDPMsg%udp_stream"),
    command<udpStreamIP>("%UDPStreamIP%udp_stream"),
    command<udpStreamPort>("%UDPStreamPort%udp_stream"),
    command<udpMsgIP>("%UDPMsgIP%udp_stream"),
    command<udpMsgPort>("%UDPMsgPort%udp_stream"),
    command<udpTimeouts>("UDPTimeouts%recv_timeout"),
    command<openTCPStream>("%OpenTCPStream$server%server_port%local_port=0"),
    command<closeTCPStream>("CloseTCPStream%tcp_stream"),
    command<createTCPServer>("%CreateTCPServer%port"),
    command<closeTCPServer>("CloseTCPServer%tcp_server"),
    command<acceptTCPStream>("%AcceptTCPStream%tcp_server"),
    command<tcpStreamIP>("%TCPStreamIP%tcp_stream"),
    command<tcpStreamPort>("%TCPStreamPort%tcp_stream"),
    command<tcpTimeouts>("TCPTimeouts%read_millis%accept_millis"),
};

}  // namespace

void SocketsModule::closeAll() {
    udpStreams.clear();
    servers.clear();
    tcpStreams.clear();
}

bool SocketsModule::closeTcp(uint32_t handle) {
    if (tcpStreams.erase(handle)) return true;
    bool closed = false;
    servers.forEach([&](TcpServer& server) { closed = closed || server.closeAccepted(handle); });
    return closed;
}

void linkSockets(CommandRegistrar& registrar) {
    registrar.add(kSocketsCommands);
}

// POSIX sockets need no library start-up, so creation always succeeds.
bool socketsCreate() {
    ModuleState<SocketsModule>::close();
    ModuleState<SocketsModule>::open(std::make_unique<SocketsModule>());
    return true;
}

void socketsDestroy() {
    ModuleState<SocketsModule>::close();
}

}  // namespace tx

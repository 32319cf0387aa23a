#include "socket_commands.h"

#include <memory>
#include <optional>
#include <utility>

#include "basic_module.h"
#include "host_lookup.h"
#include "socket_address.h"
#include "sockets_state.h"
#include "tx_error.h"

namespace tx {
namespace {

int32_t asInt(uint32_t ip) {
    return static_cast<int32_t>(ip);
}

}  // namespace

Str dottedIP(int32_t ip) {
    return strNew(dottedText(static_cast<uint32_t>(ip)));
}

int32_t countHostIPs(SocketsModule& module, StrArg hostName) {
    module.hostIps.clear();
    auto found = lookupHost(hostName.view());
    hostName = StrArg();
    if (!found) return 0;
    module.hostIps = std::move(*found);
    return static_cast<int32_t>(module.hostIps.size());
}

int32_t hostIP(SocketsModule& module, int32_t index) {
    const auto count = static_cast<int32_t>(module.hostIps.size());
    if (index < 1 || index > count) {
        if (debugEnabled()) runtimeError("Host index out of range");
        return 0;
    }
    return asInt(module.hostIps[static_cast<size_t>(index - 1)]);
}

uint32_t createUDPStream(SocketsModule& module, int32_t port) {
    return module.udpStreams.insert(UdpStream::open(port));
}

void closeUDPStream(SocketsModule& module, UdpHandle udp) {
    if (udp) module.udpStreams.erase(udp.raw());
}

void sendUDPMsg(UdpHandle udp, int32_t ip, int32_t port) {
    if (udp) udp->send(static_cast<uint32_t>(ip), port);
}

int32_t recvUDPMsg(SocketsModule& module, UdpHandle udp) {
    return udp ? asInt(udp->receive(module.timeouts.udpRecv)) : 0;
}

int32_t udpStreamIP(UdpHandle udp) {
    return udp ? asInt(udp->local().ip) : 0;
}

int32_t udpStreamPort(UdpHandle udp) {
    return udp ? udp->local().port : 0;
}

int32_t udpMsgIP(UdpHandle udp) {
    return udp ? asInt(udp->messageSource().ip) : 0;
}

int32_t udpMsgPort(UdpHandle udp) {
    return udp ? udp->messageSource().port : 0;
}

void udpTimeouts(SocketsModule& module, int32_t recvMillis) {
    module.timeouts.udpRecv = recvMillis;
}

uint32_t openTCPStream(SocketsModule& module, StrArg server, int32_t serverPort,
                       int32_t localPort) {
    std::optional<uint32_t> address = parseDotted(server.view());
    if (!address) {
        const auto found = lookupHost(server.view());
        if (found && !found->empty()) address = found->front();
    }
    server = StrArg();
    if (!address) return 0;
    return module.tcpStreams.insert(
        TcpStream::connect(*address, serverPort, localPort, module.timeouts));
}

void closeTCPStream(SocketsModule& module, TcpHandle tcp) {
    if (tcp) module.closeTcp(tcp.raw());
}

uint32_t createTCPServer(SocketsModule& module, int32_t port) {
    std::unique_ptr<TcpServer> server = TcpServer::listenOn(port, module.timeouts);
    if (server == nullptr) return 0;
    return module.servers.insert(std::move(server));
}

void closeTCPServer(SocketsModule& module, ServerHandle server) {
    if (!server) return;
    module.servers.erase(server.raw());
}

uint32_t acceptTCPStream(ServerHandle server) {
    // The pump runs even for a bad handle, so a program polling in a loop can still be closed.
    if (hasRuntime() && !theRuntime().idle()) endQuietly();
    if (!server) return 0;
    const TcpStream* stream = server->accept();
    return stream != nullptr ? stream->handle() : 0;
}

int32_t tcpStreamIP(TcpHandle tcp) {
    return tcp ? asInt(tcp->local().ip) : 0;
}

int32_t tcpStreamPort(TcpHandle tcp) {
    return tcp ? tcp->local().port : 0;
}

void tcpTimeouts(SocketsModule& module, int32_t readMillis, int32_t acceptMillis) {
    module.timeouts.tcpRead = readMillis;
    module.timeouts.tcpAccept = acceptMillis;
}

}  // namespace tx

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

UdpStream* udpArgument(uint32_t handle) {
    const SocketsModule* module = socketsModule();
    UdpStream* stream = module != nullptr ? module->findUdp(handle) : nullptr;
    if (stream == nullptr && debugEnabled()) runtimeError("UDP Stream does not exist");
    return stream;
}

TcpStream* tcpArgument(uint32_t handle) {
    const SocketsModule* module = socketsModule();
    TcpStream* stream = module != nullptr ? module->findTcp(handle) : nullptr;
    if (stream == nullptr && debugEnabled()) runtimeError("TCP Stream does not exist");
    return stream;
}

TcpServer* serverArgument(uint32_t handle) {
    const SocketsModule* module = socketsModule();
    TcpServer* server = module != nullptr ? module->serverHandles.find(handle) : nullptr;
    if (server == nullptr && debugEnabled()) runtimeError("TCP Server does not exist");
    return server;
}

int32_t asInt(uint32_t ip) {
    return static_cast<int32_t>(ip);
}

}  // namespace

Str dottedIP(int32_t ip) {
    return strNew(dottedText(static_cast<uint32_t>(ip)));
}

int32_t countHostIPs(StrArg hostName) {
    SocketsModule* module = socketsModule();
    if (module == nullptr) return 0;
    module->hostIps.clear();
    auto found = lookupHost(hostName.view());
    hostName = StrArg();
    if (!found) return 0;
    module->hostIps = std::move(*found);
    return static_cast<int32_t>(module->hostIps.size());
}

int32_t hostIP(int32_t index) {
    const SocketsModule* module = socketsModule();
    const int32_t count = module != nullptr ? static_cast<int32_t>(module->hostIps.size()) : 0;
    if (index < 1 || index > count) {
        if (debugEnabled()) runtimeError("Host index out of range");
        return 0;
    }
    return asInt(module->hostIps[static_cast<size_t>(index - 1)]);
}

uint32_t createUDPStream(int32_t port) {
    SocketsModule* module = socketsModule();
    if (module == nullptr) return 0;
    std::unique_ptr<UdpStream> stream = UdpStream::open(port);
    if (stream == nullptr || stream->handle() == 0) return 0;
    const uint32_t handle = stream->handle();
    module->udpStreams.emplace(handle, std::move(stream));
    return handle;
}

void closeUDPStream(uint32_t stream) {
    if (udpArgument(stream) != nullptr) socketsModule()->udpStreams.erase(stream);
}

void sendUDPMsg(uint32_t stream, int32_t ip, int32_t port) {
    if (UdpStream* udp = udpArgument(stream)) udp->send(static_cast<uint32_t>(ip), port);
}

int32_t recvUDPMsg(uint32_t stream) {
    UdpStream* udp = udpArgument(stream);
    return udp != nullptr ? asInt(udp->receive(socketsModule()->timeouts.udpRecv)) : 0;
}

int32_t udpStreamIP(uint32_t stream) {
    const UdpStream* udp = udpArgument(stream);
    return udp != nullptr ? asInt(udp->local().ip) : 0;
}

int32_t udpStreamPort(uint32_t stream) {
    const UdpStream* udp = udpArgument(stream);
    return udp != nullptr ? udp->local().port : 0;
}

int32_t udpMsgIP(uint32_t stream) {
    const UdpStream* udp = udpArgument(stream);
    return udp != nullptr ? asInt(udp->messageSource().ip) : 0;
}

int32_t udpMsgPort(uint32_t stream) {
    const UdpStream* udp = udpArgument(stream);
    return udp != nullptr ? udp->messageSource().port : 0;
}

void udpTimeouts(int32_t recvMillis) {
    if (SocketsModule* module = socketsModule()) module->timeouts.udpRecv = recvMillis;
}

uint32_t openTCPStream(StrArg server, int32_t serverPort, int32_t localPort) {
    SocketsModule* module = socketsModule();
    if (module == nullptr) return 0;
    std::optional<uint32_t> address = parseDotted(server.view());
    if (!address) {
        const auto found = lookupHost(server.view());
        if (found && !found->empty()) address = found->front();
    }
    server = StrArg();
    if (!address) return 0;
    std::unique_ptr<TcpStream> stream =
        TcpStream::connect(*address, serverPort, localPort, module->timeouts);
    if (stream == nullptr || stream->handle() == 0) return 0;
    const uint32_t handle = stream->handle();
    module->tcpStreams.emplace(handle, std::move(stream));
    return handle;
}

void closeTCPStream(uint32_t stream) {
    if (tcpArgument(stream) != nullptr) socketsModule()->closeTcp(stream);
}

uint32_t createTCPServer(int32_t port) {
    SocketsModule* module = socketsModule();
    if (module == nullptr) return 0;
    std::unique_ptr<TcpServer> server = TcpServer::listenOn(port, module->timeouts);
    if (server == nullptr) return 0;
    const uint32_t handle = module->serverHandles.insert(server.get());
    if (handle == 0) return 0;
    module->tcpServers.emplace(handle, std::move(server));
    return handle;
}

void closeTCPServer(uint32_t server) {
    if (serverArgument(server) == nullptr) return;
    SocketsModule* module = socketsModule();
    module->serverHandles.remove(server);
    module->tcpServers.erase(server);
}

uint32_t acceptTCPStream(uint32_t server) {
    TcpServer* listening = serverArgument(server);
    // The pump runs even for a bad handle, so a program polling in a loop can still be closed.
    if (hasRuntime() && !theRuntime().idle()) endQuietly();
    if (listening == nullptr) return 0;
    const TcpStream* stream = listening->accept();
    return stream != nullptr ? stream->handle() : 0;
}

int32_t tcpStreamIP(uint32_t stream) {
    const TcpStream* tcp = tcpArgument(stream);
    return tcp != nullptr ? asInt(tcp->local().ip) : 0;
}

int32_t tcpStreamPort(uint32_t stream) {
    const TcpStream* tcp = tcpArgument(stream);
    return tcp != nullptr ? tcp->local().port : 0;
}

void tcpTimeouts(int32_t readMillis, int32_t acceptMillis) {
    if (SocketsModule* module = socketsModule()) {
        module->timeouts.tcpRead = readMillis;
        module->timeouts.tcpAccept = acceptMillis;
    }
}

}  // namespace tx

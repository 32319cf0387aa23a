// The sockets commands: host lookups, UDP streams, TCP streams and TCP servers.
//
// Addresses are 32-bit integers in host order (192.168.0.1 is 0xC0A80001), ports 0..65535.
// Creation commands return 0 on failure; network failures during use show only through results
// of 0 and Eof -1. With the debug flag set, a handle that names no object of the command's kind
// raises "UDP Stream does not exist", "TCP Stream does not exist" or "TCP Server does not exist";
// with it clear such a handle does nothing and gives 0.
#pragma once

#include <cstdint>

#include "handle.h"
#include "sockets_state.h"
#include "tx_string.h"

namespace tx {

Str dottedIP(int32_t ip);
int32_t countHostIPs(SocketsModule& module, StrArg hostName);
// 1-based; out of range raises "Host index out of range" with the debug flag set, else gives 0.
int32_t hostIP(SocketsModule& module, int32_t index);

using UdpHandle = Handle<UdpStream>;
using TcpHandle = Handle<TcpStream>;
using ServerHandle = Handle<TcpServer>;

uint32_t createUDPStream(SocketsModule& module, int32_t port);
void closeUDPStream(SocketsModule& module, UdpHandle stream);
void sendUDPMsg(UdpHandle stream, int32_t ip, int32_t port);
int32_t recvUDPMsg(SocketsModule& module, UdpHandle stream);
int32_t udpStreamIP(UdpHandle stream);
int32_t udpStreamPort(UdpHandle stream);
int32_t udpMsgIP(UdpHandle stream);
int32_t udpMsgPort(UdpHandle stream);
void udpTimeouts(SocketsModule& module, int32_t recvMillis);

uint32_t openTCPStream(SocketsModule& module, StrArg server, int32_t serverPort, int32_t localPort);
// Also closes streams that a server accepted (they leave their server).
void closeTCPStream(SocketsModule& module, TcpHandle stream);
uint32_t createTCPServer(SocketsModule& module, int32_t port);
void closeTCPServer(SocketsModule& module, ServerHandle server);
// Pumps the host runtime first (ending the program quietly when it must end), also for a
// handle that names no server.
uint32_t acceptTCPStream(ServerHandle server);
int32_t tcpStreamIP(TcpHandle stream);
int32_t tcpStreamPort(TcpHandle stream);
void tcpTimeouts(SocketsModule& module, int32_t readMillis, int32_t acceptMillis);

}  // namespace tx

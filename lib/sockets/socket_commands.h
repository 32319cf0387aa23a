// The sockets commands: host lookups, UDP streams, TCP streams and TCP servers.
//
// Addresses are 32-bit integers in host order (192.168.0.1 is 0xC0A80001), ports 0..65535.
// Creation commands return 0 on failure; network failures during use show only through results
// of 0 and Eof -1. With the debug flag set, a handle that names no object of the command's kind
// raises "UDP Stream does not exist", "TCP Stream does not exist" or "TCP Server does not exist";
// with it clear such a handle does nothing and gives 0.
#pragma once

#include <cstdint>

#include "tx_string.h"

namespace tx {

Str dottedIP(int32_t ip);
int32_t countHostIPs(StrArg hostName);
// 1-based; out of range raises "Host index out of range" with the debug flag set, else gives 0.
int32_t hostIP(int32_t index);

uint32_t createUDPStream(int32_t port);
void closeUDPStream(uint32_t stream);
void sendUDPMsg(uint32_t stream, int32_t ip, int32_t port);
int32_t recvUDPMsg(uint32_t stream);
int32_t udpStreamIP(uint32_t stream);
int32_t udpStreamPort(uint32_t stream);
int32_t udpMsgIP(uint32_t stream);
int32_t udpMsgPort(uint32_t stream);
void udpTimeouts(int32_t recvMillis);

uint32_t openTCPStream(StrArg server, int32_t serverPort, int32_t localPort);
// Also closes streams that a server accepted (they leave their server).
void closeTCPStream(uint32_t stream);
uint32_t createTCPServer(int32_t port);
void closeTCPServer(uint32_t server);
// Pumps the host runtime first (ending the program quietly when it must end).
uint32_t acceptTCPStream(uint32_t server);
int32_t tcpStreamIP(uint32_t stream);
int32_t tcpStreamPort(uint32_t stream);
void tcpTimeouts(int32_t readMillis, int32_t acceptMillis);

}  // namespace tx

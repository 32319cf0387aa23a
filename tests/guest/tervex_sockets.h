/* Guest declarations of the sockets commands and routines; see tervex.h.
 * Addresses are ints in host order (127.0.0.1 is 0x7F000001); handles are ints, 0 = none. */
#ifndef TERVEX_SOCKETS_H
#define TERVEX_SOCKETS_H

txstr DottedIP(int ip) __asm__("_fdottedip");
int CountHostIPs(txstr host_name) __asm__("_fcounthostips");
int HostIP(int host_index) __asm__("_fhostip");
int CreateUDPStream(int port) __asm__("_fcreateudpstream");
void CloseUDPStream(int udp_stream) __asm__("_fcloseudpstream");
void SendUDPMsg(int udp_stream, int dest_ip, int dest_port) __asm__("_fsendudpmsg");
int RecvUDPMsg(int udp_stream) __asm__("_frecvudpmsg");
int UDPStreamIP(int udp_stream) __asm__("_fudpstreamip");
int UDPStreamPort(int udp_stream) __asm__("_fudpstreamport");
int UDPMsgIP(int udp_stream) __asm__("_fudpmsgip");
int UDPMsgPort(int udp_stream) __asm__("_fudpmsgport");
void UDPTimeouts(int recv_timeout) __asm__("_fudptimeouts");
int OpenTCPStream(txstr server, int server_port, int local_port) __asm__("_fopentcpstream");
void CloseTCPStream(int tcp_stream) __asm__("_fclosetcpstream");
int CreateTCPServer(int port) __asm__("_fcreatetcpserver");
void CloseTCPServer(int tcp_server) __asm__("_fclosetcpserver");
int AcceptTCPStream(int tcp_server) __asm__("_faccepttcpstream");
int TCPStreamIP(int tcp_stream) __asm__("_ftcpstreamip");
int TCPStreamPort(int tcp_stream) __asm__("_ftcpstreamport");
void TCPTimeouts(int read_millis, int accept_millis) __asm__("_ftcptimeouts");

#endif

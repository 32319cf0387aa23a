/* Handle checks of the sockets commands; the command line names the case. Each error case
 * ends the program before TX_NET_AFTER is set. The server port comes from TX_NET_PORT. */
#include "guest_report.h"

static int is(txstr line, const char* name) {
    return _txStrCompare(_txStrLoad(&line), _txStrConst(name)) == 0;
}

TX_MAIN {
    txstr which = CommandLine();
    int port = _txStrToInt(GetEnv(_txStrConst("TX_NET_PORT")));
    if (is(which, "udp")) {
        int udp = CreateUDPStream(0);
        CloseUDPStream(udp);
        UDPStreamPort(udp);
    } else if (is(which, "udp-send")) {
        SendUDPMsg(12345, 0x7F000001, 1);
    } else if (is(which, "tcp")) {
        putInt("TX_NET_BEFORE", TCPStreamPort(99));
    } else if (is(which, "tcp-close")) {
        CloseTCPStream(CreateUDPStream(0));
    } else if (is(which, "server")) {
        putInt("TX_NET_BEFORE", AcceptTCPStream(99));
    } else if (is(which, "server-close")) {
        int server = CreateTCPServer(port);
        CloseTCPServer(server);
        CloseTCPServer(server);
    } else if (is(which, "host-index")) {
        CountHostIPs(_txStrConst("nowhere.invalid"));
        putInt("TX_NET_BEFORE", HostIP(0));
    } else if (is(which, "accepted")) {
        /* Streams a server accepted count as TCP streams; once the server is closed they are
         * gone. */
        int server = CreateTCPServer(port);
        TCPTimeouts(5000, 5000);
        int client = OpenTCPStream(_txStrConst("127.0.0.1"), port, 0);
        int accepted = AcceptTCPStream(server);
        int client2 = OpenTCPStream(_txStrConst("127.0.0.1"), port, 0);
        int accepted2 = AcceptTCPStream(server);
        putInt("TX_NET_ACCEPTED_PORT", TCPStreamPort(accepted));
        putInt("TX_NET_ACCEPTED_IP", TCPStreamIP(accepted));
        CloseTCPStream(accepted);
        CloseTCPServer(server);
        CloseTCPStream(client);
        CloseTCPStream(client2);
        putInt("TX_NET_BEFORE", 1);
        TCPStreamPort(accepted2);
    }
    putInt("TX_NET_AFTER", 1);
}

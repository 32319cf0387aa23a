/* Addresses as text, host lookups and UDP datagrams between two streams on loopback. */
#include "guest_report.h"

#define LOOPBACK 0x7F000001

TX_MAIN {
    putText("TX_NET_DOTTED", DottedIP(-1062731775));
    putText("TX_NET_DOTTED_ZERO", DottedIP(0));
    putInt("TX_NET_COUNT", CountHostIPs(_txStrConst("127.0.0.1")));
    putInt("TX_NET_HOST1", HostIP(1));
    putInt("TX_NET_COUNT_INVALID", CountHostIPs(_txStrConst("nowhere.invalid")));

    int a = CreateUDPStream(0);
    int b = CreateUDPStream(0);
    putInt("TX_NET_OPENED", a != 0 && b != 0);
    putInt("TX_NET_FRESH_RECV", RecvUDPMsg(a));
    putInt("TX_NET_FRESH_AVAIL", ReadAvail(a));
    putInt("TX_NET_FRESH_EOF", Eof(a));
    putInt("TX_NET_LOCAL_IP", UDPStreamIP(a));

    /* One datagram of the bytes 1 0 0 0 2. */
    WriteInt(a, 1);
    WriteByte(a, 2);
    SendUDPMsg(a, LOOPBACK, UDPStreamPort(b));
    UDPTimeouts(5000);
    putInt("TX_NET_FROM", RecvUDPMsg(b));
    putInt("TX_NET_MSG_IP", UDPMsgIP(b));
    putInt("TX_NET_MSG_PORT_MATCH", UDPMsgPort(b) == UDPStreamPort(a));
    putInt("TX_NET_AVAIL", ReadAvail(b));
    putInt("TX_NET_INT", ReadInt(b));
    putInt("TX_NET_BYTE", ReadByte(b));
    putInt("TX_NET_EOF", Eof(b));

    /* Without a port the datagram goes back to the sender's own port. */
    WriteInt(a, 77);
    SendUDPMsg(a, LOOPBACK, 0);
    putInt("TX_NET_SELF_FROM", RecvUDPMsg(a));
    putInt("TX_NET_SELF_PORT_MATCH", UDPMsgPort(a) == UDPStreamPort(a));
    putInt("TX_NET_SELF_INT", ReadInt(a));

    CloseUDPStream(a);
    CloseUDPStream(b);
    putInt("TX_NET_DONE", 1);
}

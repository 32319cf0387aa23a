/* The sockets commands from compiled code on loopback: addresses and lookups, UDP datagrams, a
 * TCP server and its clients. The command line picks the case. TX_NET_PORT is a free port for
 * the server, TX_NET_REFUSED a bound port nobody listens on. */
#include "check.h"

#define LOOPBACK 0x7F000001
#define BANK_BYTES 40000

/* A server on TX_NET_PORT; should another process have taken the port, the test runs the case
 * again with another. */
static int server(void) {
    int s = CreateTCPServer(envInt("TX_NET_PORT"));
    if (s == 0) RuntimeError(S("port taken"));
    return s;
}

static void udp(void) {
    CHECK(same(DottedIP(-1062731775), "192.168.0.1"));
    CHECK(same(DottedIP(0), "0.0.0.0"));
    CHECK(CountHostIPs(S("127.0.0.1")) == 1 && HostIP(1) == LOOPBACK);
    CHECK(CountHostIPs(S("nowhere.invalid")) == 0);

    int a = CreateUDPStream(0);
    int b = CreateUDPStream(0);
    CHECK(a != 0 && b != 0);
    CHECK(RecvUDPMsg(a) == 0 && ReadAvail(a) == 0 && Eof(a) == 1);
    CHECK(UDPStreamIP(a) == 0);
    /* A send that fails (larger than any IPv4 datagram) fails the stream for good. */
    int failing = CreateUDPStream(0);
    int big = CreateBank(70000);
    CHECK(WriteBytes(big, failing, 0, 70000) == 70000);
    SendUDPMsg(failing, LOOPBACK, UDPStreamPort(b));
    CHECK(Eof(failing) == -1 && WriteBytes(big, failing, 0, 4) == 0);
    CHECK(ReadAvail(failing) == 0 && RecvUDPMsg(failing) == 0 && RecvUDPMsg(b) == 0);
    FreeBank(big);
    CloseUDPStream(failing);
    /* One datagram of the bytes 1 0 0 0 2. */
    WriteInt(a, 1);
    WriteByte(a, 2);
    SendUDPMsg(a, LOOPBACK, UDPStreamPort(b));
    UDPTimeouts(5000);
    CHECK(RecvUDPMsg(b) == LOOPBACK);
    CHECK(UDPMsgIP(b) == LOOPBACK && UDPMsgPort(b) == UDPStreamPort(a));
    CHECK(ReadAvail(b) == 5 && ReadInt(b) == 1 && ReadByte(b) == 2 && Eof(b) == 1);
    /* Without a port the datagram goes back to the sender's own port. */
    WriteInt(a, 77);
    SendUDPMsg(a, LOOPBACK, 0);
    CHECK(RecvUDPMsg(a) == LOOPBACK && UDPMsgPort(a) == UDPStreamPort(a));
    CHECK(ReadInt(a) == 77);
    CloseUDPStream(a);
    CloseUDPStream(b);
}

static void tcp(void) {
    int port = envInt("TX_NET_PORT");
    int srv = server();
    TCPTimeouts(5000, 5000);

    /* Connect, accept, exchange. */
    int client = OpenTCPStream(S("127.0.0.1"), port, 0);
    int accepted = AcceptTCPStream(srv);
    CHECK(client != 0 && accepted != 0);
    CHECK(TCPStreamIP(client) == LOOPBACK && TCPStreamPort(accepted) == port);
    CHECK(TCPStreamPort(client) != 0);
    WriteInt(client, 4242);
    WriteLine(client, S("over tcp"));
    CHECK(ReadInt(accepted) == 4242);
    CHECK(same(ReadLine(accepted), "over tcp"));
    WriteFloat(accepted, 2.5f);
    CHECK(ReadFloat(client) == 2.5f);

    /* A read that waits longer than the read time-out fails the stream. */
    int quiet = OpenTCPStream(S("localhost"), port, 0);
    int quietAccepted = AcceptTCPStream(srv);
    TCPTimeouts(30, 0);
    CHECK(ReadInt(quietAccepted) == 0 && Eof(quietAccepted) == -1);
    WriteInt(quiet, 9); /* a failed stream stays failed */
    CHECK(ReadInt(quietAccepted) == 0 && ReadAvail(quietAccepted) == 0 && Eof(quiet) == 0);
    CHECK(AcceptTCPStream(srv) == 0);
    TCPTimeouts(5000, 5000);

    /* Opens that cannot succeed. */
    CHECK(OpenTCPStream(S("127.0.0.1"), envInt("TX_NET_REFUSED"), 0) == 0);
    CHECK(OpenTCPStream(S("nowhere.invalid"), port, 0) == 0);

    /* A bank of many read buffers goes through whole, then part of it comes back. */
    int sender = OpenTCPStream(S("127.0.0.1"), port, 0);
    int receiver = AcceptTCPStream(srv);
    int bank = CreateBank(BANK_BYTES);
    for (int i = 0; i < BANK_BYTES / 4; ++i) PokeInt(bank, i * 4, i * 2654435761u);
    CHECK(WriteBytes(bank, sender, 0, BANK_BYTES) == BANK_BYTES);
    ResizeBank(bank, 0);
    ResizeBank(bank, BANK_BYTES);
    CHECK(ReadBytes(bank, receiver, 0, BANK_BYTES) == BANK_BYTES);
    for (int i = 0; i < BANK_BYTES / 4; ++i) CHECK(PeekInt(bank, i * 4) == (int)(i * 2654435761u));
    CHECK(WriteBytes(bank, receiver, 100, 8) == 8);
    int back = CreateBank(8);
    CHECK(ReadBytes(back, sender, 0, 8) == 8);
    CHECK(PeekInt(back, 0) == PeekInt(bank, 100) && PeekInt(back, 4) == PeekInt(bank, 104));
    FreeBank(back);
    FreeBank(bank);
    /* CopyStream writes to a TCP stream while it has not ended. */
    int file = WriteFile(dirPath("/net.bin"));
    WriteInt(file, 31337);
    CloseFile(file);
    file = ReadFile(dirPath("/net.bin"));
    CopyStream(file, sender, 16384);
    CloseFile(file);
    CHECK(ReadInt(receiver) == 31337);

    /* Closing the server closes the streams it accepted; the program's own stay open. */
    CloseTCPServer(srv);
    CHECK(ReadByte(sender) == 0 && Eof(sender) == 1);
    CHECK(Eof(quiet) == -1); /* reset: its peer closed with the 9 unread */
    CloseTCPStream(sender);
    CloseTCPStream(quiet);
}

/* Streams a server accepted are TCP streams until their server closes. */
static void accepted(void) {
    int port = envInt("TX_NET_PORT");
    int srv = server();
    TCPTimeouts(5000, 5000);
    int client = OpenTCPStream(S("127.0.0.1"), port, 0);
    int first = AcceptTCPStream(srv);
    int client2 = OpenTCPStream(S("127.0.0.1"), port, 0);
    int second = AcceptTCPStream(srv);
    CHECK(TCPStreamPort(first) == port && TCPStreamIP(first) == LOOPBACK);
    CloseTCPStream(first); /* closing an accepted stream is no error */
    CloseTCPServer(srv);
    CloseTCPStream(client);
    CloseTCPStream(client2);
    TCPStreamPort(second); /* gone with its server */
}

TX_MAIN {
    static const txCase cases[] = {{"udp", udp}, {"tcp", tcp}, {"accepted", accepted}};
    if (RUN_CASE(cases)) return;
    if (argumentIs("host-index")) {
        CountHostIPs(S("nowhere.invalid"));
        CHECK(HostIP(0) == 0);
    } else if (argumentIs("accept-loop")) {
        /* Waits for connections forever; only an end request from outside stops it. */
        int srv = server();
        TCPTimeouts(10000, 20);
        for (;;) AcceptTCPStream(srv);
    } else {
        RuntimeError(_txStrConcat(S("unknown case "), CommandLine()));
    }
}

/* A TCP server and its clients on loopback: exchange, the peer's close, a read time-out, failed
 * opens, CopyStream of a 40000-byte file, bank transfers, and closing the server with its
 * accepted streams. The ports come from the environment: TX_NET_PORT (free) and
 * TX_NET_REFUSED (bound by the test, nobody listening). */
#include "guest_report.h"

#define LOOPBACK 0x7F000001
#define FILE_BYTES 40000

static int envInt(const char* name) {
    return _txStrToInt(GetEnv(_txStrConst(name)));
}

TX_MAIN {
    int port = envInt("TX_NET_PORT");
    int server = CreateTCPServer(port);
    putInt("TX_NET_SERVER", server != 0);
    if (server == 0) return;
    TCPTimeouts(5000, 5000);

    /* Connect, accept, exchange. */
    int client = OpenTCPStream(_txStrConst("127.0.0.1"), port, 0);
    int accepted = AcceptTCPStream(server);
    putInt("TX_NET_CONNECTED", client != 0 && accepted != 0);
    putInt("TX_NET_CLIENT_IP", TCPStreamIP(client));
    putInt("TX_NET_ACCEPTED_PORT", TCPStreamPort(accepted));
    putInt("TX_NET_CLIENT_PORT", TCPStreamPort(client));
    WriteInt(client, 4242);
    WriteLine(client, _txStrConst("over tcp"));
    putInt("TX_NET_TCP_INT", ReadInt(accepted));
    putText("TX_NET_TCP_LINE", ReadLine(accepted));
    WriteFloat(accepted, 2.5f);
    putInt("TX_NET_TCP_FLOAT_X2", (int)(ReadFloat(client) * 2.0f));

    /* The peer closes: reads give 0 and Eof 1. */
    CloseTCPStream(client);
    putInt("TX_NET_CLOSED_READ", ReadByte(accepted));
    putInt("TX_NET_CLOSED_EOF", Eof(accepted));
    CloseTCPStream(accepted);

    /* A read that waits longer than the read time-out fails the stream. */
    int quiet = OpenTCPStream(_txStrConst("localhost"), port, 0);
    int quietAccepted = AcceptTCPStream(server);
    TCPTimeouts(30, 0);
    putInt("TX_NET_TIMEOUT_READ", ReadInt(quietAccepted));
    putInt("TX_NET_TIMEOUT_EOF", Eof(quietAccepted));
    putInt("TX_NET_QUIET_EOF", Eof(quiet));
    putInt("TX_NET_NOBODY", AcceptTCPStream(server));
    TCPTimeouts(5000, 5000);

    /* Opens that cannot succeed. */
    putInt("TX_NET_REFUSED_OPEN",
           OpenTCPStream(_txStrConst("127.0.0.1"), envInt("TX_NET_REFUSED"), 0));
    putInt("TX_NET_INVALID_OPEN", OpenTCPStream(_txStrConst("nowhere.invalid"), port, 0));

    /* CopyStream of a 40000-byte file to a TCP stream, read back on the other side. */
    txstr path = GetEnv(_txStrConst("TX_NET_FILE"));
    int out = WriteFile(_txStrLoad(&path));
    for (int i = 0; i < FILE_BYTES / 4; ++i) WriteInt(out, i * 2654435761u);
    CloseFile(out);
    int in = ReadFile(_txStrLoad(&path));
    int sender = OpenTCPStream(_txStrConst("127.0.0.1"), port, 0);
    int receiver = AcceptTCPStream(server);
    CopyStream(in, sender, 16384);
    putInt("TX_NET_COPY_SOURCE_EOF", Eof(in));
    CloseFile(in);
    int bank = CreateBank(FILE_BYTES);
    putInt("TX_NET_COPY_RECEIVED", ReadBytes(bank, receiver, 0, FILE_BYTES));
    int mismatches = 0;
    for (int i = 0; i < FILE_BYTES / 4; ++i)
        if (PeekInt(bank, i * 4) != (int)(i * 2654435761u)) ++mismatches;
    putInt("TX_NET_COPY_MISMATCHES", mismatches);

    /* Banks back the other way. */
    putInt("TX_NET_BANK_WRITTEN", WriteBytes(bank, receiver, 100, 8));
    int back = CreateBank(8);
    putInt("TX_NET_BANK_READ", ReadBytes(back, sender, 0, 8));
    putInt("TX_NET_BANK_SAME",
           PeekInt(back, 0) == PeekInt(bank, 100) && PeekInt(back, 4) == PeekInt(bank, 104));
    FreeBank(back);
    FreeBank(bank);

    /* Closing the server closes the streams it accepted; the program's own stay open. */
    CloseTCPServer(server);
    putInt("TX_NET_AFTER_SERVER_READ", ReadByte(sender));
    putInt("TX_NET_AFTER_SERVER_EOF", Eof(sender));
    putInt("TX_NET_QUIET_AFTER_SERVER_EOF", Eof(quiet));
    CloseTCPStream(sender);
    CloseTCPStream(quiet);
    putInt("TX_NET_DONE", 1);
}

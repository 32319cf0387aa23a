/* Never ends by itself: only a closed window, a signal or an end request stops it. It first
 * writes TX_ENDLESS_FILE (left open: the end of the program must flush it), then says "ready" on
 * standard output and blocks the way its command line names:
 *   spin   pure arithmetic, no command call       delay  one long Delay
 *   calls  a quick command called over and over
 *   timer  WaitTimer on a slow timer              read   a TCP read from a silent peer
 *   accept AcceptTCPStream with a long time-out   error  a runtime error instead */
#include "check.h"

#define LOOPBACK_PORT_ENV "TX_ENDLESS_PORT"

static volatile unsigned sink;

static void ready(void) {
    int out = WriteFile(_txStrConst("/dev/stdout"));
    WriteLine(out, _txStrConst("ready"));
    CloseFile(out);
}

TX_MAIN {
    txstr path = GetEnv(_txStrConst("TX_ENDLESS_FILE"));
    if (_txStrCompare(_txStrLoad(&path), _txStrConst("")) != 0) {
        int file = WriteFile(_txStrLoad(&path));
        for (int i = 0; i < 1000; ++i) WriteLine(file, _txStrFromInt(i));
        WriteLine(file, _txStrConst("complete"));
    }
    if (argumentIs("error")) RuntimeError(_txStrConst("endless stopped on purpose"));
    int port = _txStrToInt(GetEnv(_txStrConst(LOOPBACK_PORT_ENV)));
    int server = 0, client = 0, accepted = 0;
    if (argumentIs("read") || argumentIs("accept")) {
        server = CreateTCPServer(port);
        TCPTimeouts(600000, 600000);
    }
    if (argumentIs("read")) {
        client = OpenTCPStream(_txStrConst("127.0.0.1"), port, 0);
        accepted = AcceptTCPStream(server);
    }
    ready();
    if (argumentIs("delay")) Delay(600000);
    if (argumentIs("timer")) {
        int timer = CreateTimer(1);
        for (;;) WaitTimer(timer);
    }
    if (argumentIs("read")) sink = ReadInt(accepted) + client;
    if (argumentIs("accept")) sink = AcceptTCPStream(server);
    while (argumentIs("calls")) sink += MilliSecs();
    unsigned x = 1;
    for (;;) {
        x = x * 1664525u + 1013904223u;
        sink = x;
    }
}

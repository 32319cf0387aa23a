/* Waits for connections forever; only an end request from outside stops it. */
#include "tervex.h"

TX_MAIN {
    int server = CreateTCPServer(_txStrToInt(GetEnv(_txStrConst("TX_NET_PORT"))));
    SetEnv(_txStrConst("TX_NET_LOOP_SERVER"), _txStrFromInt(server != 0));
    TCPTimeouts(10000, 20);
    for (;;) AcceptTCPStream(server);
}

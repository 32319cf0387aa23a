/* Copies of this program play one game over the loopback network, each run by txrun in a
 * process of its own; the command line is the role: "host", "first" or "second", and
 * TX_NET_ADDRESS the host's "127.0.0.1:port". The host creates "duel" with one player (writing
 * TX_DIR/hosting), waits for both clients' players, greets everyone, waits for both answers,
 * writes TX_DIR/host-ready and quits once TX_DIR/host-quit exists, unless the test kills it
 * first. Each client joins (writing TX_DIR/<role>-joined), creates its player, answers the
 * greeting and waits for the host's player to leave; the two clients then exchange one more
 * message under the new host. The client that became the host (type 102, never twice) writes
 * "host" into TX_DIR/<role>-done, the other "peer". */
#include "check.h"

enum { kGreeting = 1, kAnswer = 2, kAfter = 3, kJoined = 100, kLeft = 101, kHost = 102 };
enum { kDeadline = 20000 };

static void touch(const char* name, const char* text) {
    int file = WriteFile(dirPath(name));
    CHECK(file != 0);
    WriteLine(file, S(text));
    CloseFile(file);
}

static int exists(const char* name) {
    return FileType(dirPath(name)) == 1;
}

/* The type of the next message, polling until one comes; the program fails after the deadline. */
static int nextMessage(int start) {
    while (!RecvNetMsg()) {
        CHECK(MilliSecs() - start < kDeadline);
        Delay(2);
    }
    CHECK(NetMsgType() != 200);
    return NetMsgType();
}

static void host(void) {
    int start = MilliSecs(), me, joins = 0, answers = 0;
    CHECK(HostNetGame(S("duel")) == 2);
    me = CreateNetPlayer(S("host"));
    CHECK(me != 0 && NetPlayerLocal(me) == 1);
    touch("/hosting", "");
    while (joins < 2) joins += nextMessage(start) == kJoined;
    CHECK(SendNetMsg(kGreeting, S("welcome"), me, 0, 1) == 1);
    while (answers < 2) {
        if (nextMessage(start) != kAnswer) continue;
        CHECK(NetMsgTo() == me && same(NetMsgData(), "ready"));
        answers++;
    }
    touch("/host-ready", "");
    while (!exists("/host-quit")) {
        CHECK(MilliSecs() - start < kDeadline);
        RecvNetMsg();
        Delay(5);
    }
    StopNetGame();
}

static void client(const char* role) {
    int start = MilliSecs(), me, hostPlayer = 0, other = 0, hostLeft = 0, after = 0;
    int becameHost = 0, sentAfter = 0, doneAt = 0, otherLeft = 0;
    CHECK(JoinNetGame(S("duel"), GetEnv(S("TX_NET_ADDRESS"))) == 1);
    me = CreateNetPlayer(S(role));
    CHECK(me != 0);
    touch(same(S(role), "first") ? "/first-joined" : "/second-joined", "");
    /* Until both are done, and then 300 ms more, in which a late or repeated host report would
     * come. */
    while (!doneAt || MilliSecs() - doneAt < 300) {
        int type;
        if (!RecvNetMsg()) {
            CHECK(MilliSecs() - start < kDeadline);
            Delay(2);
            continue;
        }
        type = NetMsgType();
        CHECK(type != 200);
        if (type == kJoined) {
            if (same(NetPlayerName(NetMsgFrom()), "host"))
                hostPlayer = NetMsgFrom();
            else
                other = NetMsgFrom();
        } else if (type == kGreeting) {
            CHECK(NetMsgFrom() == hostPlayer && NetMsgTo() == 0);
            CHECK(SendNetMsg(kAnswer, S("ready"), me, hostPlayer, 1) == 1);
        } else if (type == kLeft) {
            /* The other client may finish first and leave. */
            CHECK(NetMsgFrom() == hostPlayer || (after && NetMsgFrom() == other));
            hostLeft = hostLeft || NetMsgFrom() == hostPlayer;
            otherLeft = otherLeft || NetMsgFrom() == other;
        } else if (type == kHost) {
            /* Left alone, a client becomes the host too; only the hand-over counts. */
            becameHost += !otherLeft;
        } else if (type == kAfter) {
            CHECK(NetMsgFrom() == other && same(NetMsgData(), "after"));
            after = 1;
        }
        if (hostLeft && other && !sentAfter) {
            CHECK(SendNetMsg(kAfter, S("after"), me, 0, 1) == 1);
            sentAfter = 1;
        }
        if (hostLeft && after && !doneAt) doneAt = MilliSecs();
    }
    CHECK(becameHost <= 1);
    touch(same(S(role), "first") ? "/first-done" : "/second-done", becameHost ? "host" : "peer");
}

TX_MAIN {
    if (argumentIs("host"))
        host();
    else
        client(argumentIs("first") ? "first" : "second");
}

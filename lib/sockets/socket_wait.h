// Bounded waits on one socket, and the module's time-outs that bound them.
#pragma once

#include <cstdint>

namespace tx {

// Milliseconds each kind of wait may last; 0 tests without waiting.
struct SocketTimeouts {
    int32_t tcpRead = 10000;
    int32_t tcpAccept = 0;
    int32_t udpRecv = 0;
};

// A time-out in milliseconds as whole seconds and the remaining microseconds. Negative
// time-outs count as 0: a wait never becomes unbounded.
struct WaitTime {
    int64_t seconds = 0;
    int64_t microseconds = 0;
};
WaitTime splitMillis(int32_t millis);

enum class Readiness { Ready, TimedOut, Failed };

// Waits until the socket has something to read (data, a pending connection, the peer's close
// or an error to collect), at most millis milliseconds.
Readiness waitReadable(int fd, int32_t millis);
// Waits until the socket can take more bytes to send, at most millis milliseconds.
Readiness waitWritable(int fd, int32_t millis);
// Waits without a time-out until a connection under way is made or fails.
Readiness waitConnected(int fd);

// Every wait also ends, as a failure, when the program must end.

}  // namespace tx

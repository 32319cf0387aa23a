#include "socket_wait.h"

#include <poll.h>

#include <cerrno>
#include <ctime>

#include "end_request.h"

namespace tx {
namespace {

timespec monotonicNow() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return now;
}

timespec addTime(timespec at, const WaitTime& wait) {
    at.tv_sec += static_cast<time_t>(wait.seconds);
    at.tv_nsec += static_cast<long>(wait.microseconds * 1000);
    if (at.tv_nsec >= 1'000'000'000L) {
        at.tv_nsec -= 1'000'000'000L;
        ++at.tv_sec;
    }
    return at;
}

// What is left until the deadline; zero once it has passed.
timespec remainingUntil(const timespec& deadline) {
    const timespec now = monotonicNow();
    timespec left{deadline.tv_sec - now.tv_sec, deadline.tv_nsec - now.tv_nsec};
    if (left.tv_nsec < 0) {
        left.tv_nsec += 1'000'000'000L;
        --left.tv_sec;
    }
    if (left.tv_sec < 0) return timespec{0, 0};
    return left;
}

// Polls one descriptor (unlike select, poll works for descriptors of any number) beside the
// program's end request: a wait ends as a failure once the program must end. `bounded` false
// waits without a time-out.
Readiness waitFor(int fd, short events, int32_t millis, bool bounded = true) {
    if (fd < 0) return Readiness::Failed;
    const WaitTime wait = splitMillis(millis);
    const timespec deadline = addTime(monotonicNow(), wait);
    timespec left{static_cast<time_t>(wait.seconds), static_cast<long>(wait.microseconds * 1000)};
    const int endFd = end_request::waitFd();
    for (;;) {
        pollfd entries[2] = {{fd, events, 0}, {endFd, POLLIN, 0}};
        const int ready = ::ppoll(entries, endFd >= 0 ? 2 : 1, bounded ? &left : nullptr, nullptr);
        if (ready > 0 && entries[0].revents != 0)
            return (entries[0].revents & POLLNVAL) != 0 ? Readiness::Failed : Readiness::Ready;
        if (ready > 0 || end_request::raised()) return Readiness::Failed;
        if (ready == 0) return Readiness::TimedOut;
        if (errno != EINTR) return Readiness::Failed;
        left = remainingUntil(deadline);
    }
}

}  // namespace

WaitTime splitMillis(int32_t millis) {
    if (millis <= 0) return WaitTime{};
    return WaitTime{millis / 1000, (millis % 1000) * int64_t{1000}};
}

Readiness waitReadable(int fd, int32_t millis) {
    return waitFor(fd, POLLIN, millis);
}

Readiness waitWritable(int fd, int32_t millis) {
    return waitFor(fd, POLLOUT, millis);
}

Readiness waitConnected(int fd) {
    return waitFor(fd, POLLOUT, 0, false);
}

}  // namespace tx

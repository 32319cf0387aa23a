#include "end_request.h"

#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstdint>

namespace tx::end_request {
namespace {

std::atomic<int> raisedSignal{-1};  // -1: not raised; else the signal (0: none)

// Made once, on first use, and kept for the life of the process (a signal handler may write to
// it at any time).
int descriptor() {
    static const int fd = ::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    return fd;
}

void onSignal(int signal) {
    const int savedErrno = errno;
    raise(signal);
    errno = savedErrno;
}

}  // namespace

void raise(int signal) {
    int expected = -1;
    if (!raisedSignal.compare_exchange_strong(expected, signal)) return;
    const int fd = descriptor();
    if (fd < 0) return;
    const uint64_t one = 1;
    [[maybe_unused]] const ssize_t written = ::write(fd, &one, sizeof one);
}

bool raised() {
    return raisedSignal.load(std::memory_order_relaxed) >= 0;
}

int signalNumber() {
    const int signal = raisedSignal.load();
    return signal > 0 ? signal : 0;
}

int waitFd() {
    return descriptor();
}

void clear() {
    raisedSignal.store(-1);
    const int fd = descriptor();
    uint64_t count = 0;
    if (fd >= 0) [[maybe_unused]]
        const ssize_t got = ::read(fd, &count, sizeof count);
}

void installSignalHandlers() {
    descriptor();  // made before any handler can need it
    struct sigaction action {};
    action.sa_handler = &onSignal;
    sigemptyset(&action.sa_mask);
    // Restarted system calls: the waits poll the descriptor, so none depends on EINTR.
    action.sa_flags = SA_RESTART | SA_RESETHAND;
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
}

bool waitFor(int milliseconds) {
    if (raised()) return true;
    const int fd = descriptor();
    pollfd entry{fd, POLLIN, 0};
    if (::poll(&entry, fd >= 0 ? 1 : 0, milliseconds) < 0 && errno != EINTR) return raised();
    return raised();
}

}  // namespace tx::end_request

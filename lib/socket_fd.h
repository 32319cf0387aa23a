// An owned socket descriptor: closed when the owner goes away.
#pragma once

#include <sys/socket.h>
#include <unistd.h>

#include <utility>

namespace tx {

class SocketFd {
public:
    SocketFd() = default;
    explicit SocketFd(int fd) : fd_(fd) {}
    SocketFd(SocketFd&& other) noexcept : fd_(std::exchange(other.fd_, -1)) {}
    SocketFd& operator=(SocketFd&& other) noexcept {
        if (this != &other) {
            reset();
            fd_ = std::exchange(other.fd_, -1);
        }
        return *this;
    }
    SocketFd(const SocketFd&) = delete;
    SocketFd& operator=(const SocketFd&) = delete;
    ~SocketFd() { reset(); }

    int get() const { return fd_; }
    bool valid() const { return fd_ >= 0; }

    void reset() {
        if (fd_ >= 0) ::close(std::exchange(fd_, -1));
    }

    // Lets close return at once and finish (or drop) the connection in the background, so a
    // socket that already failed never holds up its owner's destruction.
    void dontLinger() const {
        if (fd_ < 0) return;
        const linger off{0, 0};
        ::setsockopt(fd_, SOL_SOCKET, SO_LINGER, &off, sizeof off);
    }

private:
    int fd_ = -1;
};

}  // namespace tx

#include "socket_tcp_stream.h"

#include <fcntl.h>
#include <sys/ioctl.h>
#include <sys/socket.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstring>

namespace tx {
namespace {

// Connects without a time-out of our own (the system's applies), but the wait ends when the
// program must end; the socket is blocking again afterwards.
bool connectTo(int fd, const sockaddr_in& address) {
    const int flags = ::fcntl(fd, F_GETFL);
    if (flags < 0 || ::fcntl(fd, F_SETFL, flags | O_NONBLOCK) != 0) return false;
    if (::connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0) {
        if (errno != EINPROGRESS && errno != EINTR) return false;
        if (waitConnected(fd) != Readiness::Ready) return false;
        int error = 0;
        socklen_t length = sizeof error;
        if (::getsockopt(fd, SOL_SOCKET, SO_ERROR, &error, &length) != 0 || error != 0)
            return false;
    }
    return ::fcntl(fd, F_SETFL, flags) == 0;
}

}  // namespace

std::unique_ptr<TcpStream> TcpStream::connect(uint32_t ip, int32_t port, int32_t localPort,
                                              const SocketTimeouts& timeouts) {
    if (!validPort(port) || !validPort(localPort)) return nullptr;
    SocketFd socket(::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0));
    if (!socket.valid()) return nullptr;
    if (localPort != 0 && !bindAnyAddress(socket.get(), localPort)) return nullptr;
    if (!connectTo(socket.get(), toSockaddr(Endpoint{ip, port}))) return nullptr;
    return std::make_unique<TcpStream>(std::move(socket), timeouts);
}

TcpStream::TcpStream(SocketFd socket, const SocketTimeouts& timeouts)
    : socket_(std::move(socket)), timeouts_(timeouts), local_(localEndpoint(socket_.get())) {}

TcpStream::~TcpStream() {
    if (state_ == -1) dontLinger(socket_);
}

int32_t TcpStream::takeBuffered(uint8_t* buffer, int32_t size) {
    const int32_t taken = std::min(size, buffered());
    if (taken > 0) std::memcpy(buffer, received_.get() + begin_, static_cast<size_t>(taken));
    begin_ += taken;
    return taken;
}

int32_t TcpStream::read(uint8_t* buffer, int32_t size) {
    if (state_ != 0 || size <= 0) return 0;
    int32_t arrived = takeBuffered(buffer, size);
    while (arrived < size) {
        if (waitReadable(socket_.get(), timeouts_.tcpRead) != Readiness::Ready) {
            state_ = -1;
            break;
        }
        // What is left of a large read goes straight to the caller; a small one refills the
        // buffer with whatever has arrived, so the reads after it need no system call.
        const int32_t wanted = size - arrived;
        const bool direct = wanted >= kReceiveBufferSize;
        if (!direct && received_ == nullptr) {
            received_ = std::make_unique_for_overwrite<uint8_t[]>(kReceiveBufferSize);
        }
        const ssize_t got = direct ? ::recv(socket_.get(), buffer + arrived, wanted, 0)
                                   : ::recv(socket_.get(), received_.get(), kReceiveBufferSize, 0);
        if (got == 0) {
            state_ = 1;
            break;
        }
        if (got < 0) {
            if (errno == EINTR) continue;
            state_ = -1;
            break;
        }
        if (direct) {
            arrived += static_cast<int32_t>(got);
        } else {
            begin_ = 0;
            end_ = static_cast<int32_t>(got);
            arrived += takeBuffered(buffer + arrived, wanted);
        }
    }
    return arrived;
}

int32_t TcpStream::write(const uint8_t* buffer, int32_t size) {
    if (state_ != 0 || size <= 0) return 0;
    int32_t sent = 0;
    while (sent < size) {
        const ssize_t put =
            ::send(socket_.get(), buffer + sent, size - sent, MSG_NOSIGNAL | MSG_DONTWAIT);
        if (put > 0) {
            sent += static_cast<int32_t>(put);
            continue;
        }
        if (put < 0 && errno == EINTR) continue;
        if (put < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
            if (waitWritable(socket_.get(), timeouts_.tcpRead) == Readiness::Ready) continue;
            state_ = -1;
            return sent;
        }
        // A broken connection (reset, or closed by the peer).
        state_ = -1;
        return sent;
    }
    return sent;
}

int32_t TcpStream::avail() {
    if (state_ != 0) return 0;
    int waiting = 0;
    if (::ioctl(socket_.get(), FIONREAD, &waiting) != 0 || waiting < 0) {
        state_ = -1;
        return 0;
    }
    // Buffered bytes are waiting too; the sum is capped where the result's range ends.
    return static_cast<int32_t>(std::min<int64_t>(int64_t{waiting} + buffered(), INT32_MAX));
}

int32_t TcpStream::eof() {
    if (state_ != 0 || buffered() > 0) return state_;
    switch (waitReadable(socket_.get(), 0)) {
        case Readiness::TimedOut:
            return 0;
        case Readiness::Failed:
            state_ = -1;
            return state_;
        case Readiness::Ready:
            break;
    }
    if (avail() != 0 || state_ != 0) return state_;
    // Readable with nothing to read: the peer closed, or the connection broke (reset).
    int error = 0;
    socklen_t length = sizeof error;
    const bool broken =
        ::getsockopt(socket_.get(), SOL_SOCKET, SO_ERROR, &error, &length) != 0 || error != 0;
    state_ = broken ? -1 : 1;
    return state_;
}

}  // namespace tx
